// SPDX-License-Identifier: MIT
// Measures the history window itself, built in this process as the application builds it and drawn
// with the software scene graph on a private X display: scrolling the list of a 100,000-clip history
// frame by frame, and showing the detail of heavy clips when they are selected.
#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "BenchReport.h"
#include "ClipboardStore.h"
#include "HistoryFile.h"
#include "HistoryGenerator.h"
#include "ReferenceDate.h"
#include "WindowRig.h"
#include "XSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QtQml/QQmlExtensionPlugin>
#include <cstdio>

Q_IMPORT_QML_PLUGIN(VexiloPlugin)

using namespace Vexilo;
using namespace Vexilo::Bench;

namespace {

constexpr int historySize = 100000;

// Notes when the window's next frame has been presented.
class FrameWatch
{
public:
    explicit FrameWatch(QQuickWindow *window)
    {
        QObject::connect(
            window, &QQuickWindow::frameSwapped, window, [this] { m_swapped = m_timer.nsecsElapsed(); },
            Qt::DirectConnection);
        m_timer.start();
    }

    // Starts a measurement: the time runs from here.
    void arm()
    {
        m_swapped = -1;
        m_start = m_timer.nsecsElapsed();
    }
    // The next frame, not the one already seen, ends the measurement started by arm().
    void awaitAnotherFrame() { m_swapped = -1; }
    [[nodiscard]] double sinceArmedMs() const { return double(m_timer.nsecsElapsed() - m_start) / 1e6; }
    // Milliseconds from arm() to the next frame, or nothing when none came within the time.
    std::optional<double> waitForFrame(int timeoutMs = 5000)
    {
        if (!spinUntil([this] { return m_swapped >= 0; }, timeoutMs))
            return std::nullopt;
        return double(m_swapped - m_start) / 1e6;
    }

private:
    QElapsedTimer m_timer;
    qint64 m_start = 0;
    qint64 m_swapped = -1;
};

QString codeClip(int lines)
{
    QString code;
    for (int i = 0; code.count(u'\n') < lines; ++i) {
        code += QStringLiteral("function step%1(values) {\n"
                               "    const total = values.reduce((sum, value) => sum + value * %1, 0);\n"
                               "    return total > %1 ? total : null;\n"
                               "}\n")
                    .arg(i);
    }
    return code;
}

QImage image4K()
{
    QImage image(3840, 2160, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 3840, 2160);
    gradient.setColorAt(0, QColor(0x1E, 0x3A, 0x8A));
    gradient.setColorAt(1, QColor(0xF5, 0x9E, 0x0B));
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 200; ++i)
        painter.fillRect(QRect((i * 397) % 3700, (i * 211) % 2000, 140, 90), QColor::fromHsv((i * 37) % 360, 180, 220));
    return image;
}

QQuickItem *clipList(WindowRig &rig)
{
    QObject *model = rig.viewModel("listModel");
    for (QObject *object : rig.findByType("QQuickListView")) {
        if (object->property("model").value<QObject *>() == model)
            return qobject_cast<QQuickItem *>(object);
    }
    return nullptr;
}

void measureScrolling(WindowRig &rig, FrameWatch &frames)
{
    QQuickItem *list = clipList(rig);
    if (!list) {
        std::fprintf(stderr, "the clip list was not found\n");
        return;
    }
    // A fast flick: 60 px a frame, 3,600 px a second at 60 frames a second, down and back up.
    constexpr double step = 60;
    constexpr int steps = 400;
    std::vector<double> times;
    for (const double direction : {1.0, -1.0}) {
        for (int i = 0; i < steps; ++i) {
            frames.arm();
            list->setProperty("contentY", list->property("contentY").toDouble() + direction * step);
            const auto frame = frames.waitForFrame();
            if (!frame) {
                std::fprintf(stderr, "no frame after scrolling\n");
                return;
            }
            times.push_back(*frame);
        }
    }
    std::printf("Scrolling the list of %d clips, 60 px a frame, %zu frames\n", historySize, times.size());
    report("scroll: frame time, median", median(times), "ms", 16.7);
    report("scroll: frame time, 99th percentile", percentile(times, 99), "ms", 33);
    info("  slowest frame", percentile(times, 100), "ms");
}

