// SPDX-License-Identifier: MIT
#include "LocalImageServer.h"
#include "StoreFixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {

constexpr int exchangeTimeoutMs = 15000;

QByteArray textResponse(const QByteArray &status, const QByteArray &body)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
        "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray pngResponse(const QByteArray &file)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: " + QByteArray::number(file.size()) +
        "\r\nContent-Disposition: inline; filename=\"vexilo_image.png\"\r\nAccess-Control-Allow-Origin: *\r\n"
        "Connection: close\r\n\r\n" +
        file;
}

// One connection to the server on a loopback address, driven by the event loop so that the server's
// main-thread lookups keep running. A null request sends nothing; `rest` follows a moment later, in
// a segment of its own.
struct Exchange
{
    Exchange(quint16 port, const QByteArray &request, const QHostAddress &host = QHostAddress::LocalHost,
             const QByteArray &rest = {})
    {
        QObject::connect(&socket, &QTcpSocket::connected, &socket, [this, request, rest] {
            connected = true;
            if (!request.isNull())
                socket.write(request);
            if (!rest.isEmpty()) {
                socket.flush();
                QTimer::singleShot(150, &socket, [this, rest] { socket.write(rest); });
            }
        });
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] { received += socket.readAll(); });
        QObject::connect(&socket, &QTcpSocket::disconnected, &socket, [this] { end(); });
        QObject::connect(&socket, &QTcpSocket::errorOccurred, &socket, [this](QAbstractSocket::SocketError e) {
            error = e;
            if (socket.state() == QAbstractSocket::UnconnectedState)
                end();
        });
        socket.connectToHost(host, port);
    }

    void end()
    {
        if (done)
            return;
        received += socket.readAll();
        closedByServer = connected;
        done = true;
    }

    bool wait()
    {
        return QTest::qWaitFor([this] { return done; }, exchangeTimeoutMs);
    }

    QTcpSocket socket;
    bool connected = false;
    bool done = false;
    bool closedByServer = false; // the server ended the connection before the test gave up
    QAbstractSocket::SocketError error = QAbstractSocket::UnknownSocketError;
    QByteArray received;
};

// What the server answers to one request, or nothing.
QByteArray answer(quint16 port, const QByteArray &request, const QHostAddress &host = QHostAddress::LocalHost,
                  const QByteArray &rest = {})
{
    Exchange exchange(port, request, host, rest);
    exchange.wait();
    return exchange.received;
}

QByteArray get(const QString &url)
{
    const QUrl parsed(url);
    return "GET " + parsed.path(QUrl::FullyEncoded).toUtf8() + '?' + parsed.query().toUtf8() +
        " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: test\r\n\r\n";
}

void writeSecret(const QString &path)
{
    QFile secret(path);
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("secret bytes");
}

} // namespace

class TestLocalImageServer : public QObject
{
    Q_OBJECT

    std::unique_ptr<StoreFixture> m_fixture;
    QStringList m_log;
    QUuid m_imageId;
    QUuid m_otherImageId;
    QByteArray m_png;

    [[nodiscard]] ClipboardStore &store() { return m_fixture->store(); }

    [[nodiscard]] std::unique_ptr<LocalImageServer> makeServer(int idleTimeoutMs = 10000, int maxConnections = 32)
    {
        LocalImageServer::Options options = LocalImageServer::optionsFor(store());
        options.port = 0;
        options.log = [this](const QString &line) { m_log.append(line); };
        options.localAddress = [] { return std::optional<QString>(u"192.0.2.10"_s); };
        options.idleTimeoutMs = idleTimeoutMs;
        options.maxConnections = maxConnections;
        return std::make_unique<LocalImageServer>(options);
    }

    [[nodiscard]] QString share(LocalImageServer &server, const QUuid &id)
    {
        return server.shareURL(*store().item(id), u"127.0.0.1"_s);
    }

