// SPDX-License-Identifier: MIT
// Measures the application on a private X display: how fast copies made in another program are
// recorded, what the idle application costs, how fast the command-line client is answered by the
// running application, and how fast and how heavy the history window is when the hotkey summons it.
// Prints each figure with its target.
//
//   vexilo_desktop_bench [--idle-seconds N] [--hud-only] [--windows-only]
#include "AppProcess.h"
#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "BenchReport.h"
#include "CaptureRig.h"
#include "ClipboardMonitor.h"
#include "ClipboardStore.h"
#include "HistoryFile.h"
#include "HistoryGenerator.h"
#include "HistoryWriter.h"
#include "MomentLog.h"
#include "PlatformServices.h"
#include "ReferenceDate.h"
#include "XSession.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMap>
#include <QPoint>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <poll.h>
#include <thread>
#include <time.h>
#include <unistd.h>

using namespace Vexilo;
using namespace Vexilo::Bench;

namespace {

// Notes the moment the X server announces each new clipboard owner, on a connection of its own, so
// the time a copy happened does not depend on how fast the code under measurement reacts.
class SelectionWatcher : public MomentLog
{
public:
    explicit SelectionWatcher(const QByteArray &display)
    {
        m_display = XOpenDisplay(display.constData());
        int error = 0;
        if (!m_display || !XFixesQueryExtension(m_display, &m_eventBase, &error))
            return;
        XFixesSelectSelectionInput(m_display, DefaultRootWindow(m_display), XInternAtom(m_display, "CLIPBOARD", False),
                                   XFixesSetSelectionOwnerNotifyMask);
        XSync(m_display, False);
        m_thread = std::thread([this] { watch(); });
    }

    ~SelectionWatcher()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_display)
            XCloseDisplay(m_display);
    }

    [[nodiscard]] bool isValid() const { return m_thread.joinable(); }

private:
    void watch()
    {
        pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
        while (!m_stop) {
            ::poll(&fd, 1, 20);
            while (XPending(m_display)) {
                XEvent event;
                XNextEvent(m_display, &event);
                if (event.type == m_eventBase + XFixesSelectionNotify)
                    note(SteadyClock::now());
            }
        }
    }

    Display *m_display = nullptr;
    int m_eventBase = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop = false;
};

// Starts xclip owning the clipboard with `text`; it keeps serving in the background until the next
// copy takes the clipboard over.
bool copyWithXclip(const QByteArray &text)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-target"),
                 QStringLiteral("UTF8_STRING")});
    if (!xclip.waitForStarted(5000))
        return false;
    xclip.write(text);
    xclip.closeWriteChannel();
    // xclip forks a server and returns once it owns the clipboard.
    while (xclip.state() != QProcess::NotRunning)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return xclip.exitCode() == 0;
}

// Copies `text` with xclip and returns the milliseconds from the owner change to the clip being
// recorded, or nothing when it was not recorded within 10 s.
std::optional<double> measureCopy(CaptureRig &rig, SelectionWatcher &watcher, const QByteArray &utf8)
{
    rig.expect(utf8);
    const size_t before = watcher.count();
    if (!copyWithXclip(utf8))
        return std::nullopt;
    if (!spinUntil([&] { return rig.recordedAt.has_value() && watcher.count() > before; }, 10000))
        return std::nullopt;
    return msBetween(*watcher.at(before), *rig.recordedAt);
}

void measureCapture(const QByteArray &display)
{
    SelectionWatcher watcher(display);
    if (!watcher.isValid()) {
        std::fprintf(stderr, "the XFixes extension is not available\n");
        return;
    }
    CaptureRig rig;
    std::vector<double> latencies;
    for (int i = 0; i < 50; ++i) {
        const QString text =
            QStringLiteral("benchmark copy %1: %2").arg(i).arg(Bench::prose(40 + (i * 37) % 400, quint32(i)));
        const auto latency = measureCopy(rig, watcher, text.toUtf8());
        if (!latency) {
            std::fprintf(stderr, "copy %d was not recorded\n", i);
            return;
        }
        latencies.push_back(*latency);
        spinUntil([] { return false; }, 60); // copies made by a person are apart
    }
    report("capture latency, owner change to clip recorded, p50 (50 copies)", percentile(latencies, 50), "ms", 15);
    report("capture latency, owner change to clip recorded, p99 (50 copies)", percentile(latencies, 99), "ms", 50);

    // A large copy: the transfer from xclip is part of the figure.
    spinUntil([] { return false; }, 500);
    const double before = residentMegabytes(QCoreApplication::applicationPid());
    const QByteArray large = Bench::prose(10 * 1024 * 1024, 7).toUtf8();
    const double textMegabytes = double(large.size()) / (1024.0 * 1024.0);
    const double withText = residentMegabytes(QCoreApplication::applicationPid());
    const auto latency = measureCopy(rig, watcher, large);
    if (!latency) {
        std::fprintf(stderr, "the 10 MB copy was not recorded\n");
        return;
    }
    report("10 MB text copy: owner change to clip recorded", *latency, "ms", 150);
    // Let the history save of the new clip run before looking at the memory it keeps.
    spinUntil([] { return false; }, 2000);
    rig.store->writer().waitForIdle();
    const double after = residentMegabytes(QCoreApplication::applicationPid());
    info("   size of the copied text (UTF-8)", textMegabytes, "MB");
    report("10 MB text copy: resident memory growth of the capturing process", after - withText, "MB", 40);
    info("   (the bench's own copy of the text, not counted)", withText - before, "MB");
}

