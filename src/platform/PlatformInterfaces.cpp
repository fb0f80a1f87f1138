// SPDX-License-Identifier: MIT
// Gives the interfaces a home for their generated meta-object code and type information.
#include "HotkeyService.h"
#include "KeyEventSource.h"
#include "Pasteboard.h"
#include "TextRecognizer.h"
#include "WindowController.h"
#include "Workspace.h"

namespace Vexilo {

TextRecognizer::~TextRecognizer() = default;
WindowController::~WindowController() = default;

} // namespace Vexilo
