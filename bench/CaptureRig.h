// SPDX-License-Identifier: MIT
#pragma once

#include "AppSettings.h"
#include "ClipboardMonitor.h"
#include "ClipboardStore.h"
#include "PlatformServices.h"

#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <optional>

namespace Vexilo::Bench {

// The capture path of the application in this process: the desktop's clipboard as the application
// would choose it, the monitor and a store on a temporary folder. Notes when the expected text is
// recorded.
struct CaptureRig
{
    CaptureRig();

    // Forgets the last recording and waits for `utf8`.
    void expect(const QByteArray &utf8);

    QTemporaryDir dir;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<PlatformServices> platform;
    std::unique_ptr<ClipboardStore> store;
    std::unique_ptr<ClipboardMonitor> monitor;
    QByteArray expected;
    std::optional<std::chrono::steady_clock::time_point> recordedAt;
};

} // namespace Vexilo::Bench