// Measured first, as the baseline of the memory given back after a clear.
double idleMegabytes = 0;

void measureIdleApplication(const QProcessEnvironment &display, int idleSeconds)
{
    AppProcess app(display);
    if (!app.start()) {
        std::fprintf(stderr, "the application did not start\n");
        return;
    }
    // Start-up work (settings, sounds, the first save) is over after a few seconds.
    QThread::sleep(5);
    idleMegabytes = residentMegabytes(app.pid());
    report("resident memory of the idle application, empty history", idleMegabytes, "MB", 40);
    const double cpuBefore = cpuSeconds(app.pid());
    QElapsedTimer timer;
    timer.start();
    QThread::sleep(unsigned(idleSeconds));
    const double cpu = (cpuSeconds(app.pid()) - cpuBefore) / (double(timer.nsecsElapsed()) / 1e9) * 100.0;
    const QByteArray label = QStringLiteral("idle CPU of the application over %1 s").arg(idleSeconds).toUtf8();
    report(label.constData(), cpu, "%", 0.5);
}

void measureCommandLineAgainstApplication(const QProcessEnvironment &display)
{
    AppProcess app(display);
    QDir().mkpath(QFileInfo(app.historyFile()).absolutePath());
    const QString error =
        HistoryFile::write(app.historyFile(), Bench::generateHistory(100000, 20261206, ReferenceDate::now()));
    if (!error.isEmpty()) {
        std::fprintf(stderr, "cannot write the history: %s\n", qPrintable(error));
        return;
    }
    if (!app.start()) {
        std::fprintf(stderr, "the application did not start\n");
        return;
    }
    info("resident memory of the application with 100,000 clips", residentMegabytes(app.pid()), "MB");
    std::vector<double> runs;
    for (int i = 0; i < 21; ++i) {
        QElapsedTimer timer;
        timer.start();
        const int exitCode = app.command({QStringLiteral("list"), QStringLiteral("--limit"), QStringLiteral("10")});
        runs.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (exitCode != 0) {
            std::fprintf(stderr, "vexilo list failed with %d\n", exitCode);
            return;
        }
    }
    report("`vexilo list --limit 10` against the app with 100,000 clips, median", percentile(runs, 50), "ms", 50);
    info("   slowest of 21 runs", percentile(runs, 100), "ms");

    // A large clear gives the memory back: the block of texts goes once the few clips left (the
    // snippets) have moved out of it after the save.
    if (app.command({QStringLiteral("clear"), QStringLiteral("--all")}) != 0) {
        std::fprintf(stderr, "vexilo clear failed\n");
        return;
    }
    QThread::sleep(3);
    const double cleared = residentMegabytes(app.pid());
    if (idleMegabytes > 0)
        report("resident memory after clearing those clips, times the idle application's", cleared / idleMegabytes, "x",
               1.2);
    info("   resident memory after clearing", cleared, "MB");
}

qint64 monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Presses the history hotkey (Alt+Space) through XTest on a connection of its own, as a keyboard would.
class HotkeyPresser
{
public:
    explicit HotkeyPresser(const QByteArray &display)
    {
        m_display = XOpenDisplay(display.constData());
        int event = 0;
        int error = 0;
        int major = 0;
        int minor = 0;
        if (!m_display || !XTestQueryExtension(m_display, &event, &error, &major, &minor))
            return;
        m_alt = XKeysymToKeycode(m_display, XK_Alt_L);
        m_space = XKeysymToKeycode(m_display, XK_space);
    }
    ~HotkeyPresser()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    HotkeyPresser(const HotkeyPresser &) = delete;
    HotkeyPresser &operator=(const HotkeyPresser &) = delete;

