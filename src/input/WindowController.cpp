// SPDX-License-Identifier: MIT
#include "WindowController.h"

namespace Vexilo {

// Defined here so the interface's type information lives in one place.
WindowController::~WindowController() = default;

} // namespace Vexilo
