// SPDX-License-Identifier: MIT
#include "CaptureRig.h"

#include "AppStorageKeys.h"

#include <QCoreApplication>

#include <cstdio>

namespace Vexilo::Bench {

CaptureRig::CaptureRig()
{
    settings = AppSettings::openFile(dir.path() + QStringLiteral("/settings.ini"));
    settings->registerDefaults(AppStorageKeys::defaultValues());
    settings->setValue(AppStorageKeys::playSounds, false);
    platform = PlatformServices::create(QCoreApplication::applicationFilePath());
    StoreEnvironment environment;
    environment.paths = StoragePaths::forStorageDirectory(dir.path() + QStringLiteral("/Vexilo"));
    environment.settings = settings.get();
    environment.log = [](const QString &line) { std::fprintf(stderr, "%s\n", qPrintable(line)); };
    store = std::make_unique<ClipboardStore>(std::move(environment));
    monitor = std::make_unique<ClipboardMonitor>(&platform->pasteboard(), &platform->workspace(), store.get());
    QObject::connect(store.get(), &ClipboardStore::itemsChanged, store.get(), [this] {
        const QList<ClipItem> &items = store->items();
        if (!recordedAt && !items.isEmpty() && items.first().textContentUtf8() == expected)
            recordedAt = std::chrono::steady_clock::now();
    });
    monitor->startMonitoring(0.4);
}

void CaptureRig::expect(const QByteArray &utf8)
{
    expected = utf8;
    recordedAt.reset();
}

} // namespace Vexilo::Bench
