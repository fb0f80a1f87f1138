// SPDX-License-Identifier: MIT
#pragma once

#include "OverlayWindowSupport.h"

#include <xcb/xcb.h>

namespace Vexilo {

class X11Atoms;

// The floating window on an EWMH desktop: no taskbar or pager entry, above the others, and an
// activation request with a fresh server time, so that focus-stealing prevention lets the window
// take the keyboard when a hotkey or another process summons it.
class X11OverlayWindowSupport : public OverlayWindowSupport
{
public:
    explicit X11OverlayWindowSupport(const X11Atoms *atoms);

    void prepare(QWindow &window) override;
    void activate(QWindow &window) override;
    // Whether a compositing manager owns the _NET_WM_CM_S<n> selection of the default screen.
    [[nodiscard]] bool isCompositing() const override;

    // The X server's current time, read by touching a property of a window of our own; 0 when the
    // server does not answer in time.
    [[nodiscard]] xcb_timestamp_t serverTime() const;

private:
    const X11Atoms *m_atoms;
};

} // namespace Vexilo
