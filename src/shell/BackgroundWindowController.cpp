// SPDX-License-Identifier: MIT
#include "BackgroundWindowController.h"

#include "FocusRestoration.h"

namespace Vexilo {

BackgroundWindowController::BackgroundWindowController(FocusRestoration &focus, LogSink log)
    : m_focus(focus)
    , m_log(std::move(log))
{ }

void BackgroundWindowController::toggleHud()
{
    showHud();
}

void BackgroundWindowController::showHud()
{
    // Presenting starts by remembering where to paste back to, window or not.
    m_focus.captureTargetBeforePresenting();
    ++m_requests;
    m_log(QStringLiteral("Vexilo: The history window is not part of this build yet; use \"vexilo list\"."));
}

} // namespace Vexilo
