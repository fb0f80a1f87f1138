// SPDX-License-Identifier: MIT
#include "UpdatePrompt.h"

namespace Vexilo {

UpdatePrompt::~UpdatePrompt() = default;

} // namespace Vexilo
