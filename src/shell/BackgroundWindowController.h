// SPDX-License-Identifier: MIT
#pragma once

#include "LogSink.h"
#include "WindowController.h"

namespace Vexilo {

class FocusRestoration;

// The windows of an application that has none yet: it runs in the background, and asking for the
// history window says so in the log.
class BackgroundWindowController : public WindowController
{
public:
    BackgroundWindowController(FocusRestoration &focus, LogSink log);

    void toggleHud() override;
    void showHud() override;
    void hideHud() override { }
    [[nodiscard]] bool isMainInterfaceVisible() const override { return false; }
    void dismissMainInterface() override { }
    void hideApplication() override { }

    [[nodiscard]] int presentationRequests() const { return m_requests; }

private:
    FocusRestoration &m_focus;
    LogSink m_log;
    int m_requests = 0;
};

} // namespace Vexilo