    [[nodiscard]] QByteArray fileOf(const QUuid &id)
    {
        QFile file(store().imageURL(store().item(id)->imageFileName()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void init()
    {
        m_log.clear();
        m_fixture = std::make_unique<StoreFixture>();
        m_fixture->settings().setValue(u"autoExtractOCR"_s, false);
        m_fixture->open();
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(QColor(10, 120, 200));
        m_imageId = store().addImageItem(image).id;
        image.fill(QColor(200, 20, 20));
        m_otherImageId = store().addImageItem(image).id;
        QVERIFY(!m_imageId.isNull() && !m_otherImageId.isNull());
        m_png = fileOf(m_imageId);
        QVERIFY(m_png.startsWith("\x89PNG"));
    }

    void cleanup() { m_fixture.reset(); }

    void shareURLFormat()
    {
        auto server = makeServer();
        QVERIFY(!server->isRunning());
        const std::optional<QString> url = server->shareURL(*store().item(m_imageId));
        QVERIFY(url);
        QVERIFY(server->isRunning());
        const QRegularExpression form(
            u"^http://192\\.0\\.2\\.10:(\\d+)/image/([0-9A-F-]{36})\\?token=([0-9a-f]{8})$"_s);
        const QRegularExpressionMatch match = form.match(*url);
        QVERIFY2(match.hasMatch(), qPrintable(*url));
        QCOMPARE(match.captured(1).toUInt(), uint(server->listeningPort()));
        QCOMPARE(QUuid::fromString(match.captured(2)), m_imageId);
        QCOMPARE(m_log,
                 QStringList{u"Vexilo: LocalImageServer ready on port "_s + QString::number(server->listeningPort())});
    }

    void noAddressNoServer()
    {
        LocalImageServer::Options options = LocalImageServer::optionsFor(store());
        options.port = 0;
        options.localAddress = [] { return std::optional<QString>(); };
        LocalImageServer server(options);
        QCOMPARE(server.shareURL(*store().item(m_imageId)), std::nullopt);
        QVERIFY(!server.isRunning());
    }
    void statusTable_data()
    {
        QTest::addColumn<QByteArray>("request"); // %ID%, %TOKEN%, %OTHER%, %LOWER%, %ENCODED% are filled in
        QTest::addColumn<QByteArray>("expected"); // "IMAGE": the clip's PNG

        const QByteArray ok = "IMAGE";
        const QByteArray badRequest = textResponse("400 Bad Request", {});
        const QByteArray notFound = textResponse("404 Not Found", "Not Found");
        const QByteArray forbidden = textResponse("403 Forbidden", "Forbidden");

        // Served.
        QTest::newRow("current token") << QByteArray("GET /image/%ID%?token=%TOKEN% HTTP/1.1\r\nHost: x\r\n\r\n") << ok;
        QTest::newRow("lower-case id") << QByteArray("GET /image/%LOWER%?token=%TOKEN% HTTP/1.1\r\n\r\n") << ok;
        QTest::newRow("percent-encoded path")
            << QByteArray("GET /image/%ENCODED%?token=%TOKEN% HTTP/1.1\r\n\r\n") << ok;
        QTest::newRow("token after other items")
            << QByteArray("GET /image/%ID%?a=1&token=%TOKEN%&b HTTP/1.1\r\n\r\n") << ok;
        QTest::newRow("first of two tokens right")
            << QByteArray("GET /image/%ID%?token=%TOKEN%&token=bad HTTP/1.1\r\n\r\n") << ok;
        QTest::newRow("bare line feeds") << QByteArray("GET /image/%ID%?token=%TOKEN% HTTP/1.1\nHost: x\n\n") << ok;
        QTest::newRow("no version") << QByteArray("GET /image/%ID%?token=%TOKEN%\r\n\r\n") << ok;

        // Malformed requests and other methods.
        QTest::newRow("HEAD") << QByteArray("HEAD /image/%ID%?token=%TOKEN% HTTP/1.1\r\n\r\n") << badRequest;
        QTest::newRow("bare GET") << QByteArray("GET\r\n\r\n") << badRequest;
        QTest::newRow("not UTF-8") << QByteArray("GET /image/\xff\xfe HTTP/1.1\r\n\r\n") << badRequest;
        QTest::newRow("broken escape") << QByteArray("GET /image/%zz HTTP/1.1\r\n\r\n") << badRequest;
        QTest::newRow("braces are not URL characters")
            << QByteArray("GET /image/{%ID%}?token=%TOKEN% HTTP/1.1\r\n\r\n") << badRequest;
        QTest::newRow("garbage") << QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03") << badRequest;

        // Paths that are not an image.
        QTest::newRow("root") << QByteArray("GET / HTTP/1.1\r\n\r\n") << notFound;
        QTest::newRow("not a uuid") << QByteArray("GET /image/photo.png?token=%TOKEN% HTTP/1.1\r\n\r\n") << notFound;
        QTest::newRow("trailing segment") << QByteArray("GET /image/%ID%/x?token=%TOKEN% HTTP/1.1\r\n\r\n") << notFound;
        QTest::newRow("empty target") << QByteArray("GET  HTTP/1.1\r\n\r\n") << notFound;

        // Tokens and clips.
        QTest::newRow("no query") << QByteArray("GET /image/%ID% HTTP/1.1\r\n\r\n") << forbidden;
        QTest::newRow("empty token") << QByteArray("GET /image/%ID%?token= HTTP/1.1\r\n\r\n") << forbidden;
        QTest::newRow("wrong token") << QByteArray("GET /image/%ID%?token=00000000 HTTP/1.1\r\n\r\n") << forbidden;
        QTest::newRow("first of two tokens wrong")
            << QByteArray("GET /image/%ID%?token=bad&token=%TOKEN% HTTP/1.1\r\n\r\n") << forbidden;
        QTest::newRow("other name case") << QByteArray("GET /image/%ID%?Token=%TOKEN% HTTP/1.1\r\n\r\n") << forbidden;
        QTest::newRow("other clip, right token")
            << QByteArray("GET /image/%OTHER%?token=%TOKEN% HTTP/1.1\r\n\r\n") << forbidden;
    }

    void statusTable()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, expected);

        auto server = makeServer();
        const QString url = share(*server, m_imageId);
        const QString token = QUrl(url).query().section(u'=', 1);
        const QByteArray id = m_imageId.toString(QUuid::WithoutBraces).toUpper().toUtf8();
        request.replace("%ENCODED%", QByteArray('%' + id.left(1).toHex() + id.mid(1)));
        request.replace("%ID%", id);
        request.replace("%LOWER%", m_imageId.toString(QUuid::WithoutBraces).toLower().toUtf8());
        request.replace("%OTHER%", m_otherImageId.toString(QUuid::WithoutBraces).toUpper().toUtf8());
        request.replace("%TOKEN%", token.toUtf8());

        Exchange exchange(server->listeningPort(), request);
        QVERIFY(exchange.wait());
        QVERIFY(exchange.closedByServer);
        QCOMPARE(exchange.received, expected == "IMAGE" ? pngResponse(m_png) : expected);
    }

    // A head comes in as many segments as the network likes; it is read whole, up to 8 KiB.
    void requestHeadIsReadWhole()
    {
        auto server = makeServer();
        const QByteArray request = get(share(*server, m_imageId));
        const qsizetype split = request.indexOf("HTTP/1.1") - 20;
        QCOMPARE(answer(server->listeningPort(), request.left(split), QHostAddress::LocalHost, request.mid(split)),
                 pngResponse(m_png));
        QCOMPARE(answer(server->listeningPort(), request.chopped(2) + "X: " + QByteArray(9000, 'a') + "\r\n\r\n"),
                 textResponse("400 Bad Request", {}));
    }

    void servedOverIPv6Loopback()
    {
        auto server = makeServer();
        Exchange exchange(server->listeningPort(), get(share(*server, m_imageId)), QHostAddress::LocalHostIPv6);
        exchange.wait();
        if (!exchange.connected)
            QSKIP("no IPv6 loopback here");
        QCOMPARE(exchange.received, pngResponse(m_png));
    }

    void newShareInvalidatesOldURL()
    {
        auto server = makeServer();
        const QString first = share(*server, m_imageId);
        const quint16 port = server->listeningPort();
        QCOMPARE(answer(port, get(first)), pngResponse(m_png));
        const QString second = share(*server, m_imageId);
        QVERIFY(second != first);
        QCOMPARE(answer(port, get(first)), textResponse("403 Forbidden", "Forbidden"));
        QCOMPARE(answer(port, get(second)), pngResponse(m_png));
        // Sharing another clip moves the only valid URL to that clip.
        const QString other = share(*server, m_otherImageId);
        QCOMPARE(answer(port, get(second)), textResponse("403 Forbidden", "Forbidden"));
        QCOMPARE(answer(port, get(other)), pngResponse(fileOf(m_otherImageId)));
    }

    void missingImages_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("clip deleted") << u"deleted"_s;
        QTest::newRow("file removed") << u"removed"_s;
        QTest::newRow("link out of the images folder") << u"symlink"_s;
    }

