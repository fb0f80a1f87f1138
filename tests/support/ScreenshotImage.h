// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>

// A screenshot-like image for text recognition, the same in the tests and the benchmark.
namespace Vexilo::Test {

// Body line i (0 to 31) of the screenshot.
[[nodiscard]] QString screenshotLine(int i);
// A 1920 × 1080 application window: a title bar, a tinted sidebar, 32 lines of 16-pixel text and a
// column of smaller grey dates; about forty lines in all.
[[nodiscard]] QImage screenshot();

} // namespace Vexilo::Test
