// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

namespace Vexilo {

class AppCommands;
struct KeyPress;

// The application's command shortcuts in the preferences window, where the history window's keys do
// not apply: Ctrl+, Ctrl+N Ctrl+W Ctrl+F Ctrl+I Ctrl+Alt+P and Ctrl+Shift+Delete.
class PreferencesShortcuts : public QObject
{
    Q_OBJECT

public:
    explicit PreferencesShortcuts(AppCommands &commands, QObject *parent = nullptr);

    // Runs the command of a key press; false when it is not one.
    bool process(const KeyPress &key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppCommands &m_commands;
};

} // namespace Vexilo
