// SPDX-License-Identifier: MIT
// Runs inside a private headless sway (tests/support/with-sway.sh); wl-copy and wl-paste are the
// outside view of the clipboard.
#include "DataControlProtocol.h"
#include "WaylandPasteboard.h"

#include <QBuffer>
#include <QPainter>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>
#include <wayland-client.h>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {

using Protocol = DataControl::Wlr;

// The helper: a data-control source offering each type/value pair of its arguments, which wl-copy
// cannot (it adds its own text types). A value of "@never" is never written.
struct FakeSource
{
    QList<QByteArray> args;
    std::vector<int> heldFds;
    bool cancelled = false;
    wl_seat *seat = nullptr;
    Protocol::Manager *manager = nullptr;
};

int serveSelection(int argc, char **argv)
{
    FakeSource fake;
    for (int i = 2; i < argc; ++i)
        fake.args.append(QByteArray(argv[i]));
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return 2;
    static const wl_registry_listener registryListener = {
        .global =
            [](void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t) {
                auto *f = static_cast<FakeSource *>(data);
                if (!f->seat && std::strcmp(interface, "wl_seat") == 0)
                    f->seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
                else if (std::strcmp(interface, Protocol::managerName) == 0)
                    f->manager = static_cast<Protocol::Manager *>(
                        wl_registry_bind(registry, name, Protocol::managerInterface(), 1));
            },
        .global_remove = [](void *, wl_registry *, uint32_t) {},
    };
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, &fake);
    wl_display_roundtrip(display);
    if (!fake.seat || !fake.manager)
        return 3;
    static const Protocol::SourceListener sourceListener = {
        .send =
            [](void *data, Protocol::Source *, const char *type, int32_t fd) {
                auto *f = static_cast<FakeSource *>(data);
                const qsizetype i = f->args.indexOf(QByteArray(type));
                const QByteArray value = i >= 0 && i % 2 == 0 ? f->args.value(i + 1) : QByteArray();
                if (value == "@never") {
                    f->heldFds.push_back(fd);
                    return;
                }
                if (::write(fd, value.constData(), size_t(value.size())) != value.size())
                    std::perror("write");
                ::close(fd);
            },
        .cancelled = [](void *data, Protocol::Source *) { static_cast<FakeSource *>(data)->cancelled = true; },
    };
    Protocol::Source *source = Protocol::createSource(fake.manager);
    Protocol::addListener(source, &sourceListener, &fake);
    for (qsizetype i = 0; i + 1 < fake.args.size(); i += 2)
        Protocol::offer(source, fake.args[i].constData());
    Protocol::setSelection(Protocol::getDevice(fake.manager, fake.seat), source);
    wl_display_roundtrip(display);
    std::puts("ready");
    std::fflush(stdout);
    while (!fake.cancelled && wl_display_dispatch(display) >= 0) { }
    wl_display_disconnect(display);
    return 0;
}

QImage testImage()
{
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, 32, 32, QColor(200, 30, 40));
    return image;
}

