// SPDX-License-Identifier: MIT
// Measures the history list at the size of a heavy user's history: what a typed character, a capture,
// a pin and a delete cost on the main thread once the list model tells its views, with and without
// a list view showing the rows.
#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "BenchReport.h"
#include "ClipListModel.h"
#include "ClipboardStore.h"
#include "Clock.h"
#include "HistoryFile.h"
#include "HistoryGenerator.h"
#include "MenuBarClipListModel.h"
#include "MenuBarPopoverModel.h"
#include "ReferenceDate.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlContext>
#include <QQuickView>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

using namespace Vexilo;
using namespace Vexilo::Bench;

namespace {

constexpr int historySize = 100000;

// A list like the history window's: lazily built rows reading the roles a row shows.
constexpr char listQml[] = R"(
import QtQuick
ListView {
    width: 420; height: 640
    model: clipModel
    delegate: Item {
        width: ListView.view.width; height: 48
        Text { text: model.slot > 0 ? model.slot : ""; x: 4 }
        Text { text: model.badgeLabel + " " + model.title; x: 24; width: 300; elide: Text.ElideRight }
        Text { text: model.subtitle; x: 24; y: 18; width: 300; elide: Text.ElideRight }
        Text { text: model.tagsChip + " " + model.age + (model.isSelected ? " *" : ""); x: 330 }
    }
}
)";

struct Figures
{
    std::vector<double> total;
    std::vector<double> model;
    std::vector<double> frame;
};

