// SPDX-License-Identifier: MIT
// Measures the application on a Wayland compositor (run inside a private headless sway): how fast a
// copy made with wl-copy is recorded, what the idle application costs, and how fast `vexilo
// paste-slot 1` puts a clip into the focused text field. Prints each figure with its target.
//
//   with-sway.sh vexilo_wayland_bench [--idle-seconds N]
#include "AppProcess.h"
#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "BenchReport.h"
#include "CaptureRig.h"
#include "ClipboardMonitor.h"
#include "ClipboardStore.h"
#include "HistoryGenerator.h"
#include "MomentLog.h"
#include "PlatformServices.h"
#include "WaylandProbe.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>

#include "wlr-data-control-unstable-v1-client-protocol.h"
#include <wayland-client.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <poll.h>
#include <thread>

using namespace Vexilo;
using namespace Vexilo::Bench;

namespace {

// Notes the moment the compositor announces each new selection, on a connection and thread of its
// own, so the time a copy happened does not depend on how fast the code under measurement reacts.
class SelectionWatcher : public MomentLog
{
public:
    SelectionWatcher()
    {
        m_display = wl_display_connect(nullptr);
        if (!m_display)
            return;
        wl_registry *registry = wl_display_get_registry(m_display);
        static const wl_registry_listener registryListener = {
            [](void *data, wl_registry *owner, uint32_t name, const char *interface, uint32_t version) {
                auto *self = static_cast<SelectionWatcher *>(data);
                if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
                    self->m_manager = static_cast<zwlr_data_control_manager_v1 *>(
                        wl_registry_bind(owner, name, &zwlr_data_control_manager_v1_interface, std::min(version, 2u)));
                else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !self->m_seat)
                    self->m_seat = static_cast<wl_seat *>(wl_registry_bind(owner, name, &wl_seat_interface, 1));
            },
            [](void *, wl_registry *, uint32_t) {}};
        wl_registry_add_listener(registry, &registryListener, this);
        wl_display_roundtrip(m_display);
        wl_registry_destroy(registry);
        if (!m_manager || !m_seat)
            return;
        m_device = zwlr_data_control_manager_v1_get_data_device(m_manager, m_seat);
        static const zwlr_data_control_device_v1_listener deviceListener = {
            [](void *, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *) {},
            [](void *data, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer) {
                const auto now = SteadyClock::now();
                if (offer)
                    zwlr_data_control_offer_v1_destroy(offer);
                static_cast<SelectionWatcher *>(data)->note(now);
            },
            [](void *, zwlr_data_control_device_v1 *) {},
            [](void *, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer) {
                if (offer)
                    zwlr_data_control_offer_v1_destroy(offer);
            }};
        zwlr_data_control_device_v1_add_listener(m_device, &deviceListener, this);
        wl_display_roundtrip(m_display);
        m_thread = std::thread([this] { watch(); });
    }

    ~SelectionWatcher()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_device)
            zwlr_data_control_device_v1_destroy(m_device);
        if (m_manager)
            zwlr_data_control_manager_v1_destroy(m_manager);
        if (m_seat)
            wl_seat_destroy(m_seat);
        if (m_display)
            wl_display_disconnect(m_display);
    }

    [[nodiscard]] bool isValid() const { return m_thread.joinable(); }

private:
    void watch()
    {
        while (!m_stop) {
            while (wl_display_prepare_read(m_display) != 0)
                wl_display_dispatch_pending(m_display);
            wl_display_flush(m_display);
            pollfd fd{wl_display_get_fd(m_display), POLLIN, 0};
            if (::poll(&fd, 1, 20) > 0) {
                if (wl_display_read_events(m_display) < 0)
                    return;
            } else {
                wl_display_cancel_read(m_display);
            }
            wl_display_dispatch_pending(m_display);
        }
    }

    wl_display *m_display = nullptr;
    wl_seat *m_seat = nullptr;
    zwlr_data_control_manager_v1 *m_manager = nullptr;
    zwlr_data_control_device_v1 *m_device = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_stop = false;
};

// wl-copy forks a server that owns the selection until the next copy; the command returns at once.
bool copyWithWlCopy(const QString &text)
{
    QProcess copy;
    copy.start(QStringLiteral("wl-copy"), {QStringLiteral("--"), text});
    return copy.waitForFinished(10000) && copy.exitCode() == 0;
}

