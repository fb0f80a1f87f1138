// SPDX-License-Identifier: MIT
#pragma once

namespace Vexilo::WidgetPalette {

// The dialogs and the tray menu are widgets: they keep the desktop's palette where a platform theme
// gives one that matches the scheme, and otherwise get a light or dark one of ours, as the windows do.
void follow(bool dark);

} // namespace Vexilo::WidgetPalette