// The median against the target, the 95th percentile, and the list model's share of both.
void reportFigures(const char *what, const Figures &figures, double target)
{
    report(what, median(figures.total), "ms", target);
    info("  95th percentile", percentile(figures.total, 95), "ms");
    if (percentile(figures.model, 95) > 0) {
        info("  of which the list model: median", median(figures.model), "ms");
        info("  of which the list model: 95th percentile", percentile(figures.model, 95), "ms");
    }
    if (!figures.frame.empty() && median(figures.frame) > 0) {
        info("  of which the frame after it: median", median(figures.frame), "ms");
        info("  of which the frame after it: 95th percentile", percentile(figures.frame, 95), "ms");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);

    QTemporaryDir dir;
    auto settings = AppSettings::openFile(dir.path() + QStringLiteral("/settings.ini"));
    settings->registerDefaults(AppStorageKeys::defaultValues());
    settings->setValue(AppStorageKeys::autoExtractOCR, false);
    StoreEnvironment environment;
    environment.paths = StoragePaths::forStorageDirectory(dir.path() + QStringLiteral("/Vexilo"));
    environment.settings = settings.get();
    environment.log = [](const QString &line) { std::fprintf(stderr, "%s\n", qPrintable(line)); };
    environment.undoWindowMs = 600000;
    std::printf("Generating a history of %d clips...\n", historySize);
    QDir().mkpath(environment.paths.storageDirectory);
    if (const QString error = HistoryFile::write(environment.paths.historyFile(),
                                                 generateHistory(historySize, 20261206, ReferenceDate::now()));
        !error.isEmpty()) {
        std::fprintf(stderr, "cannot write the history: %s\n", qPrintable(error));
        return 1;
    }
    ClipboardStore store(environment);
    std::printf("%d clips loaded\n\n", store.storedItemCount());

    // The model's own share: timers connected before and after its slot, which runs in between.
    QElapsedTimer modelTimer;
    double modelMs = 0;
    QObject::connect(&store, &ClipboardStore::filteredItemsChanged, &store, [&] { modelTimer.start(); });
    auto model = std::make_unique<ClipListModel>(store);
    QObject::connect(&store, &ClipboardStore::filteredItemsChanged, &store,
                     [&] { modelMs += double(modelTimer.nsecsElapsed()) / 1e6; });

    std::unique_ptr<QQuickView> view;
    double frameMs = 0;
    const auto frame = [&view, &frameMs] {
        frameMs = view ? timeMs([&view] { (void)view->grabWindow(); }) : 0; // polish, layout and paint
    };
    // Types each word, one character at a time, then deletes it again: every step after the debounce.
    const auto typing = [&] {
        Figures figures;
        for (const char *word : {"the", "import", "https", "error 4", "invoice", "zq"}) {
            const QString text = QString::fromUtf8(word);
            QStringList steps;
            for (qsizetype n = 1; n <= text.size(); ++n)
                steps.append(text.left(n));
            for (qsizetype n = text.size() - 1; n >= 0; --n)
                steps.append(text.left(n));
            for (const QString &query : steps) {
                modelMs = 0;
                figures.total.push_back(timeMs([&] {
                    store.setSearchQuery(query);
                    store.recalculateFilteredItems();
                    frame();
                }));
                figures.model.push_back(modelMs);
                figures.frame.push_back(frameMs);
            }
        }
        return figures;
    };
    // A capture, a pin and unpin of clips at several depths, a delete and its undo.
    const auto editing = [&](quint32 seed) {
        Figures captures;
        Figures pins;
        Figures deletes;
        const auto measure = [&](Figures &figures, const std::function<void()> &work) {
            modelMs = 0;
            figures.total.push_back(timeMs([&] {
                work();
                frame();
            }));
            figures.model.push_back(modelMs);
            figures.frame.push_back(frameMs);
        };
        for (int i = 0; i < 15; ++i) {
            const QString text = prose(200, seed + quint32(i)) + QString::number(seed + quint32(i));
            measure(captures, [&] { store.addTextItem(text); });
        }
        for (int depth : {3, 40, 900, 20000, 60000, 95000}) {
            const QUuid id = store.filteredItems().at(qMin(depth, int(store.filteredItems().size()) - 1)).id();
            measure(pins, [&] { store.togglePin(*store.item(id)); });
            measure(pins, [&] { store.togglePin(*store.item(id)); });
        }
        for (int depth : {2, 50, 5000, 50000, 90000}) {
            const ClipItem clip = store.filteredItems().at(depth);
            measure(deletes, [&] { store.deleteItem(clip, true); });
            measure(deletes, [&] { store.undoLastDelete(); });
        }
        reportFigures("capture", captures, 10);
        reportFigures("pin or unpin", pins, 16);
        reportFigures("delete or undo", deletes, 16);
    };

    store.setSearchQuery(QString());
    store.recalculateFilteredItems();
    std::printf("Model without a view\n");
    reportFigures("one typed character after the debounce: filter and list", typing(), 16);
    editing(9000);

    QTemporaryDir qmlDir;
    QFile qmlFile(qmlDir.path() + QStringLiteral("/List.qml"));
    qmlFile.open(QIODevice::WriteOnly);
    qmlFile.write(listQml);
    qmlFile.close();
    view = std::make_unique<QQuickView>();
    view->rootContext()->setContextProperty(QStringLiteral("clipModel"), model.get());
    view->setSource(QUrl::fromLocalFile(qmlFile.fileName()));
    view->show();
    std::vector<double> idle;
    for (int i = 0; i < 10; ++i) {
        frame();
        idle.push_back(frameMs);
    }
    std::printf("\nWith a list view (software rendering), each step followed by one frame\n");
    info("one frame without changes", median(idle), "ms");
    reportFigures("one typed character after the debounce: filter, list and frame", typing(), 16);
    editing(9100);

    // Without the model: what the store alone costs, to see what the list adds.
    view.reset();
    model.reset();
    std::printf("\nStore alone, no list model\n");
    reportFigures("one typed character after the debounce: filter", typing(), 16);
    editing(9200);

    // The tray popover: its query over the whole history and its list model, at the largest item
    // count a user can choose.
    std::printf("\nTray popover, 30 items\n");
    store.setMenuBarPopoverItemCount(30);
    SystemClock clock;
    MenuBarPopoverModel::Dependencies popoverDeps;
    popoverDeps.store = &store;
    popoverDeps.clock = &clock;
    MenuBarPopoverModel popover(popoverDeps);
    popover.setShown(true);
    std::vector<double> opening;
    for (int i = 0; i < 20; ++i) {
        popover.setSelectedFilter(int(ClipType::Code));
        opening.push_back(timeMs([&] { popover.reset(); }));
    }
    report("popover opened: the 30 newest clips, query and model", median(opening), "ms", 20);
    info("  95th percentile", percentile(opening, 95), "ms");
    info("  rows", popover.clips()->rowCount(), "");
    std::vector<double> searching;
    for (const char *word : {"the", "import", "https", "zq"}) {
        const QString text = QString::fromUtf8(word);
        for (qsizetype n = 1; n <= text.size(); ++n)
            searching.push_back(timeMs([&] { popover.setSearchText(text.left(n)); }));
    }
    report("popover search, one typed character: query and model", median(searching), "ms", 20);
    info("  95th percentile", percentile(searching, 95), "ms");
    return 0;
}