void measureSelection(WindowRig &rig, FrameWatch &frames, const char *what, const QUuid &heavy, const QUuid &light,
                      bool waitForImage)
{
    ClipboardStore &store = rig.store();
    QObject *detail = rig.viewModel("detail");
    std::vector<double> calls;
    std::vector<double> shown;
    std::vector<double> imageShown;
    for (int i = 0; i < 7; ++i) {
        store.setSelectedItem(store.item(light));
        rig.settle(100);
        frames.arm();
        store.setSelectedItem(store.item(heavy));
        calls.push_back(frames.sinceArmedMs());
        const auto frame = frames.waitForFrame();
        if (!frame) {
            std::fprintf(stderr, "%s: no frame after the selection\n", what);
            return;
        }
        shown.push_back(*frame);
        if (waitForImage) {
            if (!spinUntil([detail] { return detail->property("hasDetailImage").toBool(); }, 10000)) {
                std::fprintf(stderr, "%s: the image did not load\n", what);
                return;
            }
            // The frame that draws it, still counted from the selection.
            frames.awaitAnotherFrame();
            const auto drawn = frames.waitForFrame();
            if (!drawn) {
                std::fprintf(stderr, "%s: no frame drew the image\n", what);
                return;
            }
            imageShown.push_back(*drawn);
        }
    }
    const QByteArray label = QByteArray("select ") + what + ": to the detail's first frame, median";
    report(label.constData(), median(shown), "ms", 50);
    info("  the first of the 7 (nothing cached yet)", shown.front(), "ms");
    info("  of which the selection call (store, view models, bindings)", median(calls), "ms");
    if (waitForImage) {
        info("  to the frame with the image drawn, median", median(imageShown), "ms");
        info("  to the frame with the image drawn, the first of the 7", imageShown.front(), "ms");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    Test::XSession session;
    if (!session.start()) {
        std::fprintf(stderr, "Cannot start a private X session: %s\n", qPrintable(session.errorString()));
        return 1;
    }
    qputenv("DISPLAY", session.display().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    std::printf("History window benchmarks (software scene graph) on private display %s\n",
                qPrintable(session.display()));

    QTemporaryDir root;
    const StoragePaths paths = StoragePaths::forStorageDirectory(WindowRig::storageDirectory(root.path()));
    QDir().mkpath(paths.storageDirectory);
    std::printf("Generating a history of %d clips...\n", historySize);
    if (const QString error =
            HistoryFile::write(paths.historyFile(), generateHistory(historySize, 20261208, ReferenceDate::now()));
        !error.isEmpty()) {
        std::fprintf(stderr, "cannot write the history: %s\n", qPrintable(error));
        return 1;
    }
    WindowRig rig({root.path(), nullptr, 600000, {}});
    ClipboardStore &store = rig.store();
    rig.settings().setValue(AppStorageKeys::hasCompletedOnboarding, true);
    const QUuid code = store.addTextItem(codeClip(2000)).id;
    const QUuid image = store.addImageItem(image4K()).id;
    const QUuid large = store.addTextItem(prose(10 * 1024 * 1024, 11)).id;
    const QUuid small = store.addTextItem(QStringLiteral("a short clip to select in between")).id;
    store.recalculateFilteredItems();
    if (!store.item(code) || store.item(code)->type() != ClipType::Code || !store.item(image) || !store.item(large)) {
        std::fprintf(stderr, "the heavy clips were not recorded as expected (code %d, image %d, text %d)\n",
                     store.item(code) ? int(store.item(code)->type()) : -1, store.item(image) ? 1 : 0,
                     store.item(large) ? 1 : 0);
        return 1;
    }
    std::printf("%d clips loaded\n\n", store.storedItemCount());
    if (!rig.show()) {
        std::fprintf(stderr, "the history window could not be shown\n");
        return 1;
    }
    rig.settle(1000);
    FrameWatch frames(rig.window());

    measureScrolling(rig, frames);
    std::printf("\nSelecting heavy clips in that history (7 times each, a short clip in between)\n");
    measureSelection(rig, frames, "10 MB text", large, small, false);
    measureSelection(rig, frames, "4K image", image, small, true);
    measureSelection(rig, frames, "2,000-line code", code, small, false);
    rig.hide();
    return 0;
}
