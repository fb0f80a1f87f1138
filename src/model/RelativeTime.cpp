// SPDX-License-Identifier: MIT
// PLACEHOLDER: being implemented.
#include "RelativeTime.h"
namespace Vexilo::RelativeTime {
QString abbreviated(double, double) { return {}; }
}