    [[nodiscard]] bool isValid() const { return m_display && m_alt && m_space; }

    // A chord of keys pressed in order and released in reverse; the time just before the first.
    qint64 pressKeys(std::initializer_list<KeySym> keys)
    {
        std::vector<KeyCode> codes;
        for (const KeySym key : keys)
            codes.push_back(XKeysymToKeycode(m_display, key));
        const qint64 start = monotonicNanoseconds();
        for (const KeyCode code : codes)
            XTestFakeKeyEvent(m_display, code, True, 0);
        for (auto code = codes.rbegin(); code != codes.rend(); ++code)
            XTestFakeKeyEvent(m_display, *code, False, 0);
        XFlush(m_display);
        return start;
    }

    // A left click at a point of the screen; the time just before the button went down.
    qint64 click(const QPoint &at)
    {
        XTestFakeMotionEvent(m_display, -1, at.x(), at.y(), 0);
        XFlush(m_display);
        QThread::msleep(50);
        const qint64 start = monotonicNanoseconds();
        XTestFakeButtonEvent(m_display, 1, True, 0);
        XTestFakeButtonEvent(m_display, 1, False, 0);
        XFlush(m_display);
        return start;
    }

    // Returns the monotonic time just before the first key went out.
    qint64 press()
    {
        const qint64 start = monotonicNanoseconds();
        XTestFakeKeyEvent(m_display, m_alt, True, 0);
        XTestFakeKeyEvent(m_display, m_space, True, 0);
        XTestFakeKeyEvent(m_display, m_space, False, 0);
        XTestFakeKeyEvent(m_display, m_alt, False, 0);
        XFlush(m_display);
        return start;
    }

private:
    Display *m_display = nullptr;
    KeyCode m_alt = 0;
    KeyCode m_space = 0;
};

// The time from `start` to the first "<prefix><nanoseconds>" line of the application, in milliseconds;
// nothing when none came within 10 s.
std::optional<double> waitForPresented(AppProcess &app, const QByteArray &prefix, qint64 start)
{
    std::optional<qint64> presentedAt;
    spinUntil(
        [&] {
            const QList<QByteArray> lines = app.takeLines(prefix);
            if (!lines.isEmpty())
                presentedAt = lines.first().toLongLong();
            return presentedAt.has_value();
        },
        10000);
    if (!presentedAt)
        return std::nullopt;
    return double(*presentedAt - start) / 1e6;
}

// The application with a 10,000-clip history, traced so that it says when the window is on screen.
struct HudApp
{
    explicit HudApp(const QProcessEnvironment &display, const QProcessEnvironment &extra = {})
        : app(display, withTrace(extra))
    { }

    static QProcessEnvironment withTrace(QProcessEnvironment extra)
    {
        extra.insert(QStringLiteral("VEXILO_TRACE_PRESENT"), QStringLiteral("1"));
        return extra;
    }

    bool start()
    {
        QDir().mkpath(QFileInfo(app.historyFile()).absolutePath());
        const QString error =
            HistoryFile::write(app.historyFile(), Bench::generateHistory(10000, 20261207, ReferenceDate::now()));
        if (!error.isEmpty()) {
            std::fprintf(stderr, "cannot write the history: %s\n", qPrintable(error));
            return false;
        }
        if (!app.start()) {
            std::fprintf(stderr, "the application did not start\n");
            return false;
        }
        return true;
    }

    // Milliseconds from the key press to the window's first frame, or nothing when none came in 10 s.
    std::optional<double> show(HotkeyPresser &keys)
    {
        app.takeLines(presentedPrefix); // anything left from before
        return waitForPresented(app, presentedPrefix, keys.press());
    }

    bool hide()
    {
        if (app.command({QStringLiteral("toggle")}) != 0)
            return false;
        // The unmap reaches the server with the application's next flush.
        QThread::msleep(100);
        return true;
    }

    static constexpr char presentedPrefix[] = "Vexilo: HUD presented at ";
    AppProcess app;
};

