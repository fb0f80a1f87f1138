// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace Vexilo::RelativeTime {

// English relative age in the abbreviated style: "5 min. ago", "2 hr. ago", "3 days ago", "in 2 min.".
// Both dates are seconds since the reference date (see ReferenceDate).
[[nodiscard]] QString abbreviated(double date, double now);

} // namespace Vexilo::RelativeTime
