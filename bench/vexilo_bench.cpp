// SPDX-License-Identifier: MIT
// Measures the history engine at the size of a heavy user's history. Prints each figure with its
// target; every figure is the median of several runs.
#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "BenchReport.h"
#include "ClipJson.h"
#include "ClipboardStore.h"
#include "ContentDetector.h"
#include "FilePathDetector.h"
#include "HistoryFile.h"
#include "HistoryGenerator.h"
#include "HistoryJournal.h"
#include "HistoryWriter.h"
#include "ReferenceDate.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <unistd.h>

using namespace Vexilo;
using namespace Vexilo::Bench;

namespace {

constexpr int historySize = 100000;

struct Fixture
{
    QTemporaryDir dir;
    std::unique_ptr<AppSettings> settings;
    StoreEnvironment environment;

    Fixture()
    {
        settings = AppSettings::openFile(dir.path() + QStringLiteral("/settings.ini"));
        settings->registerDefaults(AppStorageKeys::defaultValues());
        settings->setValue(AppStorageKeys::autoExtractOCR, false);
        environment.paths = StoragePaths::forStorageDirectory(dir.path() + QStringLiteral("/Vexilo"));
        environment.settings = settings.get();
        environment.log = [](const QString &line) { std::fprintf(stderr, "%s\n", qPrintable(line)); };
    }
    QString historyFile() const { return environment.paths.historyFile(); }
};

// Child mode: load the store from a file and print how long that took, as a fresh process would.
int measureStartup(const QString &storageDirectory)
{
    auto settings = AppSettings::openFile(storageDirectory + QStringLiteral("/../settings.ini"));
    settings->registerDefaults(AppStorageKeys::defaultValues());
    StoreEnvironment environment;
    environment.paths = StoragePaths::forStorageDirectory(storageDirectory);
    environment.settings = settings.get();
    const double ms = timeMs([&] { ClipboardStore store(environment); });
    std::printf("%.3f\n", ms);
    return 0;
}

double runChild(const QString &mode, const QString &storageDirectory)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {mode, storageDirectory});
    child.waitForFinished(120000);
    return child.readAllStandardOutput().trimmed().toDouble();
}

