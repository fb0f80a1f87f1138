// SPDX-License-Identifier: MIT
// What users copy in other applications reaches the history, through the real X clipboard.
#include "AppWorld.h"

#include <QImage>
#include <QSettings>
#include <QTest>
#include <QThread>

using namespace Vexilo;
using namespace Vexilo::Test;

class TestCaptureEndToEnd : public QObject
{
    Q_OBJECT

private:
    AppWorld m_world;

private Q_SLOTS:
    void initTestCase()
    {
        // The test target counts as a password manager in this world.
        QSettings settings(m_world.settingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("ignoredAppBundleIds"), QStringList{QStringLiteral("vexilo-test-target")});
        settings.sync();
        QVERIFY(m_world.startApplication());
    }

    void cleanupTestCase() { QVERIFY(m_world.quitApplication()); }

    void textIsRecorded()
    {
        m_world.copy("Hello from xclip \xc3\xa9");
        const auto clip = m_world.waitForListedClip(AppWorld::textIs(QStringLiteral("Hello from xclip \u00e9")));
        QVERIFY2(clip, qPrintable(m_world.applicationOutput()));
        QCOMPARE(clip->type(), ClipType::Text);
        m_world.copy("https://example.org/path");
        const auto link = m_world.waitForListedClip(AppWorld::textIs(QStringLiteral("https://example.org/path")));
        QVERIFY(link);
        QCOMPARE(link->type(), ClipType::Url);
    }

    void imageIsRecorded()
    {
        QImage image(64, 32, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        const QString path = m_world.rootPath() + QStringLiteral("/copy.png");
        QVERIFY(image.save(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        m_world.copy(file.readAll(), QStringLiteral("image/png"));
        const auto clip =
            m_world.waitForListedClip([](const ClipItem &item) { return item.type() == ClipType::Image; });
        QVERIFY(clip);
        QCOMPARE(clip->imageWidth(), std::optional<int>(64));
        QCOMPARE(clip->imageHeight(), std::optional<int>(32));
        QVERIFY(QFile::exists(m_world.storageDirectory() + QStringLiteral("/images/") + clip->imageFileName()));
    }

    void fileListIsRecorded()
    {
        const QString a = m_world.rootPath() + QStringLiteral("/a file.txt");
        const QString b = m_world.rootPath() + QStringLiteral("/b.txt");
        for (const QString &name : {a, b}) {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        m_world.copy(QUrl::fromLocalFile(a).toEncoded() + "\r\n" + QUrl::fromLocalFile(b).toEncoded() + "\r\n",
                     QStringLiteral("text/uri-list"));
        const auto clip = m_world.waitForListedClip([](const ClipItem &item) { return item.type() == ClipType::File; });
        QVERIFY(clip);
        QCOMPARE(clip->filePaths(), (QStringList{a, b}));
    }

    void passwordsAreNotRecorded()
    {
        QProcess owner;
        owner.setProcessEnvironment(m_world.environment());
        owner.start(QStringLiteral(VEXILO_TEST_TARGET), {QStringLiteral("--offer-secret")});
        QVERIFY(owner.waitForStarted());
        // The secret is on the clipboard once xclip can read it back.
        QVERIFY(QTest::qWaitFor(
            [&] {
                return m_world.session().run(QStringLiteral("xclip"),
                                             {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                              QStringLiteral("-o")}) == "hunter2-secret";
            },
            10000));
        // A marker copied afterwards proves the monitor looked at the secret and went on.
        m_world.copy("after the secret");
        QVERIFY(m_world.waitForListedClip(AppWorld::textIs(QStringLiteral("after the secret"))));
        owner.kill();
        owner.waitForFinished();
        const auto secret = m_world.waitForListedClip(AppWorld::textIs(QStringLiteral("hunter2-secret")), 500);
        QVERIFY(!secret);
    }

    void ignoredApplicationInFront()
    {
        QVERIFY(m_world.startTarget());
        m_world.copy("copied in a password manager");
        m_world.copy("second copy in a password manager");
        QThread::msleep(1000); // well over the monitor's poll
        m_world.stopTarget();
        QVERIFY(!m_world.waitForListedClip(AppWorld::textIs(QStringLiteral("copied in a password manager")), 200));
        QVERIFY(!m_world.waitForListedClip(AppWorld::textIs(QStringLiteral("second copy in a password manager")), 200));
        // With the ignored application gone, copies are recorded again.
        m_world.copy("copied elsewhere");
        QVERIFY(m_world.waitForListedClip(AppWorld::textIs(QStringLiteral("copied elsewhere"))));
    }
};

QTEST_GUILESS_MAIN(TestCaptureEndToEnd)
#include "tst_e2e_capture.moc"
