// SPDX-License-Identifier: MIT
// The application as a native Wayland client on a private headless sway (started around this test by
// with-sway.sh): another client's copy is recorded without any Vexilo window having focus.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestWaylandEndToEnd : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QProcess m_app;

    [[nodiscard]] QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, m_root.path() + u"/config"_s);
        env.insert(u"XDG_DATA_HOME"_s, m_root.path() + u"/data"_s);
        env.insert(u"HOME"_s, m_root.path());
        env.insert(u"QT_QPA_PLATFORM"_s, u"wayland"_s);
        env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, u"disabled:"_s);
        env.remove(u"DISPLAY"_s);
        return env;
    }

    QString vexilo(const QStringList &arguments, int *exitCode = nullptr) const
    {
        QProcess client;
        client.setProcessEnvironment(environment());
        client.start(QStringLiteral(VEXILO_BINARY), arguments);
        client.waitForFinished(10000);
        if (exitCode)
            *exitCode = client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
        return QString::fromUtf8(client.readAllStandardOutput());
    }

    static bool copyWithWlCopy(const QString &text)
    {
        QProcess copy;
        copy.start(u"wl-copy"_s, {text});
        return copy.waitForFinished(5000) && copy.exitCode() == 0;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_app.setProcessEnvironment(environment());
        m_app.setProcessChannelMode(QProcess::MergedChannels);
        m_app.start(QStringLiteral(VEXILO_APP_BINARY));
        QVERIFY(m_app.waitForStarted(5000));
        int code = -1;
        QVERIFY2(QTest::qWaitFor([&] { return vexilo({u"status"_s}, &code), code == 0; }, 15000),
                 m_app.readAll().constData());
    }

    void cleanupTestCase()
    {
        vexilo({u"quit"_s});
        if (!m_app.waitForFinished(10000))
            m_app.kill();
    }

    void copiesAreRecordedWithoutFocus()
    {
        QVERIFY(vexilo({u"status"_s}).contains(u"Clipboard: Wayland data-control"_s));
        for (const QString &text : {u"first copy on Wayland"_s, u"zweite Kopie, grüß dich"_s}) {
            QVERIFY(copyWithWlCopy(text));
            QVERIFY2(QTest::qWaitFor([&] { return vexilo({u"list"_s}).section(u'\n', 0, 0).endsWith(text); }, 10000),
                     qPrintable(vexilo({u"list"_s})));
        }
        QCOMPARE(vexilo({u"list"_s}).count(u'\n'), 2);
    }
};

QTEST_GUILESS_MAIN(TestWaylandEndToEnd)
#include "tst_e2e_wayland.moc"