void measureHud(const QProcessEnvironment &display)
{
    HotkeyPresser keys(display.value(QStringLiteral("DISPLAY")).toUtf8());
    if (!keys.isValid()) {
        std::fprintf(stderr, "the XTEST extension is not available\n");
        return;
    }
    HudApp hud(display);
    if (!hud.start())
        return;
    QByteArray status;
    hud.app.command({QStringLiteral("status")}, &status);
    const QByteArray hotkeyLine = status.mid(status.indexOf("History hotkey:")).split('\n').first();
    std::printf("   %s\n", hotkeyLine.constData());
    if (!hotkeyLine.endsWith(", registered")) {
        std::fprintf(stderr, "the history hotkey is not registered: the HUD figures need it\n");
        return;
    }
    QThread::sleep(5);
    report("resident memory, 10,000 clips, history window never shown", residentMegabytes(hud.app.pid()), "MB", 45);

    const auto first = hud.show(keys);
    if (!first) {
        std::fprintf(stderr, "the history window did not appear after the hotkey\n");
        return;
    }
    report("hotkey to the history window's first frame, first time (10,000 clips)", *first, "ms", 150);
    QThread::sleep(2);
    report("resident memory, 10,000 clips, history window shown", residentMegabytes(hud.app.pid()), "MB", 100);

    std::vector<double> later;
    for (int i = 0; i < 10; ++i) {
        if (!hud.hide())
            return;
        const auto shown = hud.show(keys);
        if (!shown) {
            std::fprintf(stderr, "the history window did not appear after the hotkey (time %d)\n", i + 2);
            return;
        }
        later.push_back(*shown);
    }
    report("hotkey to the history window's first frame, later times, median of 10", median(later), "ms", 50);
    info("   slowest of the 10", percentile(later, 100), "ms");

    QThread::sleep(1);
    const double before = residentMegabytes(hud.app.pid());
    std::vector<double> cycles;
    for (int i = 0; i < 100; ++i) {
        if (!hud.hide())
            return;
        const auto shown = hud.show(keys);
        if (!shown) {
            std::fprintf(stderr, "the history window did not appear in cycle %d\n", i + 1);
            return;
        }
        cycles.push_back(*shown);
    }
    hud.hide();
    QThread::sleep(2);
    report("resident memory growth over 100 show and hide cycles", residentMegabytes(hud.app.pid()) - before, "MB", 5);
    info("   hotkey to first frame during those cycles, median", median(cycles), "ms");
}

// The tray icon's centre on the screen: trayer's panel is as wide as the one icon it holds.
std::optional<QPoint> trayIconCentre(const QProcessEnvironment &display)
{
    QProcess xdotool;
    xdotool.setProcessEnvironment(display);
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^panel$"),
                   QStringLiteral("getwindowgeometry"), QStringLiteral("--shell")});
    if (!xdotool.waitForFinished(5000) || xdotool.exitCode() != 0)
        return std::nullopt;
    QMap<QByteArray, int> values;
    for (const QByteArray &line : xdotool.readAllStandardOutput().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            values.insert(line.left(equals), line.mid(equals + 1).toInt());
    }
    if (!values.contains("WIDTH") || values.value("WIDTH") <= 0)
        return std::nullopt;
    return QPoint(values.value("X") + values.value("WIDTH") / 2, values.value("Y") + values.value("HEIGHT") / 2);
}