    void missingImages()
    {
        QFETCH(QString, situation);
        auto server = makeServer();
        const QString url = share(*server, m_imageId);
        const QString path = store().imageURL(store().item(m_imageId)->imageFileName());
        if (situation == u"deleted") {
            store().deleteItem(*store().item(m_imageId), false);
        } else {
            QVERIFY(QFile::remove(path));
            if (situation == u"symlink") {
                writeSecret(m_fixture->rootPath() + u"/outside.png"_s);
                QVERIFY(QFile::link(m_fixture->rootPath() + u"/outside.png"_s, path));
            }
        }
        QCOMPARE(answer(server->listeningPort(), get(url)), textResponse("404 Not Found", "Image not found"));
    }

    // A history file can name any image file; names that leave the images folder are never served.
    void unsafeNamesInHistory_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("parent folder") << u"../outside.png"_s;
        QTest::newRow("absolute path") << u"/ROOT/outside.png"_s;
        QTest::newRow("dot dot") << u".."_s;
    }

    void unsafeNamesInHistory()
    {
        QFETCH(QString, fileName);
        m_fixture = std::make_unique<StoreFixture>();
        QDir().mkpath(m_fixture->imagesDirectory());
        writeSecret(m_fixture->storageDirectory() + u"/outside.png"_s);
        ClipItem clip(QUuid::createUuid(), m_fixture->clock, ClipType::Image);
        clip.setImageFileName(QString(fileName).replace(u"/ROOT"_s, m_fixture->storageDirectory()));
        m_fixture->writeHistory({clip});
        m_fixture->open();
        QVERIFY(store().item(clip.id()));

        auto server = makeServer();
        QCOMPARE(answer(server->listeningPort(), get(share(*server, clip.id()))),
                 textResponse("404 Not Found", "Image not found"));
    }

    void silentConnectionTimesOut()
    {
        auto server = makeServer(300);
        (void)share(*server, m_imageId);
        Exchange silent(server->listeningPort(), QByteArray());
        QVERIFY(silent.wait());
        QVERIFY(silent.closedByServer);
        QVERIFY(silent.received.isEmpty());
    }

    // A peer that stops reading a large image is cut off once the writes stall.
    void stalledReaderTimesOut()
    {
        auto server = makeServer(300);
        const QString url = share(*server, m_imageId);
        QFile big(store().imageURL(store().item(m_imageId)->imageFileName()));
        QVERIFY(big.open(QIODevice::WriteOnly | QIODevice::Truncate));
        big.write(QByteArray(48 * 1024 * 1024, 'x'));
        big.close();

        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        const int small = 4096;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(server->listeningPort());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        QCOMPARE(::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        const QByteArray request = get(url);
        QCOMPARE(::send(fd, request.constData(), size_t(request.size()), 0), ssize_t(request.size()));
        // Never read: the server's writes stall, and the server resets the connection.
        const auto cutOff = [fd] {
            pollfd p{fd, POLLIN, 0};
            return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP));
        };
        QTRY_VERIFY_WITH_TIMEOUT(cutOff(), exchangeTimeoutMs);
        ::close(fd);
        // The server is still there.
        QCOMPARE(answer(server->listeningPort(), "GET / HTTP/1.1\r\n\r\n"), textResponse("404 Not Found", "Not Found"));
    }

    void connectionLimit()
    {
        auto server = makeServer(10000, 4);
        const QByteArray request = get(share(*server, m_imageId));
        const quint16 port = server->listeningPort();
        std::vector<std::unique_ptr<Exchange>> silent;
        for (int i = 0; i < 4; ++i) {
            silent.push_back(std::make_unique<Exchange>(port, QByteArray()));
            QTRY_VERIFY(silent.back()->connected);
        }
        // The fifth is closed at once, without an answer.
        Exchange refused(port, request);
        QVERIFY(refused.wait());
        QVERIFY(refused.closedByServer);
        QVERIFY(refused.received.isEmpty());
        // Once one of the four leaves, there is room again.
        silent.front()->socket.disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(answer(port, request), pngResponse(m_png), exchangeTimeoutMs);
    }

    void manyClientsAtOnce()
    {
        auto server = makeServer();
        const QByteArray request = get(share(*server, m_imageId));
        const QByteArray response = pngResponse(m_png);
        std::vector<std::unique_ptr<Exchange>> clients;
        for (int i = 0; i < 100; ++i)
            clients.push_back(std::make_unique<Exchange>(server->listeningPort(), request));
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(clients.cbegin(), clients.cend(), [](const auto &c) { return c->done; }),
                                 exchangeTimeoutMs);
        int served = 0;
        for (const auto &client : clients) {
            // Either the whole image or nothing: never a partial or mixed answer.
            if (client->received == response)
                ++served;
            else
                QVERIFY2(client->received.isEmpty(), client->received.left(80).constData());
        }
        QVERIFY2(served >= 32, qPrintable(QString::number(served)));
        QCOMPARE(answer(server->listeningPort(), request), response);
    }

    void listenerFailure()
    {
        QTcpServer occupant;
        QVERIFY(occupant.listen(QHostAddress::Any, 0));
        LocalImageServer::Options options = LocalImageServer::optionsFor(store());
        options.port = occupant.serverPort();
        options.log = [this](const QString &line) { m_log.append(line); };
        LocalImageServer server(options);
        const QString url = server.shareURL(*store().item(m_imageId), u"127.0.0.1"_s);
        // The URL is still issued, and the failed listener is kept rather than retried.
        QVERIFY(url.startsWith(u"http://127.0.0.1:"_s + QString::number(occupant.serverPort()) + u'/'));
        QVERIFY(server.isRunning());
        (void)server.shareURL(*store().item(m_imageId), u"127.0.0.1"_s);
        QCOMPARE(m_log.size(), 1);
        QVERIFY2(m_log.first().startsWith(u"Vexilo: LocalImageServer failed: "_s), qPrintable(m_log.first()));
        server.stop();
        QVERIFY(!server.isRunning());
    }
};

QTEST_GUILESS_MAIN(TestLocalImageServer)
#include "tst_localimageserver.moc"