// Child mode: time `vexilo add` on a copy of the history; prints the median.
int timeCommandLine(const QString &storageDirectory)
{
    QTemporaryDir dir;
    const QString copy = dir.path() + QStringLiteral("/Vexilo");
    QDir().mkpath(copy);
    QFile::copy(storageDirectory + QStringLiteral("/history.json"), copy + QStringLiteral("/history.json"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path() + QStringLiteral("/config"));
    // Earlier measurements left hundreds of megabytes to write back; let the disk settle first so
    // the command's own flush is what gets measured.
    ::sync();
    std::vector<double> runs;
    for (int i = 0; i < 7; ++i) {
        QProcess cli;
        cli.setProcessEnvironment(env);
        runs.push_back(timeMs([&] {
            cli.start(QStringLiteral(VEXILO_BINARY),
                      {QStringLiteral("--data-dir"), copy, QStringLiteral("add"),
                       QStringLiteral("from the command line %1").arg(i)});
            cli.waitForFinished(60000);
        }));
        if (cli.exitCode() != 0)
            std::fprintf(stderr, "vexilo add failed: %s\n", cli.readAllStandardError().constData());
    }
    std::printf("%.3f\n", median(runs));
    return 0;
}

// Child mode: load the store from a file and print how much the resident set grew.
int measureResidentGrowth(const QString &storageDirectory)
{
    auto settings = AppSettings::openFile(storageDirectory + QStringLiteral("/../settings.ini"));
    settings->registerDefaults(AppStorageKeys::defaultValues());
    StoreEnvironment environment;
    environment.paths = StoragePaths::forStorageDirectory(storageDirectory);
    environment.settings = settings.get();
    malloc_trim(0);
    const double before = residentMegabytes();
    ClipboardStore store(environment);
    // The file's bytes are released after decoding; give them back so only the store is counted.
    malloc_trim(0);
    const double after = residentMegabytes();
    std::printf("%.3f\n", after - before);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == u"--resident-growth")
        return measureResidentGrowth(args.at(2));
    if (args.size() == 3 && args.at(1) == u"--startup")
        return measureStartup(args.at(2));
    if (args.size() == 3 && args.at(1) == u"--time-cli")
        return timeCommandLine(args.at(2));
    if (args.size() == 3 && args.at(1) == u"--write-history") {
        // For profiling by hand: the same history the measurements use.
        QDir().mkpath(args.at(2));
        const QString error = HistoryFile::write(args.at(2) + QStringLiteral("/history.json"),
                                                 Bench::generateHistory(historySize, 20261206, ReferenceDate::now()));
        return error.isEmpty() ? 0 : 1;
    }

    std::printf("Generating a history of %d clips...\n", historySize);
    Fixture fixture;
    QDir().mkpath(fixture.environment.paths.storageDirectory);
    const double now = ReferenceDate::now();
    qsizetype generatedCount = 0;
    {
        const QList<ClipItem> generated = Bench::generateHistory(historySize, 20261206, now);
        generatedCount = generated.size();
        const QString error = HistoryFile::write(fixture.historyFile(), generated);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "cannot write the history: %s\n", qPrintable(error));
            return 1;
        }
    }
    const double fileMegabytes = double(QFileInfo(fixture.historyFile()).size()) / (1024.0 * 1024.0);
    info("history file size", fileMegabytes, "MB");
    std::printf("\n");

    // Start-up to the first filtered list, each in a fresh process as the application starts.
    std::vector<double> startups;
    for (int run = 0; run < 5; ++run)
        startups.push_back(runChild(QStringLiteral("--startup"), fixture.environment.paths.storageDirectory));
    report("store start-up to the first filtered list", median(startups), "ms", 250);

    // The figures that need fresh processes come first, while this process is still small and the
    // disk is quiet.
    // Memory, in a fresh process so nothing else is counted.
    {
        const double growth = runChild(QStringLiteral("--resident-growth"), fixture.environment.paths.storageDirectory);
        report("resident memory of the loaded store (times the file size)", growth / fileMegabytes, "x", 2.5);
        info("  resident growth", growth, "MB");
    }

    report("one `vexilo add` process on that history",
           runChild(QStringLiteral("--time-cli"), fixture.environment.paths.storageDirectory), "ms", 400);

    ClipboardStore store(fixture.environment);
    const int loaded = store.storedItemCount();
    if (loaded != generatedCount) {
        std::fprintf(stderr, "loaded %d clips instead of %lld\n", loaded, qlonglong(generatedCount));
        return 1;
    }

    // Search. The first search of a clip builds its folded text, so it is reported apart.
    auto searchMs = [&store](const QString &query) {
        store.setSearchQuery(QString());
        store.recalculateFilteredItems();
        store.setSearchQuery(query);
        return timeMs([&] { store.recalculateFilteredItems(); });
    };
    info("first search after start-up", searchMs(QStringLiteral("the")), "ms");
    std::vector<double> searches;
    for (int round = 0; round < 3; ++round) {
        for (const char *query : {"the", "ver", "ing", "xqz", "log", "end", "pdf", "abc", "tok"})
            searches.push_back(searchMs(QString::fromUtf8(query)));
    }
    report("recalculateFilteredItems() with a 3-letter search", median(searches), "ms", 8);
    std::vector<double> unicode;
    for (const char *query : {"zür", "über", "日本"})
        unicode.push_back(searchMs(QString::fromUtf8(query)));
    info("  of which a search with letters outside ASCII", median(unicode), "ms");
    std::vector<double> rare;
    for (const char *query : {"xqz", "qqj", "zzv"})
        rare.push_back(searchMs(QString::fromUtf8(query)));
    info("  of which a 3-letter search that matches nothing", median(rare), "ms");
    std::vector<double> narrowed;
    for (const char *query : {"inv", "pro", "con"}) {
        store.setSearchQuery(QString::fromUtf8(query).left(2));
        store.recalculateFilteredItems();
        store.setSearchQuery(QString::fromUtf8(query));
        narrowed.push_back(timeMs([&] { store.recalculateFilteredItems(); }));
    }
    info("  typed after its 2-letter prefix (narrowed)", median(narrowed), "ms");
    store.setSearchQuery(QString());
    std::vector<double> plain;
    for (int i = 0; i < 5; ++i)
        plain.push_back(timeMs([&] { store.recalculateFilteredItems(); }));
    info("recalculateFilteredItems() without search", median(plain), "ms");

    // Capture of a new text on the main thread.
    std::vector<double> adds;
    for (int i = 0; i < 15; ++i) {
        const QString text = Bench::prose(200, 7000 + quint32(i)) + QString::number(i);
        adds.push_back(timeMs([&] { store.addTextItem(text); }));
    }
    report("addTextItem of a new text", median(adds), "ms", 10);
    // A capture is safe from a crash once its line is in the journal, long before the file is written.
    std::vector<double> journaled;
    for (int i = 0; i < 15; ++i) {
        const QString text = Bench::prose(200, 8000 + quint32(i)) + QString::number(i);
        journaled.push_back(timeMs([&] {
            store.addTextItem(text);
            store.journal().waitForIdle();
        }));
    }
    info("  captured and in the journal on disk", median(journaled), "ms");

    // Saving: the main thread only snapshots and hands off; the background thread encodes and writes.
    store.saveHistorySynchronously();
    std::vector<double> handoffs;
    for (int i = 0; i < 9; ++i) {
        handoffs.push_back(timeMs([&] { store.writer().writeAsync(store.items()); }));
        store.writer().waitForIdle();
    }
    report("main-thread time of one saveHistory()", median(handoffs), "ms", 3);
    std::vector<double> writes;
    const QList<ClipItem> snapshot = store.items();
    for (int i = 0; i < 5; ++i)
        writes.push_back(timeMs([&] { (void)HistoryFile::write(fixture.historyFile(), snapshot); }));
    report("background encode and atomic write of the file", median(writes), "ms", 300);
    std::vector<double> encodes;
    for (int i = 0; i < 5; ++i) {
        QFile null(QStringLiteral("/dev/null"));
        null.open(QIODevice::WriteOnly);
        encodes.push_back(timeMs([&] { (void)ClipJson::writeHistory(null, snapshot); }));
    }
    info("  of which encoding", median(encodes), "ms");

    // One very large copy, detection included.
    std::vector<double> large;
    for (int i = 0; i < 3; ++i) {
        const QString text = Bench::prose(10 * 1024 * 1024, 99 + quint32(i));
        large.push_back(timeMs([&] { store.addTextItem(text); }));
    }
    report("addTextItem of a single 10 MB text", median(large), "ms", 150);
    {
        const QString adversarial[] = {
            QString(10 * 1024 * 1024, u'a'), QStringLiteral("a{b:").repeated(2 * 1024 * 1024 + 512 * 1024),
            QStringLiteral("ab.cd").repeated(2 * 1024 * 1024), QStringLiteral("x\n").repeated(5 * 1024 * 1024)};
        std::vector<double> detections;
        for (const QString &text : adversarial) {
            detections.push_back(timeMs([&] {
                (void)ContentDetector::detectColor(text);
                if (!ContentDetector::isURL(text) && !ContentDetector::detectCode(text).isCode)
                    (void)ContentDetector::detectFilePath(text);
            }));
        }
        info("  detection of 10 MB adversarial texts (slowest)",
             *std::max_element(detections.begin(), detections.end()), "ms");
    }

    return 0;
}
