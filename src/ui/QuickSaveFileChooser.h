// SPDX-License-Identifier: MIT
#pragma once

#include "SaveFileChooser.h"

#include <QPointer>
#include <functional>

class QQmlEngine;
class QWindow;

namespace Vexilo {

// The save dialog of Qt Quick: the desktop's own file chooser where the platform theme offers one
// (the XDG portal), Qt's own dialog otherwise. Kept for the window it belongs to.
class QuickSaveFileChooser : public SaveFileChooser
{
public:
    // Both are asked each time: the engine and the window exist once the history window was shown.
    QuickSaveFileChooser(std::function<QQmlEngine *()> engine, std::function<QWindow *()> parentWindow);
    ~QuickSaveFileChooser() override;

    void choosePngLocation(const QString &suggestedName, Answer answer) override;

private:
    std::function<QQmlEngine *()> m_engine;
    std::function<QWindow *()> m_parentWindow;
    QPointer<QObject> m_dialog;
};

} // namespace Vexilo
