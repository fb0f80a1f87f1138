// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

namespace Vexilo {

// The feedback sounds the history's operations ask for.
enum class FeedbackSound : quint8 { Copy, Delete, Pin };

} // namespace Vexilo