// The tray popover opened by a click on the icon in a real XEmbed tray, the preferences window opened
// with Ctrl+, from the history window, and the memory once each window was shown.
void measureTrayWindows(const QProcessEnvironment &display)
{
    HotkeyPresser input(display.value(QStringLiteral("DISPLAY")).toUtf8());
    if (!input.isValid()) {
        std::fprintf(stderr, "the XTEST extension is not available\n");
        return;
    }
    QProcess tray;
    tray.setProcessEnvironment(display);
    tray.start(QStringLiteral("trayer"),
               {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"), QStringLiteral("right"),
                QStringLiteral("--widthtype"), QStringLiteral("request"), QStringLiteral("--height"),
                QStringLiteral("24"), QStringLiteral("--SetDockType"), QStringLiteral("true")});
    if (!tray.waitForStarted(5000)) {
        std::fprintf(stderr, "trayer did not start: the tray figures need it\n");
        return;
    }
    QThread::msleep(800);
    HudApp app(display);
    if (!app.start())
        return;
    std::optional<QPoint> icon;
    spinUntil(
        [&] {
            icon = trayIconCentre(display);
            return icon.has_value();
        },
        10000);
    if (!icon) {
        std::fprintf(stderr, "the tray icon did not appear\n");
        return;
    }
    QThread::sleep(3);
    constexpr char popoverPrefix[] = "Vexilo: Popover presented at ";
    app.app.takeLines(popoverPrefix);
    const auto first = waitForPresented(app.app, popoverPrefix, input.click(*icon));
    if (!first) {
        std::fprintf(stderr, "the popover did not appear after a click on the tray icon\n");
        return;
    }
    report("tray click to the popover's first frame, first time (10,000 clips)", *first, "ms", 200);
    std::vector<double> later;
    for (int i = 0; i < 10; ++i) {
        // Escape reaches the popover once the window manager has given it the keyboard.
        QThread::msleep(300);
        input.pressKeys({XK_Escape});
        QThread::msleep(300);
        QCoreApplication::processEvents();
        const auto shown = waitForPresented(app.app, popoverPrefix, input.click(*icon));
        if (!shown) {
            std::fprintf(stderr, "the popover did not appear after a click (time %d)\n", i + 2);
            return;
        }
        later.push_back(*shown);
    }
    report("tray click to the popover's first frame, later times, median of 10", median(later), "ms", 80);
    info("   slowest of the 10", percentile(later, 100), "ms");
    input.pressKeys({XK_Escape});
    QThread::msleep(300);

    const auto hud = app.show(input);
    if (!hud) {
        std::fprintf(stderr, "the history window did not appear after the hotkey\n");
        return;
    }
    QThread::msleep(500);
    constexpr char preferencesPrefix[] = "Vexilo: Preferences presented at ";
    app.app.takeLines(preferencesPrefix);
    const auto preferences = waitForPresented(app.app, preferencesPrefix, input.pressKeys({XK_Control_L, XK_comma}));
    if (!preferences) {
        std::fprintf(stderr, "the preferences window did not appear after Ctrl+,\n");
        return;
    }
    report("Ctrl+, to the preferences window's first frame, first time", *preferences, "ms", 300);
    QThread::sleep(2);
    report("resident memory, 10,000 clips, after the popover, history and preferences windows were shown",
           residentMegabytes(app.app.pid()), "MB", 110);
    tray.terminate();
    tray.waitForFinished(3000);
}

// The same window drawn by OpenGL (on a display without a GPU: Mesa's software rasteriser), for the
// record of why the application draws with the software scene graph.
void measureHudWithOpenGL(const QProcessEnvironment &display)
{
    HotkeyPresser keys(display.value(QStringLiteral("DISPLAY")).toUtf8());
    QProcessEnvironment extra;
    // Qt 6 names the hardware scene graph "rhi"; OpenGL is its graphics API here.
    extra.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("rhi"));
    extra.insert(QStringLiteral("QSG_RHI_BACKEND"), QStringLiteral("opengl"));
    HudApp hud(display, extra);
    if (!keys.isValid() || !hud.start())
        return;
    QThread::sleep(5);
    const double idle = residentMegabytes(hud.app.pid());
    const auto first = hud.show(keys);
    if (!first) {
        std::fprintf(stderr, "with OpenGL, the history window did not appear after the hotkey\n");
        return;
    }
    QThread::sleep(2);
    info("OpenGL scene graph: resident memory, 10,000 clips, window never shown", idle, "MB");
    info("OpenGL scene graph: resident memory, 10,000 clips, window shown", residentMegabytes(hud.app.pid()), "MB");
    info("OpenGL scene graph: hotkey to first frame, first time", *first, "ms");
}

} // namespace

int main(int argc, char *argv[])
{
    int idleSeconds = 60;
    bool hudOnly = false;
    bool windowsOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--idle-seconds") == 0 && i + 1 < argc)
            idleSeconds = std::max(1, std::atoi(argv[i + 1]));
        hudOnly = hudOnly || qstrcmp(argv[i], "--hud-only") == 0;
        windowsOnly = windowsOnly || qstrcmp(argv[i], "--windows-only") == 0;
    }

    Test::XSession session;
    if (!session.start()) {
        std::fprintf(stderr, "Cannot start a private X session: %s\n", qPrintable(session.errorString()));
        return 1;
    }
    qputenv("DISPLAY", session.display().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");

    QGuiApplication app(argc, argv);
    std::printf("Desktop benchmarks on private display %s\n", qPrintable(session.display()));
    QProcessEnvironment display = session.environment();
    display.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    if (windowsOnly) {
        measureTrayWindows(display);
        return 0;
    }
    if (!hudOnly) {
        measureCapture(session.display().toUtf8());
        measureIdleApplication(display, idleSeconds);
        measureCommandLineAgainstApplication(display);
    }
    measureHud(display);
    measureTrayWindows(display);
    measureHudWithOpenGL(display);
    return 0;
}
