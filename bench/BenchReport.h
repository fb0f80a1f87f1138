// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <vector>

// How every benchmark measures memory and prints its figures: one line per figure, with its target
// and whether it was met.
namespace Vexilo::Bench {

[[nodiscard]] double median(std::vector<double> values);
// Nearest-rank percentile, p in (0, 100].
[[nodiscard]] double percentile(std::vector<double> values, double p);
// Resident memory of this process, in MB.
[[nodiscard]] double residentMegabytes();

// Wall time of one run of work, in milliseconds.
[[nodiscard]] double timeMs(const std::function<void()> &work);

void report(const char *figure, double value, const char *unit, double target, bool atMost = true);
void info(const char *figure, double value, const char *unit);

} // namespace Vexilo::Bench
