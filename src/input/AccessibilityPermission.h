// SPDX-License-Identifier: MIT
#pragma once

#include "LogSink.h"

#include <QObject>
#include <QUrl>

namespace Vexilo {

class AppSettings;
class KeyEventSource;
class KeySynthesizer;
class Workspace;

// Whether the desktop lets this application send synthetic keys (to paste) and watch the keys typed
// elsewhere (to expand snippets). On X11 that is the XTEST and RECORD extensions; there is no
// system prompt to ask for them, so asking explains what is missing once and afterwards opens the
// X server's documentation.
class AccessibilityPermission : public QObject
{
    Q_OBJECT

public:
    AccessibilityPermission(KeySynthesizer *synthesizer, KeyEventSource *keyEvents, Workspace *workspace,
                            AppSettings *settings, LogSink log = standardOutputLog(), QObject *parent = nullptr);

    // Both of the following.
    [[nodiscard]] Q_INVOKABLE bool isTrusted() const;
    // Whether clips can be pasted by keystroke.
    [[nodiscard]] bool canPaste() const;
    // Whether typed snippet shortcuts can be seen (and then replaced).
    [[nodiscard]] bool canExpandSnippets() const;
    // Why each is not possible, for the user; empty when it is.
    [[nodiscard]] QString pasteProblem() const;
    [[nodiscard]] QString snippetProblem() const;
    Q_INVOKABLE void requestAccess();
    Q_INVOKABLE void openSystemSettings();

    // Where the X server's extensions are documented; Linux has no privacy settings page for them.
    [[nodiscard]] static QUrl settingsUrl();

private:
    KeySynthesizer *m_synthesizer;
    KeyEventSource *m_keyEvents;
    Workspace *m_workspace;
    AppSettings *m_settings;
    LogSink m_log;
};

} // namespace Vexilo
