// SPDX-License-Identifier: MIT
// Recognition, QR codes, sharing and the update check, through the running application.
#include "AppWorld.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPainter>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

namespace {
QImage textImage(const QStringList &lines)
{
    QImage image(900, 60 + 60 * int(lines.size()), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(32);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(30, 70 + 60 * i, lines.at(i));
    return image;
}
} // namespace

class TestServicesEndToEnd : public QObject
{
    Q_OBJECT

private:
    AppWorld m_world;
    QTcpServer m_manifestServer;
    QByteArray m_manifest;

    QString addImage(const QStringList &lines)
    {
        const QString path = m_world.rootPath() + QStringLiteral("/text.png");
        textImage(lines).save(path);
        return m_world.vexilo({QStringLiteral("add-image"), path}).out.trimmed();
    }

private Q_SLOTS:
    void initTestCase()
    {
        // A manifest server on this machine only.
        QVERIFY(m_manifestServer.listen(QHostAddress::LocalHost));
        connect(&m_manifestServer, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = m_manifestServer.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (!socket->readAll().contains("\r\n\r\n"))
                    return;
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                              QByteArray::number(m_manifest.size()) + "\r\nConnection: close\r\n\r\n" + m_manifest);
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        });
        m_world.setEnvironmentVariable(
            QStringLiteral("VEXILO_UPDATE_MANIFEST_URL"),
            QStringLiteral("http://127.0.0.1:%1/update.json").arg(m_manifestServer.serverPort()));
        QVERIFY(m_world.startApplication());
    }

    void cleanupTestCase() { QVERIFY(m_world.quitApplication()); }

    void copiedImagesAreRecognised()
    {
        // New images are recognised on their own and their text becomes searchable.
        const QString id = addImage({QStringLiteral("Invoice number 4711"), QStringLiteral("Total due today")});
        QVERIFY(!id.isEmpty());
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         return m_world
                             .vexilo(
                                 {QStringLiteral("list"), QStringLiteral("--search"), QStringLiteral("invoice number")})
                             .out.contains(id.left(8));
                     },
                     30000),
                 qPrintable(m_world.applicationOutput()));
        // And on request, printing the text.
        const AppWorld::Result ocr = m_world.vexilo({QStringLiteral("ocr"), id});
        QCOMPARE(ocr.exitCode, 0);
        QCOMPARE(ocr.out, QStringLiteral("Invoice number 4711\nTotal due today\n"));
        QCOMPARE(m_world
                     .vexilo({QStringLiteral("ocr"),
                              m_world.vexilo({QStringLiteral("add"), QStringLiteral("not an image")}).out.trimmed()})
                     .exitCode,
                 2);
    }

    void qrCodes()
    {
        const QString id =
            m_world.vexilo({QStringLiteral("add"), QStringLiteral("https://example.org/qr")}).out.trimmed();
        const QString png = m_world.rootPath() + QStringLiteral("/code.png");
        const AppWorld::Result result = m_world.vexilo(
            {QStringLiteral("qr"), id, QStringLiteral("--png"), png, QStringLiteral("--size"), QStringLiteral("200")});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QStringLiteral("https://example.org/qr\n"));
        const QImage code(png);
        QCOMPARE(code.size(), QSize(200, 200));
        // The code reads back as what it carries.
        int exitCode = -1;
        const QByteArray decoded = m_world.session().run(
            QStringLiteral("zbarimg"), {QStringLiteral("-q"), QStringLiteral("--raw"), QStringLiteral("-Sbinary"), png},
            {}, 20000, &exitCode);
        QCOMPARE(decoded.split('\n').first(), QByteArray("https://example.org/qr"));
    }

    void sharingAnImage()
    {
        const QString id = addImage({QStringLiteral("Shared picture")});
        const AppWorld::Result shared = m_world.vexilo({QStringLiteral("share"), id});
        if (shared.exitCode == 3 && shared.err.contains(QStringLiteral("network address")))
            QSKIP("this machine has no network address a phone could reach");
        QCOMPARE(shared.exitCode, 0);
        QUrl url(shared.out.trimmed());
        QVERIFY(url.isValid());
        QCOMPARE(url.port(), 9876);
        // Fetched over loopback only.
        url.setHost(QStringLiteral("127.0.0.1"));
        QNetworkAccessManager network;
        auto fetch = [&network](const QUrl &address) {
            QNetworkReply *reply = network.get(QNetworkRequest(address));
            [[maybe_unused]] const bool finished = QTest::qWaitFor([reply] { return reply->isFinished(); }, 15000);
            reply->deleteLater();
            return std::make_pair(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll());
        };
        const auto [status, body] = fetch(url);
        QCOMPARE(status, 200);
        QVERIFY(QImage::fromData(body, "PNG").size() == textImage({QStringLiteral("Shared picture")}).size());
        QCOMPARE(m_world.vexilo({QStringLiteral("unshare")}).exitCode, 0);
        const auto [after, nothing] = fetch(url);
        QCOMPARE(after, 0); // nothing listens any more
        Q_UNUSED(nothing);
        QCOMPARE(m_world
                     .vexilo({QStringLiteral("share"),
                              m_world.vexilo({QStringLiteral("add"), QStringLiteral("text clip")}).out.trimmed()})
                     .exitCode,
                 2);
    }

    void updateCheck_data()
    {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<QString>("expected");
        QTest::newRow("newer build")
            << QByteArray("{\"version\":\"99.0.0\",\"build\":99999,\"downloadURL\":\"https://example.org/get\"}")
            << QStringLiteral("Update Available\nVexilo 99.0.0 is available.");
        QTest::newRow("same build")
            << QByteArray("{\"version\":\"0.1.0\",\"build\":1,\"downloadURL\":\"https://example.org/get\"}")
            << QStringLiteral("You're Up to Date\n");
        QTest::newRow("malformed") << QByteArray("{\"version\":1}") << QStringLiteral("Could Not Check for Updates\n");
    }

    void updateCheck()
    {
        QFETCH(QByteArray, manifest);
        QFETCH(QString, expected);
        m_manifest = manifest;
        const AppWorld::Result result = m_world.vexilo({QStringLiteral("check-update")});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.startsWith(expected), qPrintable(result.out));
    }
};

int main(int argc, char *argv[])
{
    // Drawing the test images needs fonts, hence a GUI application; this process shows nothing.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TestServicesEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_e2e_services.moc"