QByteArray pngOf(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace

class TestWaylandPasteboard : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WaylandPasteboard> m_board;
    QStringList m_log;

    // Runs a tool to its end while our event loop keeps serving the clipboard.
    QByteArray run(const QString &program, const QStringList &args, const QByteArray &input = {})
    {
        QProcess process;
        process.start(program, args);
        if (!process.waitForStarted(5000))
            return "<did not start>";
        process.write(input);
        process.closeWriteChannel();
        if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 15000))
            return "<did not finish>";
        return process.readAllStandardOutput();
    }

    bool waitForCount(qint64 count)
    {
        return QTest::qWaitFor([&] { return m_board->changeCount() >= count; }, 5000);
    }

    bool waitForLog(const QString &part)
    {
        return QTest::qWaitFor([&] { return !m_log.filter(part).isEmpty(); }, 5000);
    }

    // The fake source, ended with the scope that started it.
    struct Source : QProcess
    {
        ~Source() override
        {
            kill();
            waitForFinished(5000);
        }
    };

    // Starts the fake source and waits until its selection is set.
    void serve(QProcess &process, const QStringList &pairs)
    {
        process.start(QCoreApplication::applicationFilePath(), QStringList{u"--serve"_s} + pairs);
        QVERIFY(
            QTest::qWaitFor([&] { return process.canReadLine() || process.state() == QProcess::NotRunning; }, 5000));
        QCOMPARE(process.readLine().trimmed(), "ready");
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_board = WaylandPasteboard::create([this](const QString &line) { m_log.append(line); });
        QVERIFY2(m_board, qPrintable(m_log.join(u'\n')));
    }

    void init() { m_log.clear(); }

    void noDisplayGivesNoBackend() { QVERIFY(!WaylandPasteboard::create({}, u"/nonexistent/wayland-9"_s)); }

    void foreignCopiesArriveInOrder()
    {
        const QStringList texts = {u"first"_s, u"zweite Größe ✓"_s, u"third 漢字\nwith a second line"_s};
        for (const QString &text : texts) {
            const qint64 before = m_board->changeCount();
            run(u"wl-copy"_s, {u"--"_s, text});
            QVERIFY(waitForCount(before + 1));
            QCOMPARE(m_board->changeCount(), before + 1);
            QCOMPARE(m_board->string(), text);
            QVERIFY(m_board->types().contains(u"text/plain;charset=utf-8"_s));
            QVERIFY(!m_board->types().contains(u"UTF8_STRING"_s));
        }

        // A burst: whatever is seen is seen in order, and the last copy wins.
        QStringList seen;
        auto connection = connect(m_board.get(), &Pasteboard::changed, this,
                                  [&] { seen.append(m_board->string().value_or(QString())); });
        const QStringList burst = {u"burst 1"_s, u"burst 2"_s, u"burst 3"_s, u"burst 4"_s};
        for (const QString &text : burst)
            run(u"wl-copy"_s, {u"--"_s, text});
        QVERIFY(QTest::qWaitFor([&] { return seen.contains(burst.last()); }, 5000));
        disconnect(connection);
        qsizetype previous = -1;
        for (const QString &text : seen) {
            const qsizetype index = burst.indexOf(text);
            QVERIFY2(index > previous, qPrintable(seen.join(u", ")));
            previous = index;
        }
    }

    void choosesWhatToRead()
    {
        {
            const qint64 before = m_board->changeCount();
            run(u"wl-copy"_s, {u"--type"_s, u"image/png"_s}, pngOf(testImage()));
            QVERIFY(waitForCount(before + 1));
            QCOMPARE(m_board->types(), QStringList{u"image/png"_s});
            QCOMPARE(m_board->string(), std::nullopt);
            const QList<QImage> images = m_board->images();
            QCOMPARE(images.size(), 1);
            QCOMPARE(images.first().size(), QSize(64, 32));
            QCOMPARE(QColor(images.first().pixel(5, 5)), QColor(200, 30, 40));
            QCOMPARE(QColor(images.first().pixel(40, 5)), QColor(Qt::white));
        }
        {
            Source source;
            const qint64 before = m_board->changeCount();
            serve(source, {u"text/plain"_s, u"plain words"_s});
            QVERIFY(waitForCount(before + 1));
            QCOMPARE(m_board->types(), QStringList{u"text/plain"_s});
            QCOMPARE(m_board->string(), u"plain words"_s);
            QVERIFY(m_board->images().isEmpty());
        }
        {
            Source source;
            const qint64 before = m_board->changeCount();
            serve(source,
                  {u"text/uri-list"_s,
                   u"file:///tmp/a%20b\r\n# comment\r\nhttps://example.org/\r\nfile:///etc/hosts\r\n"_s,
                   u"x-special/gnome-copied-files"_s, u"cut\nfile:///tmp/c"_s, u"STRING"_s, u"caf\xe9"_s});
            QVERIFY(waitForCount(before + 1));
            QCOMPARE(m_board->types(), (QStringList{u"text/uri-list"_s, u"x-special/gnome-copied-files"_s}));
            QCOMPARE(m_board->fileUrlPaths(), (QStringList{u"/tmp/a b"_s, u"/etc/hosts"_s}));
            QCOMPARE(m_board->legacyFileNames(), QStringList{u"/tmp/c"_s});
            // The helper passes its arguments on as UTF-8 bytes, so é arrives as two Latin-1 chars.
            QCOMPARE(m_board->string(), QString::fromLatin1(u"café"_s.toUtf8()));
        }
        {
            // A password manager's copy is announced by type; its secret is never read.
            Source source;
            const qint64 before = m_board->changeCount();
            serve(source, {u"text/plain;charset=utf-8"_s, u"hunter2"_s, u"x-kde-passwordManagerHint"_s, u"secret"_s});
            QVERIFY(waitForCount(before + 1));
            QVERIFY(m_board->types().contains(u"x-kde-passwordManagerHint"_s));
            QCOMPARE(m_board->string(), std::nullopt);
        }
    }

    void largePayloads()
    {
        QByteArray text;
        for (int i = 0; text.size() < 4'500'000; ++i)
            text += "line " + QByteArray::number(i) + " äöü\n";
        const qint64 before = m_board->changeCount();
        run(u"wl-copy"_s, {u"--type"_s, u"text/plain;charset=utf-8"_s}, text);
        QVERIFY(waitForCount(before + 1));
        QCOMPARE(m_board->string().value_or(QString()).toUtf8(), text);

        // And the other way: our source serves it without blocking on the pipe.
        text.replace("line", "ours");
        m_board->setString(QString::fromUtf8(text));
        QCOMPARE(run(u"wl-paste"_s, {u"-n"_s}), text);
    }

    void ownWritesAreServedAndCountedOnce()
    {
        QSignalSpy changed(m_board.get(), &Pasteboard::changed);
        const qint64 before = m_board->changeCount();
        m_board->setString(u"own ✓ text"_s);
        QCOMPARE(m_board->changeCount(), before + 1);
        QCOMPARE(run(u"wl-paste"_s, {u"-n"_s}), u"own ✓ text"_s.toUtf8());
        QCOMPARE(run(u"wl-paste"_s, {u"-n"_s, u"--type"_s, u"UTF8_STRING"_s}), u"own ✓ text"_s.toUtf8());
        // wl-paste was answered, so the echo, sent before its request, has been dispatched.
        QCOMPARE(m_board->changeCount(), before + 1);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(m_board->string(), u"own ✓ text"_s);

        m_board->writeImage(testImage());
        const QImage served = QImage::fromData(run(u"wl-paste"_s, {u"--type"_s, u"image/png"_s}));
        QCOMPARE(served.size(), QSize(64, 32));
        QCOMPARE(QColor(served.pixel(5, 5)), QColor(200, 30, 40));

        m_board->writeFileUrls({u"/tmp/x y"_s, u"/etc/hosts"_s});
        QCOMPARE(run(u"wl-paste"_s, {u"-n"_s, u"--type"_s, u"text/uri-list"_s}),
                 "file:///tmp/x%20y\r\nfile:///etc/hosts\r\n");
        QCOMPARE(run(u"wl-paste"_s, {u"--type"_s, u"x-special/gnome-copied-files"_s}),
                 "copy\nfile:///tmp/x%20y\nfile:///etc/hosts");
        QCOMPARE(m_board->fileUrlPaths(), (QStringList{u"/tmp/x y"_s, u"/etc/hosts"_s}));

        m_board->clearContents();
        QVERIFY(m_board->types().isEmpty());
        QCOMPARE(run(u"wl-paste"_s, {u"-n"_s}), QByteArray());
        QCOMPARE(m_board->changeCount(), before + 4);
    }

    void exitedSourceLeavesTheSnapshot()
    {
        QProcess copier;
        const qint64 before = m_board->changeCount();
        copier.start(u"wl-copy"_s, {u"--foreground"_s, u"--"_s, u"lasting"_s});
        QVERIFY(waitForCount(before + 1));
        QCOMPARE(m_board->string(), u"lasting"_s);
        copier.kill();
        QVERIFY(copier.waitForFinished(5000));
        QVERIFY(waitForLog(u"cleared"_s));
        QCOMPARE(m_board->changeCount(), before + 1);
        QCOMPARE(m_board->string(), u"lasting"_s);
    }

    void replacedSourceGivesWay()
    {
        m_board->setString(u"ours"_s);
        const qint64 before = m_board->changeCount();
        run(u"wl-copy"_s, {u"--"_s, u"theirs"_s});
        QVERIFY(waitForCount(before + 1));
        QCOMPARE(m_board->string(), u"theirs"_s);
        QCOMPARE(run(u"wl-paste"_s, {u"-n"_s}), "theirs");
        // A new source works after the cancelled one is gone.
        m_board->setString(u"ours again"_s);
        QCOMPARE(run(u"wl-paste"_s, {u"-n"_s}), "ours again");
    }

    void silentSourceIsGivenUp()
    {
        m_board->setReadTimeout(300);
        Source source;
        const qint64 before = m_board->changeCount();
        serve(source, {u"text/plain"_s, u"@never"_s});
        QVERIFY(waitForLog(u"did not deliver text/plain"_s));
        QCOMPARE(m_board->changeCount(), before);
        m_board->setReadTimeout(2000);

        run(u"wl-copy"_s, {u"--"_s, u"after"_s});
        QVERIFY(waitForCount(before + 1));
        QCOMPARE(m_board->string(), u"after"_s);
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--serve") == 0)
        return serveSelection(argc, argv);
    QCoreApplication app(argc, argv);
    TestWaylandPasteboard test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_waylandpasteboard.moc"
