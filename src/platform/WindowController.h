// SPDX-License-Identifier: MIT
#pragma once

namespace Vexilo {

// The application's windows as the input services see them. The shell implements it.
class WindowController
{
public:
    virtual ~WindowController();

    // Shows the HUD, remembering the application to return to, or hides it when it is visible.
    virtual void toggleHud() = 0;
    virtual void showHud() = 0;
    virtual void hideHud() = 0;
    // Whether the HUD or the tray popover is on screen.
    [[nodiscard]] virtual bool isMainInterfaceVisible() const = 0;
    // Closes the HUD and the tray popover.
    virtual void dismissMainInterface() = 0;
    // Gives up keyboard focus so that the window behind can take it back.
    virtual void hideApplication() = 0;
};

} // namespace Vexilo
