// SPDX-License-Identifier: MIT
#include "DesktopFiles.h"
#include "QtSoundEffect.h"
#include "XdgAutostartLoginItem.h"

#include <QAudioDevice>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <filesystem>

using namespace Vexilo;

namespace {

bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray application(const QByteArray &name, const QByteArray &extraLines = {})
{
    return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + name.toLower() + "\n" + extraLines;
}

} // namespace

class TestDesktopPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parsesApplicationEntries_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("wmClass");
        QTest::addColumn<QString>("exec");

        // The fields are read from the main group only, with the string escapes undone.
        QTest::newRow("plain") << QByteArray("[Desktop Entry]\nType=Application\nName=Kate\nIcon=kate\n"
                                             "StartupWMClass=kate\nExec=kate -b %U\n")
                               << true << QStringLiteral("Kate") << QStringLiteral("kate") << QStringLiteral("kate")
                               << QStringLiteral("kate -b %U");
        QTest::newRow("comments and spaces around =")
            << QByteArray("# comment\n[Desktop Entry]\n# another\nType = Application\nName = Text Editor \n"
                          "Icon=/opt/editor/icon.png\n")
            << true << QStringLiteral("Text Editor") << QStringLiteral("/opt/editor/icon.png") << QString()
            << QString();
        QTest::newRow("escapes") << QByteArray("[Desktop Entry]\nType=Application\nName=A\\sB\\\\C\nExec=\"/a b/c\"\n")
                                 << true << QStringLiteral("A B\\C") << QString() << QString()
                                 << QStringLiteral("\"/a b/c\"");
        QTest::newRow("action groups do not override")
            << QByteArray("[Desktop Entry]\nType=Application\nName=Main\nExec=main\n"
                          "[Desktop Action new]\nName=New Window\nExec=main --new\n")
            << true << QStringLiteral("Main") << QString() << QString() << QStringLiteral("main");
        QTest::newRow("localised name of another language ignored")
            << QByteArray("[Desktop Entry]\nType=Application\nName[xx]=Other\nName=Main\nIcon[xx]=other\nIcon=main\n")
            << true << QStringLiteral("Main") << QStringLiteral("main") << QString() << QString();

        // Entries that are not launchable applications are left out.
        QTest::newRow("hidden") << application("Gone", "Hidden=true\n") << false << QString() << QString() << QString()
                                << QString();
        QTest::newRow("link") << QByteArray("[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.org\n") << false
                              << QString() << QString() << QString() << QString();
        QTest::newRow("no type") << QByteArray("[Desktop Entry]\nName=Loose\n") << false << QString() << QString()
                                 << QString() << QString();
        QTest::newRow("type outside the main group")
            << QByteArray("[Other Group]\nType=Application\n[Desktop Entry]\nName=X\n") << false << QString()
            << QString() << QString() << QString();
    }

    void parsesApplicationEntries()
    {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("org.example.App.desktop"));
        QVERIFY(writeFile(path, contents));
        const auto entry = DesktopFiles::parse(path);
        QFETCH(bool, accepted);
        QCOMPARE(entry.has_value(), accepted);
        if (!accepted)
            return;
        QCOMPARE(entry->id, QStringLiteral("org.example.App"));
        QCOMPARE(entry->path, path);
        QTEST(entry->name, "name");
        QTEST(entry->icon, "icon");
        QTEST(entry->startupWmClass, "wmClass");
        QTEST(entry->exec, "exec");
    }

    void namePrefersTheUsersLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("name");

        // Country variant before language before the untranslated name, whatever the order in the file.
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << QStringLiteral("Zwischenablage (DE)");
        QTest::newRow("de_AT") << QLocale(QLocale::German, QLocale::Austria) << QStringLiteral("Zwischenablage");
        QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France) << QStringLiteral("Clipboard");
    }

    void namePrefersTheUsersLanguage()
    {
        QFETCH(QLocale, locale);
        const QLocale previous;
        QLocale::setDefault(locale);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("clip.desktop"));
        QVERIFY(writeFile(path,
                          "[Desktop Entry]\nName[de_DE]=Zwischenablage (DE)\nName[de]=Zwischenablage\n"
                          "Name=Clipboard\nType=Application\n"));
        const auto entry = DesktopFiles::parse(path);
        QLocale::setDefault(previous);
        QVERIFY(entry);
        QTEST(entry->name, "name");
    }

    void findsApplications_data()
    {
        QTest::addColumn<QString>("windowClass");
        QTest::addColumn<QString>("instanceName");
        QTest::addColumn<QString>("id");

        // StartupWMClass wins over a desktop-file id, compared without regard to case.
        QTest::newRow("StartupWMClass") << QStringLiteral("kate") << QString() << QStringLiteral("org.kde.kate");
        QTest::newRow("StartupWMClass, other case")
            << QStringLiteral("KATE") << QString() << QStringLiteral("org.kde.kate");
        QTest::newRow("StartupWMClass before a file of that name")
            << QStringLiteral("term") << QString() << QStringLiteral("org.example.Terminal");
        // Without a StartupWMClass, the id itself.
        QTest::newRow("file name") << QStringLiteral("firefox") << QStringLiteral("Navigator")
                                   << QStringLiteral("firefox");
        QTest::newRow("file name, other case") << QStringLiteral("Firefox") << QString() << QStringLiteral("firefox");
        QTest::newRow("instance name when the class matches nothing")
            << QStringLiteral("Unknown") << QStringLiteral("firefox") << QStringLiteral("firefox");
        QTest::newRow("subfolder id") << QStringLiteral("kde4-okular") << QString() << QStringLiteral("kde4-okular");
        // An entry of the user's folder hides the same id elsewhere, even a hidden one.
        QTest::newRow("user copy first") << QStringLiteral("Editor") << QString() << QStringLiteral("editor");
        QTest::newRow("hidden user copy") << QStringLiteral("removed") << QString() << QString();
        QTest::newRow("unknown") << QStringLiteral("xterm") << QStringLiteral("xterm") << QString();
        QTest::newRow("empty") << QString() << QString() << QString();
    }

    void findsApplications()
    {
        QTemporaryDir dir;
        const QString user = dir.filePath(QStringLiteral("user/applications"));
        const QString system = dir.filePath(QStringLiteral("system/applications"));
        QVERIFY(
            writeFile(system + QStringLiteral("/org.kde.kate.desktop"), application("Kate", "StartupWMClass=kate\n")));
        QVERIFY(writeFile(system + QStringLiteral("/firefox.desktop"), application("Firefox")));
        QVERIFY(writeFile(system + QStringLiteral("/term.desktop"), application("Term")));
        QVERIFY(writeFile(system + QStringLiteral("/org.example.Terminal.desktop"),
                          application("Terminal", "StartupWMClass=Term\n")));
        QVERIFY(writeFile(system + QStringLiteral("/kde4/okular.desktop"), application("Okular")));
        QVERIFY(writeFile(system + QStringLiteral("/editor.desktop"), application("System Editor")));
        QVERIFY(writeFile(user + QStringLiteral("/editor.desktop"), application("My Editor")));
        QVERIFY(writeFile(system + QStringLiteral("/removed.desktop"), application("Removed")));
        QVERIFY(writeFile(user + QStringLiteral("/removed.desktop"), application("Removed", "Hidden=true\n")));

        const DesktopFiles files({user, system});
        QFETCH(QString, windowClass);
        QFETCH(QString, instanceName);
        QFETCH(QString, id);
        const auto entry = files.entryForWindowClass(windowClass, instanceName);
        QCOMPARE(entry ? entry->id : QString(), id);
        if (id.isEmpty())
            return;
        // The id leads back to the same file.
        const auto byId = files.entryById(id);
        QVERIFY(byId);
        QCOMPARE(byId->path, entry->path);
        QVERIFY(entry->path.startsWith(id == QLatin1String("editor") ? user : system));
    }

    void seesApplicationsInstalledLater()
    {
        QTemporaryDir dir;
        const DesktopFiles files({dir.path()});
        QVERIFY(!files.entryById(QStringLiteral("late")));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("late.desktop")), application("Late")));
        // A folder's time stamp may not move within its clock's resolution; make sure it does.
        const std::filesystem::path folder = dir.path().toStdString();
        std::filesystem::last_write_time(folder, std::filesystem::last_write_time(folder) + std::chrono::seconds(5));
        const auto entry = files.entryById(QStringLiteral("late"));
        QVERIFY(entry);
        QCOMPARE(entry->name, QStringLiteral("Late"));
    }

    void autostartEntryFollowsEnableAndDisable()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("config/autostart"));
        XdgAutostartLoginItem item(QStringLiteral("/usr/bin/vexilo"), folder);
        QCOMPARE(item.entryPath(), folder + QStringLiteral("/vexilo.desktop"));
        QVERIFY(!item.isEnabled());
        // Disabling what is not there is not an error.
        QCOMPARE(item.disable(), QString());

        QCOMPARE(item.enable(), QString());
        QVERIFY(item.isEnabled());
        const QByteArray contents = readFile(item.entryPath());
        QVERIFY(contents.startsWith("[Desktop Entry]\n"));
        for (const QByteArray &line :
             {QByteArray("Type=Application"), QByteArray("Name=Vexilo"), QByteArray("Exec=/usr/bin/vexilo"),
              QByteArray("X-GNOME-Autostart-enabled=true")})
            QVERIFY2(contents.split('\n').contains(line), line.constData());
        // What was written is an application entry a desktop can start.
        const auto entry = DesktopFiles::parse(item.entryPath());
        QVERIFY(entry);
        QCOMPARE(entry->exec, QStringLiteral("/usr/bin/vexilo"));

        // Enabling twice keeps one entry.
        QCOMPARE(item.enable(), QString());
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("vexilo.desktop")});

        QCOMPARE(item.disable(), QString());
        QVERIFY(!item.isEnabled());
        QVERIFY(!QFile::exists(item.entryPath()));
    }

    void autostartEntrySwitchedOff_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("enabled");

        // Desktops honour two keys that switch an entry off without deleting it.
        QTest::newRow("Hidden=true") << application("Vexilo", "Hidden=true\n") << false;
        QTest::newRow("Hidden=false") << application("Vexilo", "Hidden=false\n") << true;
        QTest::newRow("GNOME switch off") << application("Vexilo", "X-GNOME-Autostart-enabled=false\n") << false;
        QTest::newRow("GNOME switch on") << application("Vexilo", "X-GNOME-Autostart-enabled=true\n") << true;
        QTest::newRow("in another group") << application("Vexilo", "[Desktop Action x]\nHidden=true\n") << true;
    }

    void autostartEntrySwitchedOff()
    {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        XdgAutostartLoginItem item(QStringLiteral("/usr/bin/vexilo"), dir.path());
        QVERIFY(writeFile(item.entryPath(), contents));
        QTEST(item.isEnabled(), "enabled");
    }

    void autostartFolderFollowsXdgConfigHome()
    {
        QTemporaryDir dir;
        const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
        const QString folder = XdgAutostartLoginItem::defaultFolder();
        XdgAutostartLoginItem item(QStringLiteral("/usr/bin/vexilo"));
        const QString error = item.enable();
        if (previous.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", previous);
        QCOMPARE(folder, dir.path() + QStringLiteral("/autostart"));
        QCOMPARE(error, QString());
        QVERIFY(QFile::exists(dir.path() + QStringLiteral("/autostart/vexilo.desktop")));
    }

    void autostartErrorsAreReported()
    {
        QTemporaryDir dir;
        // A file where the folder should be.
        const QString blocked = dir.filePath(QStringLiteral("autostart"));
        QVERIFY(writeFile(blocked, "not a folder"));
        XdgAutostartLoginItem item(QStringLiteral("/usr/bin/vexilo"), blocked);
        const QString error = item.enable();
        QVERIFY(!error.isEmpty());
        QVERIFY2(error.contains(blocked), qPrintable(error));
        QVERIFY(!item.isEnabled());
    }

    void execIsQuoted_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("exec");
        QTest::addColumn<QByteArray>("line");

        // Paths with reserved characters are quoted; inside quotes ", `, $ and \ are escaped, and the file
        // format then doubles every backslash. A literal % is doubled.
        QTest::newRow("plain") << QStringLiteral("/usr/bin/vexilo") << QStringLiteral("/usr/bin/vexilo")
                               << QByteArray("Exec=/usr/bin/vexilo");
        QTest::newRow("space") << QStringLiteral("/opt/My Apps/vexilo") << QStringLiteral("\"/opt/My Apps/vexilo\"")
                               << QByteArray("Exec=\"/opt/My Apps/vexilo\"");
        QTest::newRow("dollar") << QStringLiteral("/opt/a$b/vexilo") << QStringLiteral("\"/opt/a\\$b/vexilo\"")
                                << QByteArray("Exec=\"/opt/a\\\\$b/vexilo\"");
        QTest::newRow("percent") << QStringLiteral("/opt/100%/vexilo") << QStringLiteral("/opt/100%%/vexilo")
                                 << QByteArray("Exec=/opt/100%%/vexilo");
    }

    void execIsQuoted()
    {
        QFETCH(QString, executable);
        QTemporaryDir dir;
        XdgAutostartLoginItem item(executable, dir.path());
        QCOMPARE(item.enable(), QString());
        QFETCH(QByteArray, line);
        QVERIFY2(readFile(item.entryPath()).split('\n').contains(line), readFile(item.entryPath()).constData());
        // Reading the file back undoes the file-format escapes and leaves the command line.
        const auto entry = DesktopFiles::parse(item.entryPath());
        QVERIFY(entry);
        QTEST(entry->exec, "exec");
    }

    void soundsAreSkippedWithoutAudioOutput()
    {
        const SoundEffectLoader loader = qtSoundEffectLoader();
        if (!QMediaDevices::audioOutputs().isEmpty()) {
            QVERIFY(loader(QStringLiteral("Tink")));
            QVERIFY(!loader(QStringLiteral("Glass")));
            return;
        }
        for (const QString &name : {QStringLiteral("Tink"), QStringLiteral("Pop"), QStringLiteral("Bottle")})
            QVERIFY2(!loader(name), qPrintable(name));
    }

    void soundResourcesAreShortMonoWaves_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("Tink") << QStringLiteral("Tink");
        QTest::newRow("Pop") << QStringLiteral("Pop");
        QTest::newRow("Bottle") << QStringLiteral("Bottle");
    }

    void soundResourcesAreShortMonoWaves()
    {
        QFETCH(QString, name);
        const QUrl url = QtSoundEffect::resourceUrl(name);
        QCOMPARE(url.scheme(), QStringLiteral("qrc"));
        const QByteArray wav = readFile(u':' + url.path());
        QVERIFY2(wav.size() > 44, qPrintable(url.toString()));

        // RIFF header, then a PCM "fmt " chunk and the "data" chunk.
        QCOMPARE(wav.left(4), QByteArray("RIFF"));
        QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
        QCOMPARE(wav.mid(8, 4), QByteArray("WAVE"));
        QCOMPARE(wav.mid(12, 4), QByteArray("fmt "));
        const char *format = wav.constData() + 20;
        QCOMPARE(qFromLittleEndian<quint16>(format), quint16(1)); // PCM
        QCOMPARE(qFromLittleEndian<quint16>(format + 2), quint16(1)); // mono
        QCOMPARE(qFromLittleEndian<quint32>(format + 4), quint32(44100));
        QCOMPARE(qFromLittleEndian<quint16>(format + 14), quint16(16));
        const qsizetype dataChunk = 20 + qFromLittleEndian<quint32>(wav.constData() + 16);
        QCOMPARE(wav.mid(dataChunk, 4), QByteArray("data"));
        const quint32 dataSize = qFromLittleEndian<quint32>(wav.constData() + dataChunk + 4);
        QCOMPARE(qsizetype(dataSize), wav.size() - dataChunk - 8);

        // Between 100 and 250 ms long.
        const int samples = int(dataSize / 2);
        QVERIFY2(samples >= 4410 && samples <= 11025, qPrintable(QString::number(samples)));
        const char *pcm = wav.constData() + dataChunk + 8;
        int peak = 0;
        for (int i = 0; i < samples; ++i)
            peak = qMax(peak, qAbs(int(qFromLittleEndian<qint16>(pcm + 2 * i))));
        // Audible, without clipping, and without a click at either end.
        QVERIFY2(peak > 16000 && peak < 32767, qPrintable(QString::number(peak)));
        QVERIFY(qAbs(qFromLittleEndian<qint16>(pcm)) < 500);
        QVERIFY(qAbs(qFromLittleEndian<qint16>(pcm + 2 * (samples - 1))) < 500);
    }

    void unknownSoundsHaveNoResource()
    {
        QVERIFY(QtSoundEffect::resourceUrl(QStringLiteral("Glass")).isEmpty());
        QVERIFY(QtSoundEffect::resourceUrl(QString()).isEmpty());
    }
};

QTEST_MAIN(TestDesktopPlatform)
#include "tst_desktopplatform.moc"
