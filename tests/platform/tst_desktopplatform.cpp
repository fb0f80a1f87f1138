// SPDX-License-Identifier: MIT
#include "DesktopFiles.h"
#include "QtSoundEffect.h"
#include "XdgAutostartLoginItem.h"

#include <QAudioDevice>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMediaDevices>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <filesystem>

using namespace Vexilo;
using namespace Qt::StringLiterals;

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
        QTest::addColumn<QStringList>("fields"); // name, icon, StartupWMClass, Exec
        const auto accepted = [](const char *name, const QByteArray &contents, const QStringList &fields) {
            QTest::newRow(name) << contents << true << fields;
        };
        const auto rejected = [](const char *name, const QByteArray &contents) {
            QTest::newRow(name) << contents << false << QStringList();
        };

        // The fields are read from the main group only, with the string escapes undone.
        accepted("plain",
                 "[Desktop Entry]\nType=Application\nName=Kate\nIcon=kate\nStartupWMClass=kate\nExec=kate -b %U\n",
                 {u"Kate"_s, u"kate"_s, u"kate"_s, u"kate -b %U"_s});
        accepted(
            "comments and spaces around =",
            "# comment\n[Desktop Entry]\n# another\nType = Application\nName = Text Editor \nIcon=/opt/e/icon.png\n",
            {u"Text Editor"_s, u"/opt/e/icon.png"_s, QString(), QString()});
        accepted("escapes", "[Desktop Entry]\nType=Application\nName=A\\sB\\\\C\nExec=\"/a b/c\"\n",
                 {u"A B\\C"_s, QString(), QString(), u"\"/a b/c\""_s});
        accepted("action groups do not override",
                 "[Desktop Entry]\nType=Application\nName=Main\nExec=main\n[Desktop Action new]\nName=New\nExec=main "
                 "--new\n",
                 {u"Main"_s, QString(), QString(), u"main"_s});
        accepted("localised name of another language ignored",
                 "[Desktop Entry]\nType=Application\nName[xx]=Other\nName=Main\nIcon[xx]=other\nIcon=main\n",
                 {u"Main"_s, u"main"_s, QString(), QString()});
        // Entries that are not launchable applications are left out.
        rejected("hidden", application("Gone", "Hidden=true\n"));
        rejected("link", "[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.org\n");
        rejected("no type", "[Desktop Entry]\nName=Loose\n");
        rejected("type outside the main group", "[Other Group]\nType=Application\n[Desktop Entry]\nName=X\n");
    }

    void parsesApplicationEntries()
    {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"org.example.App.desktop"_s);
        QVERIFY(writeFile(path, contents));
        const auto entry = DesktopFiles::parse(path);
        QFETCH(bool, accepted);
        QCOMPARE(entry.has_value(), accepted);
        if (!accepted)
            return;
        QCOMPARE(entry->id, u"org.example.App"_s);
        QCOMPARE(entry->path, path);
        QTEST((QStringList{entry->name, entry->icon, entry->startupWmClass, entry->exec}), "fields");
    }

    // Country variant before language before the untranslated name, whatever the order in the file.
    void namePrefersTheUsersLanguage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"clip.desktop"_s);
        QVERIFY(writeFile(path,
                          "[Desktop Entry]\nName[de_DE]=Zwischenablage (DE)\nName[de]=Zwischenablage\n"
                          "Name=Clipboard\nType=Application\n"));
        const QLocale previous;
        const auto restore = qScopeGuard([&] { QLocale::setDefault(previous); });
        for (const auto &[locale, name] :
             {std::pair(QLocale(QLocale::German, QLocale::Germany), u"Zwischenablage (DE)"_s),
              std::pair(QLocale(QLocale::German, QLocale::Austria), u"Zwischenablage"_s),
              std::pair(QLocale(QLocale::French, QLocale::France), u"Clipboard"_s)}) {
            QLocale::setDefault(locale);
            const auto entry = DesktopFiles::parse(path);
            QVERIFY(entry);
            QCOMPARE(entry->name, name);
        }
    }

    void findsApplications_data()
    {
        QTest::addColumn<QString>("windowClass");
        QTest::addColumn<QString>("instanceName");
        QTest::addColumn<QString>("id");

        // StartupWMClass wins over a desktop-file id, compared without regard to case.
        QTest::newRow("StartupWMClass, other case") << u"KATE"_s << QString() << u"org.kde.kate"_s;
        QTest::newRow("StartupWMClass before a file of that name")
            << u"term"_s << QString() << u"org.example.Terminal"_s;
        // Without a StartupWMClass, the id itself.
        QTest::newRow("file name") << u"firefox"_s << u"Navigator"_s << u"firefox"_s;
        QTest::newRow("file name, other case") << u"Firefox"_s << QString() << u"firefox"_s;
        QTest::newRow("instance name when the class matches nothing") << u"Unknown"_s << u"firefox"_s << u"firefox"_s;
        QTest::newRow("subfolder id") << u"kde4-okular"_s << QString() << u"kde4-okular"_s;
        // An entry of the user's folder hides the same id elsewhere, even a hidden one.
        QTest::newRow("user copy first") << u"Editor"_s << QString() << u"editor"_s;
        QTest::newRow("hidden user copy") << u"removed"_s << QString() << QString();
        QTest::newRow("unknown") << u"xterm"_s << u"xterm"_s << QString();
        QTest::newRow("empty") << QString() << QString() << QString();
    }

    void findsApplications()
    {
        QTemporaryDir dir;
        const QString user = dir.filePath(u"user/applications"_s);
        const QString system = dir.filePath(u"system/applications"_s);
        QVERIFY(writeFile(system + u"/org.kde.kate.desktop"_s, application("Kate", "StartupWMClass=kate\n")));
        QVERIFY(writeFile(system + u"/firefox.desktop"_s, application("Firefox")));
        QVERIFY(writeFile(system + u"/term.desktop"_s, application("Term")));
        QVERIFY(
            writeFile(system + u"/org.example.Terminal.desktop"_s, application("Terminal", "StartupWMClass=Term\n")));
        QVERIFY(writeFile(system + u"/kde4/okular.desktop"_s, application("Okular")));
        QVERIFY(writeFile(system + u"/editor.desktop"_s, application("System Editor")));
        QVERIFY(writeFile(user + u"/editor.desktop"_s, application("My Editor")));
        QVERIFY(writeFile(system + u"/removed.desktop"_s, application("Removed")));
        QVERIFY(writeFile(user + u"/removed.desktop"_s, application("Removed", "Hidden=true\n")));

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
        QVERIFY(!files.entryById(u"late"_s));
        QVERIFY(writeFile(dir.filePath(u"late.desktop"_s), application("Late")));
        // A folder's time stamp may not move within its clock's resolution; make sure it does.
        const std::filesystem::path folder = dir.path().toStdString();
        std::filesystem::last_write_time(folder, std::filesystem::last_write_time(folder) + std::chrono::seconds(5));
        const auto entry = files.entryById(u"late"_s);
        QVERIFY(entry);
        QCOMPARE(entry->name, u"Late"_s);
    }

    void autostartEntryFollowsEnableAndDisable()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"config/autostart"_s);
        XdgAutostartLoginItem item(u"/usr/bin/vexilo"_s, folder);
        QCOMPARE(item.entryPath(), folder + u"/app.vexilo.Vexilo.desktop"_s);
        QVERIFY(!item.isEnabled());
        // Disabling what is not there is not an error.
        QCOMPARE(item.disable(), QString());

        QCOMPARE(item.enable(), QString());
        QVERIFY(item.isEnabled());
        const QByteArray contents = readFile(item.entryPath());
        QVERIFY(contents.startsWith("[Desktop Entry]\n"));
        for (const QByteArray &line :
             {QByteArray("Type=Application"), QByteArray("Name=Vexilo"), QByteArray("Exec=/usr/bin/vexilo"),
              QByteArray("Icon=app.vexilo.Vexilo"), QByteArray("X-GNOME-Autostart-enabled=true")})
            QVERIFY2(contents.split('\n').contains(line), line.constData());
        // Enabling twice keeps one entry.
        QCOMPARE(item.enable(), QString());
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{u"app.vexilo.Vexilo.desktop"_s});

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
        XdgAutostartLoginItem item(u"/usr/bin/vexilo"_s, dir.path());
        QVERIFY(writeFile(item.entryPath(), contents));
        QTEST(item.isEnabled(), "enabled");
    }

    void autostartFolderFollowsXdgConfigHome()
    {
        QTemporaryDir dir;
        const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
        const QString folder = XdgAutostartLoginItem::defaultFolder();
        XdgAutostartLoginItem item(u"/usr/bin/vexilo"_s);
        const QString error = item.enable();
        if (previous.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", previous);
        QCOMPARE(folder, dir.path() + u"/autostart"_s);
        QCOMPARE(error, QString());
        QVERIFY(QFile::exists(dir.path() + u"/autostart/app.vexilo.Vexilo.desktop"_s));
    }

    // An entry of the old name that this program wrote gives way to the new one, whichever way the
    // setting goes, so that login never starts two; somebody else's entry of that name stays.
    void autostartEntryOfTheOldNameIsTakenOver()
    {
        QTemporaryDir dir;
        XdgAutostartLoginItem item(u"/usr/bin/vexilo"_s, dir.path());
        const QByteArray ours = "[Desktop Entry]\nType=Application\nName=Vexilo\nExec=/home/me/build/src/vexilo\n";
        QVERIFY(writeFile(item.legacyEntryPath(), ours));
        QVERIFY(item.isEnabled());
        QVERIFY(!item.isUpToDate());
        QCOMPARE(item.enable(), QString());
        QVERIFY(!QFile::exists(item.legacyEntryPath()));
        QVERIFY(item.isEnabled());
        QVERIFY(item.isUpToDate());

        QVERIFY(writeFile(item.legacyEntryPath(), ours));
        QCOMPARE(item.disable(), QString());
        QVERIFY(!QFile::exists(item.legacyEntryPath()));
        QVERIFY(!QFile::exists(item.entryPath()));
        QVERIFY(!item.isEnabled());

        const QByteArray theirs = "[Desktop Entry]\nType=Application\nName=Vexilo\nExec=xterm -e vexilo list\n";
        QVERIFY(writeFile(item.legacyEntryPath(), theirs));
        QVERIFY(!item.isEnabled());
        QVERIFY(item.isUpToDate());
        QCOMPARE(item.enable(), QString());
        QCOMPARE(item.disable(), QString());
        QCOMPARE(readFile(item.legacyEntryPath()), theirs);
    }

    // The entry starts the program that wrote it; a build folder's copy does not take it over from an
    // installed program (one whose prefix holds the desktop entry), but the installed one does.
    void autostartEntryFollowsTheInstalledProgram()
    {
        QTemporaryDir dir;
        const QString prefix = dir.filePath(u"usr"_s);
        QVERIFY(writeFile(prefix + u"/share/applications/app.vexilo.Vexilo.desktop"_s, application("Vexilo")));
        const QString installed = prefix + u"/bin/vexilo"_s;
        QVERIFY(writeFile(installed, "#!/bin/sh\n"));
        QVERIFY(QFile::setPermissions(installed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString built = dir.filePath(u"src/build/release/src/vexilo"_s);
        QVERIFY(XdgAutostartLoginItem::isInstalled(installed));
        QVERIFY(!XdgAutostartLoginItem::isInstalled(built));

        const QString folder = dir.filePath(u"autostart"_s);
        XdgAutostartLoginItem fromBuild(built, folder);
        XdgAutostartLoginItem fromPrefix(installed, folder);
        QCOMPARE(fromBuild.enable(), QString());
        QVERIFY(fromBuild.isUpToDate());
        QVERIFY(!fromPrefix.isUpToDate());
        QCOMPARE(fromPrefix.enable(), QString());
        QVERIFY(readFile(fromPrefix.entryPath()).split('\n').contains(QByteArray("Exec=") + installed.toUtf8()));
        QVERIFY(fromBuild.isUpToDate());
        // Once the installed program is gone, the build folder's copy takes the entry back.
        QVERIFY(QFile::remove(installed));
        QVERIFY(!fromBuild.isUpToDate());
    }

    void autostartErrorsAreReported()
    {
        QTemporaryDir dir;
        // A file where the folder should be.
        const QString blocked = dir.filePath(u"autostart"_s);
        QVERIFY(writeFile(blocked, "not a folder"));
        XdgAutostartLoginItem item(u"/usr/bin/vexilo"_s, blocked);
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
        QTest::newRow("plain") << u"/usr/bin/vexilo"_s << u"/usr/bin/vexilo"_s << QByteArray("Exec=/usr/bin/vexilo");
        QTest::newRow("space") << u"/opt/My Apps/vexilo"_s << u"\"/opt/My Apps/vexilo\""_s
                               << QByteArray("Exec=\"/opt/My Apps/vexilo\"");
        QTest::newRow("dollar") << u"/opt/a$b/vexilo"_s << u"\"/opt/a\\$b/vexilo\""_s
                                << QByteArray("Exec=\"/opt/a\\\\$b/vexilo\"");
        QTest::newRow("percent") << u"/opt/100%/vexilo"_s << u"/opt/100%%/vexilo"_s
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
        // ... and the program it starts is this one: the entry is up to date.
        QCOMPARE(XdgAutostartLoginItem::programOf(entry->exec), executable);
        QVERIFY(item.isUpToDate());
    }

    void soundsAreSkippedWithoutAudioOutput()
    {
        const SoundEffectLoader loader = qtSoundEffectLoader();
        if (!QMediaDevices::audioOutputs().isEmpty()) {
            QVERIFY(loader(u"Tink"_s));
            QVERIFY(!loader(u"Glass"_s));
            return;
        }
        for (const QString &name : {u"Tink"_s, u"Pop"_s, u"Bottle"_s})
            QVERIFY2(!loader(name), qPrintable(name));
    }

    // The sounds ship inside the binary as PCM waves, which every audio backend plays.
    void soundResourcesArePcmWaves()
    {
        for (const QString &name : {u"Tink"_s, u"Pop"_s, u"Bottle"_s}) {
            const QUrl url = QtSoundEffect::resourceUrl(name);
            QCOMPARE(url.scheme(), u"qrc"_s);
            const QByteArray wav = readFile(u':' + url.path());
            QVERIFY2(wav.size() > 44, qPrintable(url.toString()));
            QCOMPARE(wav.left(4), QByteArray("RIFF"));
            QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), quint32(wav.size() - 8));
            QCOMPARE(wav.mid(8, 8), QByteArray("WAVEfmt "));
            QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 20), quint16(1));
        }
        QVERIFY(QtSoundEffect::resourceUrl(u"Glass"_s).isEmpty());
        QVERIFY(QtSoundEffect::resourceUrl(QString()).isEmpty());
    }
};

QTEST_MAIN(TestDesktopPlatform)
#include "tst_desktopplatform.moc"
