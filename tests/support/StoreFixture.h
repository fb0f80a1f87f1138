// SPDX-License-Identifier: MIT
#pragma once

#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "ClipboardStore.h"
#include "FakeTextRecognizer.h"
#include "ManualClock.h"

#include <QTemporaryDir>
#include <memory>

namespace Vexilo::Test {

// A store over a temporary folder, its own settings file, a clock the test moves, fake sounds and a
// fake text recognizer, and the log lines it wrote.
class StoreFixture
{
public:
    StoreFixture();

    // Starts (or restarts) the store on the fixture's folder.
    ClipboardStore &open();
    void close();
    [[nodiscard]] ClipboardStore &store() { return *m_store; }

    [[nodiscard]] QString storageDirectory() const { return m_root.path() + QStringLiteral("/Vexilo"); }
    [[nodiscard]] QString legacyDirectory() const { return m_root.path() + QStringLiteral("/Quillbox"); }
    [[nodiscard]] QString historyFile() const { return storageDirectory() + QStringLiteral("/history.json"); }
    [[nodiscard]] QString imagesDirectory() const { return storageDirectory() + QStringLiteral("/images"); }
    [[nodiscard]] QString rootPath() const { return m_root.path(); }

    // Writes a history file before the store starts.
    void writeHistory(const QList<ClipItem> &items);
    void writeHistoryBytes(const QByteArray &bytes);
    [[nodiscard]] QList<ClipItem> readHistory() const;
    [[nodiscard]] QStringList imageFiles() const;

    AppSettings &settings() { return *m_settings; }
    // The feedback sounds asked for, in order: "Copy", "Delete", "Pin".
    QStringList &sounds() { return *m_sounds; }
    FakeTextRecognizer &recognizer() { return m_recognizer; }
    QStringList &logLines() { return *m_log; }

    ManualClock clock;
    StoreEnvironment environment;

    // A clip of type Text with the given text, `ageSeconds` before the clock.
    [[nodiscard]] ClipItem textClip(const QString &text, double ageSeconds = 0, bool pinned = false) const;

private:
    QTemporaryDir m_root;
    std::unique_ptr<AppSettings> m_settings;
    std::shared_ptr<QStringList> m_sounds = std::make_shared<QStringList>();
    FakeTextRecognizer m_recognizer;
    std::shared_ptr<QStringList> m_log = std::make_shared<QStringList>();
    std::unique_ptr<ClipboardStore> m_store;
};

} // namespace Vexilo::Test