void measureCapture()
{
    SelectionWatcher watcher;
    if (!watcher.isValid()) {
        std::fprintf(stderr, "the compositor offers no wlr data-control\n");
        return;
    }
    CaptureRig rig;
    if (rig.platform->clipboardName() != QStringLiteral("Wayland data-control")) {
        std::fprintf(stderr, "the application uses %s, not data-control\n", qPrintable(rig.platform->clipboardName()));
        return;
    }
    std::vector<double> latencies;
    std::vector<double> fromCommand;
    for (int i = 0; i < 50; ++i) {
        rig.expect(
            QStringLiteral("benchmark copy %1: %2").arg(i).arg(Bench::prose(40 + (i * 37) % 400, quint32(i))).toUtf8());
        const size_t before = watcher.count();
        const auto started = SteadyClock::now();
        if (!copyWithWlCopy(QString::fromUtf8(rig.expected)) ||
            !spinUntil([&] { return rig.recordedAt.has_value() && watcher.count() > before; }, 10000)) {
            std::fprintf(stderr, "copy %d was not recorded\n", i);
            return;
        }
        latencies.push_back(msBetween(*watcher.at(before), *rig.recordedAt));
        fromCommand.push_back(msBetween(started, *rig.recordedAt));
        spinUntil([] { return false; }, 60); // copies made by a person are apart
    }
    report("capture latency, selection announced to clip recorded, p50 (50 wl-copy copies)", percentile(latencies, 50),
           "ms", 15);
    report("capture latency, selection announced to clip recorded, p99 (50 wl-copy copies)", percentile(latencies, 99),
           "ms", 50);
    info("   wl-copy started to clip recorded, p50 (includes starting wl-copy)", percentile(fromCommand, 50), "ms");
}

// The application as a native Wayland client; it shares the compositor's runtime folder.
QProcessEnvironment waylandApplication()
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), qEnvironmentVariable("XDG_RUNTIME_DIR"));
    return env;
}

void measureIdleApplication(int idleSeconds)
{
    AppProcess app(QProcessEnvironment::systemEnvironment(), waylandApplication());
    if (!app.start()) {
        std::fprintf(stderr, "the application did not start\n");
        return;
    }
    // Start-up work (settings, sounds, the first save) is over after a few seconds.
    QThread::sleep(5);
    info("resident memory of the idle application on Wayland", residentMegabytes(app.pid()), "MB");
    const double cpuBefore = cpuSeconds(app.pid());
    QElapsedTimer timer;
    timer.start();
    QThread::sleep(unsigned(idleSeconds));
    const double cpu = (cpuSeconds(app.pid()) - cpuBefore) / (double(timer.nsecsElapsed()) / 1e9) * 100.0;
    const QByteArray label =
        QStringLiteral("idle CPU of the application on Wayland over %1 s").arg(idleSeconds).toUtf8();
    report(label.constData(), cpu, "%", 0.5);
}

void measurePasteSlot()
{
    AppProcess app(QProcessEnvironment::systemEnvironment(), waylandApplication());
    if (!app.start()) {
        std::fprintf(stderr, "the application did not start\n");
        return;
    }
    Test::WaylandProbe field;
    if (!field.start(QStringLiteral("org.example.Field"))) {
        std::fprintf(stderr, "the text field did not get the keyboard\n");
        return;
    }
    std::vector<double> runs;
    QString expected;
    for (int i = 0; i < 20; ++i) {
        const QString clip = QStringLiteral("[slot paste %1]").arg(i);
        if (app.command({QStringLiteral("add"), clip}) != 0) {
            std::fprintf(stderr, "could not add a clip\n");
            return;
        }
        expected += clip;
        QElapsedTimer timer;
        timer.start();
        if (app.command({QStringLiteral("paste-slot"), QStringLiteral("1")}) != 0 ||
            !spinUntil([&] { return field.waitForText(expected, 0); }, 10000)) {
            std::fprintf(stderr, "paste %d did not arrive; the field holds \"%s\"\n", i, qPrintable(field.lastText()));
            return;
        }
        runs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    report("vexilo paste-slot 1 to text in the focused field, median of 20", median(runs), "ms", 250);
    report("vexilo paste-slot 1 to text in the focused field, slowest of 20",
           *std::max_element(runs.begin(), runs.end()), "ms", 250);
}

} // namespace

int main(int argc, char *argv[])
{
    if (const int probe = Test::runWaylandProbeIfAsked(argc, argv); probe >= 0)
        return probe;
    int idleSeconds = 60;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--idle-seconds") == 0 && i + 1 < argc)
            idleSeconds = std::max(1, std::atoi(argv[i + 1]));
    }
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "Run inside a Wayland compositor: tests/support/with-sway.sh %s\n", argv[0]);
        return 1;
    }
    // This process only measures; its own windows, if any, stay off the compositor.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QGuiApplication app(argc, argv);
    std::printf("Wayland benchmarks on %s\n", qPrintable(qEnvironmentVariable("WAYLAND_DISPLAY")));
    measureCapture();
    measureIdleApplication(idleSeconds);
    measurePasteSlot();
    return 0;
}
