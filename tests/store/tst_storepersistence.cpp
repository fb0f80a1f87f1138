// SPDX-License-Identifier: MIT
#include "ClipJson.h"
#include "HistoryFile.h"
#include "HistoryJournal.h"
#include "HistoryWriter.h"
#include "StoreFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <sys/resource.h>
#include <unistd.h>

using namespace Vexilo;
using namespace Vexilo::Test;

class TestStorePersistence : public QObject
{
    Q_OBJECT

private:
    static QStringList journalFiles(const StoreFixture &f)
    {
        return QDir(f.storageDirectory()).entryList({QStringLiteral("history.journal.*")}, QDir::Files);
    }

    static QStringList corruptFiles(const StoreFixture &f)
    {
        return QDir(f.storageDirectory()).entryList({QStringLiteral("history.json.corrupt-*")}, QDir::Files);
    }

private Q_SLOTS:
    void firstStartCreatesFoldersAndDefaultSnippets()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        QVERIFY(QDir(f.storageDirectory()).exists());
        QVERIFY(QDir(f.imagesDirectory()).exists());
        QCOMPARE(store.storedItemCount(), 2);
        QCOMPARE(store.snippets().at(0).snippetTitle(), QStringLiteral("Quick Email Reply"));
        QCOMPARE(store.snippets().at(1).snippetTitle(), QStringLiteral("Meeting Notes Template"));
        QCOMPARE(store.snippets().at(0).textContent().size(), 123);
        QCOMPARE(store.snippets().at(1).textContent().size(), 52);
        QCOMPARE(store.snippets().at(1).tags(), (QStringList{QStringLiteral("Notes"), QStringLiteral("Template")}));
        // The seeding save is debounced, then written by the background thread.
        QVERIFY(!QFile::exists(f.historyFile()));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(f.historyFile()), 2000);
        store.writer().waitForIdle();
        QCOMPARE(f.readHistory(), store.items());
    }

    void snippetsAreSeededOnlyWithoutAny()
    {
        StoreFixture f;
        ClipItem mine = f.textClip(QStringLiteral("x"));
        mine.setSnippet(true);
        mine.setType(ClipType::Snippets);
        f.writeHistory({f.textClip(QStringLiteral("a")), mine});
        QCOMPARE(f.open().storedItemCount(), 2);

        // Deleting every snippet brings the two defaults back at the next start, with new ids.
        StoreFixture g;
        ClipboardStore &first = g.open();
        const QUuid oldId = first.snippets().first().id();
        for (const ClipItem &snippet : first.snippets())
            first.deleteItem(snippet, true);
        QCOMPARE(first.snippets().size(), 0);
        ClipboardStore &second = g.open();
        QCOMPARE(second.snippets().size(), 2);
        QVERIFY(second.snippets().first().id() != oldId);
    }

    void legacyFolderIsCopiedOnce()
    {
        StoreFixture f;
        QDir().mkpath(f.legacyDirectory() + QStringLiteral("/images"));
        const ClipItem legacyClip = f.textClip(QStringLiteral("from the old days"));
        QFile history(f.legacyDirectory() + QStringLiteral("/history.json"));
        QVERIFY(history.open(QIODevice::WriteOnly));
        history.write(ClipJson::encodeHistory({legacyClip}));
        history.close();
        QFile image(f.legacyDirectory() + QStringLiteral("/images/A.png"));
        QVERIFY(image.open(QIODevice::WriteOnly));
        image.write("png");
        image.close();

        ClipboardStore &store = f.open();
        QCOMPARE(store.items().first(), legacyClip);
        QVERIFY(QFile::exists(f.imagesDirectory() + QStringLiteral("/A.png")));
        QVERIFY(QFile::exists(f.legacyDirectory() + QStringLiteral("/history.json")));
        QVERIFY(f.logLines().isEmpty());
    }

    void legacyFolderIgnoredWhenHistoryExists()
    {
        StoreFixture f;
        f.writeHistory({f.textClip(QStringLiteral("current"))});
        QDir().mkpath(f.legacyDirectory());
        QFile other(f.legacyDirectory() + QStringLiteral("/extra.txt"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        f.open();
        QVERIFY(!QFile::exists(f.storageDirectory() + QStringLiteral("/extra.txt")));
    }

    void legacyEntryThatExistsIsSkipped()
    {
        StoreFixture f;
        QDir().mkpath(f.legacyDirectory());
        QDir().mkpath(f.storageDirectory());
        for (const QString &name : {QStringLiteral("notes.txt"), QStringLiteral("other.txt")}) {
            QFile file(f.legacyDirectory() + u'/' + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("legacy");
        }
        QFile mine(f.storageDirectory() + QStringLiteral("/notes.txt"));
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("mine");
        mine.close();
        f.open();
        QFile kept(f.storageDirectory() + QStringLiteral("/notes.txt"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("mine"));
        QVERIFY(QFile::exists(f.storageDirectory() + QStringLiteral("/other.txt")));
    }

    void corruptFileIsPreservedAndGoodRecordsKept()
    {
        StoreFixture f;
        const ClipItem good = f.textClip(QStringLiteral("keep me"));
        QByteArray bytes = ClipJson::encodeHistory({good});
        bytes.chop(1);
        bytes += ",{\"id\":\"not-a-uuid\",\"createdAt\":1,\"type\":\"Text\",\"isPinned\":false,\"tags\":[],"
                 "\"isSnippet\":false}]";
        f.writeHistoryBytes(bytes);

        ClipboardStore &store = f.open();
        QVERIFY(store.item(good.id()));
        // Written before anything else: no window in which the history file is missing.
        QVERIFY(f.readHistory().contains(good));
        const QStringList preserved = corruptFiles(f);
        QCOMPARE(preserved.size(), 1);
        QFile kept(f.storageDirectory() + u'/' + preserved.first());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), bytes);
        QCOMPARE(f.logLines().size(), 1);
        QVERIFY(f.logLines().first().startsWith(QStringLiteral("Failed to load clipboard history: ")));
        QVERIFY(f.logLines().first().contains(preserved.first()));
        QVERIFY(f.logLines().first().contains(QStringLiteral("1 records were kept")));
        QVERIFY(f.logLines().first().contains(QStringLiteral("1 records were skipped")));

        // Saving never overwrites the preserved file, and a second bad file gets its own name.
        store.saveHistorySynchronously();
        QVERIFY(f.readHistory().contains(good));
        f.close();
        f.writeHistoryBytes("{broken");
        ClipboardStore &again = f.open();
        QCOMPARE(corruptFiles(f).size(), 2);
        QCOMPARE(again.storedItemCount(), 2); // not an array: nothing kept but the seeded snippets
    }

    // A history that exists but cannot be read is never replaced: nothing is written into its folder,
    // nothing is recorded, and the reason names the file.
    void unreadableHistoryIsLeftAlone()
    {
        StoreFixture f;
        QVERIFY(QDir().mkpath(f.historyFile())); // a folder in its place
        const QStringList before = QDir(f.storageDirectory()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        ClipboardStore &store = f.open();
        QCOMPARE(store.historyProblem(), f.historyFile() + QStringLiteral(": Is a directory"));
        QVERIFY(f.logLines().last().contains(store.historyProblem()));
        QCOMPARE(store.addTextItem(QStringLiteral("secret")).outcome, CaptureOutcome::Unavailable);
        QVERIFY(store.createSnippet(QStringLiteral("t"), QStringLiteral("c"), {}, {}).isNull());
        QCOMPARE(store.storedItemCount(), 0);
        store.saveHistorySynchronously();
        f.close();
        QCOMPARE(QDir(f.storageDirectory()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }

    void noDescriptorsLeftIsNotAnEmptyHistory()
    {
        StoreFixture f;
        f.writeHistory({f.textClip(QStringLiteral("keep me"))});
        rlimit saved = {};
        QCOMPARE(getrlimit(RLIMIT_NOFILE, &saved), 0);
        // Every descriptor up to the limit in use, as in a process that leaks them.
        rlimit tight = saved;
        tight.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &tight), 0);
        std::vector<int> taken;
        for (int fd; (fd = ::dup(0)) >= 0;)
            taken.push_back(fd);
        const HistoryFile::LoadResult loaded = HistoryFile::load(f.historyFile(), [](const QString &) {});
        const std::optional<QString> reason = HistoryFile::unreadableReason(f.historyFile());
        for (int fd : taken)
            ::close(fd);
        QCOMPARE(setrlimit(RLIMIT_NOFILE, &saved), 0);
        QVERIFY(loaded.existed);
        QVERIFY(loaded.items.isEmpty());
        QCOMPARE(loaded.unreadable, f.historyFile() + QStringLiteral(": Too many open files"));
        QCOMPARE(reason, std::optional(loaded.unreadable));
        QCOMPARE(f.readHistory().size(), 1);
    }

    // Killed after changes but before the history file was written again: the journal beside it has
    // them, and a line the kill cut short is left out.
    void changesSurviveACrashBeforeTheNextWrite()
    {
        StoreFixture f;
        const ClipItem old = f.textClip(QStringLiteral("old"), 10);
        const ClipItem gone = f.textClip(QStringLiteral("deleted"), 20);
        f.writeHistory({old, gone});
        f.environment.saveDebounceMs = 60'000; // no write of the file before the "crash"
        ClipboardStore &store = f.open();
        store.addTextItem(QStringLiteral("new"));
        store.togglePin(*store.item(old.id()));
        store.deleteItem(*store.item(gone.id()), false);
        store.journal().waitForIdle();
        // What a crash leaves: the file as it was, and the journal, its last line cut short.
        StoreFixture crashed;
        QDir().mkpath(crashed.storageDirectory());
        QVERIFY(QFile::copy(f.historyFile(), crashed.historyFile()));
        const QStringList files = journalFiles(f);
        QCOMPARE(files.size(), 1);
        QFile journal(f.storageDirectory() + u'/' + files.first());
        QVERIFY(journal.open(QIODevice::ReadOnly));
        QFile copy(crashed.storageDirectory() + u'/' + files.first());
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(journal.readAll() + "{\"add\":{\"id\":");
        copy.close();

        ClipboardStore &restarted = crashed.open();
        QCOMPARE(restarted.items().first().textContent(), QStringLiteral("new"));
        QVERIFY(restarted.item(old.id())->isPinned());
        QVERIFY(!restarted.item(gone.id()));
        QVERIFY(crashed.logLines().last().contains(QStringLiteral("3 changes")));
        // Folded into the file at once, and the journal's old file deleted.
        const QList<ClipItem> saved = crashed.readHistory();
        QCOMPARE(saved.size(), 2);
        QCOMPARE(saved.first().textContent(), QStringLiteral("new"));
        restarted.journal().waitForIdle();
        QVERIFY(journalFiles(crashed).isEmpty());
    }

    void tenQuickCapturesAreOneWrite()
    {
        StoreFixture f;
        f.writeHistory({});
        ClipboardStore &store = f.open();
        store.writer().waitForIdle();
        QTRY_COMPARE_WITH_TIMEOUT(store.writer().writeCount(), 1, 2000); // the seeding save
        for (int i = 0; i < 10; ++i)
            store.addTextItem(QStringLiteral("clip %1").arg(i));
        QTest::qWait(300);
        store.writer().waitForIdle();
        QCOMPARE(store.writer().writeCount(), 2);
        QCOMPARE(f.readHistory().size(), 12);
    }

    void synchronousFlushWritesAtOnce()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        store.addTextItem(QStringLiteral("last words"));
        store.saveHistorySynchronously();
        QCOMPARE(f.readHistory().first().textContent(), QStringLiteral("last words"));
        // Closing within the debounce also keeps the change.
        store.addTextItem(QStringLiteral("even later"));
        f.close();
        QCOMPARE(f.readHistory().first().textContent(), QStringLiteral("even later"));
    }

    void failedSaveIsLogged()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        // A folder where the file should be makes every write fail.
        QFile::remove(f.historyFile());
        QDir().mkpath(f.historyFile());
        store.addTextItem(QStringLiteral("x"));
        store.saveHistorySynchronously();
        QVERIFY(f.logLines().last().startsWith(QStringLiteral("Vexilo: Failed to synchronously flush history: ")));
        QVERIFY(!store.writer().lastError().isEmpty());
        // Every change tries again; the failure is said once until a save succeeds.
        const qsizetype lines = f.logLines().size();
        for (const QString &text : {QStringLiteral("y"), QStringLiteral("z")}) {
            const int before = store.writer().writeCount();
            store.addTextItem(text);
            QTest::qWait(f.environment.saveDebounceMs * 2);
            store.writer().waitForIdle();
            QCOMPARE(store.writer().writeCount(), before);
        }
        QCOMPARE(f.logLines().size(), lines);
        QDir(f.historyFile()).removeRecursively();
        store.addTextItem(QStringLiteral("room again"));
        QTRY_VERIFY_WITH_TIMEOUT(store.writer().lastError().isEmpty(), 2000);
        QCOMPARE(f.logLines().last(), QStringLiteral("Vexilo: Saved clipboard history again"));
        QCOMPARE(f.readHistory().first().textContent(), QStringLiteral("room again"));
    }

    void startupSelection()
    {
        StoreFixture f;
        const ClipItem newest = f.textClip(QStringLiteral("newest"));
        f.writeHistory({newest, f.textClip(QStringLiteral("older"), 10)});
        QCOMPARE(f.open().selectedItem()->id(), newest.id());

        // A snippet at the top is not listed under All, so the first listed clip is selected.
        StoreFixture g;
        ClipItem snippet = g.textClip(QStringLiteral("s"));
        snippet.setSnippet(true);
        snippet.setType(ClipType::Snippets);
        const ClipItem listed = g.textClip(QStringLiteral("listed"), 5);
        g.writeHistory({snippet, listed});
        QCOMPARE(g.open().selectedItem()->id(), listed.id());
    }

    void imageNamesFromDiskMustBeBare_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("usable");
        QTest::newRow("bare") << QStringLiteral("A.png") << true;
        QTest::newRow("parent") << QStringLiteral("../escape.png") << false;
        QTest::newRow("absolute") << QStringLiteral("/etc/passwd") << false;
        QTest::newRow("backslash") << QStringLiteral("..\\x.png") << false;
        QTest::newRow("dot dot") << QStringLiteral("..") << false;
    }

    void imageNamesFromDiskMustBeBare()
    {
        QFETCH(QString, name);
        QFETCH(bool, usable);
        StoreFixture f;
        // A file outside the images folder that a hostile name points at.
        QFile outside(f.storageDirectory() + QStringLiteral("/escape.png"));
        QDir().mkpath(f.imagesDirectory());
        QVERIFY(outside.open(QIODevice::WriteOnly));
        outside.close();
        ClipItem clip(QUuid::createUuid(), f.clock, ClipType::Image);
        clip.setImageFileName(name);
        f.writeHistory({clip});
        ClipboardStore &store = f.open();
        QVERIFY(store.item(clip.id())); // the clip is kept either way
        QCOMPARE(!store.imageURL(name).isEmpty(), usable);
        store.deleteItem(clip, false);
        QVERIFY(QFile::exists(outside.fileName()));
    }

    void ignoredApplications()
    {
        StoreFixture f;
        QCOMPARE(f.open().ignoredAppBundleIds().size(), 13);
        QVERIFY(f.store().ignoredAppBundleIds().contains(QStringLiteral("org.keepassxc.keepassxc")));
        QVERIFY(f.store().ignoredAppBundleIds().contains(QStringLiteral("org.keepassxc.KeePassXC")));
        // Emptying the list persists an empty list; the defaults do not come back.
        f.store().setIgnoredAppBundleIds({});
        QVERIFY(f.open().ignoredAppBundleIds().isEmpty());
        f.store().setIgnoredAppBundleIds({QStringLiteral("a"), QStringLiteral("b")});
        QCOMPARE(f.open().ignoredAppBundleIds(), (QSet<QString>{QStringLiteral("a"), QStringLiteral("b")}));
    }

    void settingsDefaults()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        QCOMPARE(store.maxHistoryLimit(), 0);
        QCOMPARE(store.autoClearDays(), 0);
        QVERIFY(store.playSounds());
        QVERIFY(store.autoPasteOnSelect());
        QVERIFY(store.launchAtLogin());
        QVERIFY(store.autoExtractOCR());
        QCOMPARE(store.maxVisibleTabs(), 5);
        QCOMPARE(store.menuBarPopoverItemCount(), 20);
        QCOMPARE(store.listDensity(), ListDensity::Comfortable);
        QVERIFY(store.snippetExpansionEnabled());
        QCOMPARE(f.settings().stringValue(AppStorageKeys::globalHotkeyOption, {}), QStringLiteral("\u2325 + Space"));
        QVERIFY(!f.settings().boolValue(AppStorageKeys::hasCompletedOnboarding, true));

        QSignalSpy changed(&store, &ClipboardStore::settingsChanged);
        store.setListDensityRaw(QStringLiteral("dense"));
        QCOMPARE(store.listDensity(), ListDensity::Comfortable);
        store.setListDensity(ListDensity::Compact);
        QCOMPARE(store.listDensityRaw(), QStringLiteral("compact"));
        QCOMPARE(changed.size(), 2);
        // Stored values survive, registered defaults are never written.
        store.setMaxHistoryLimit(50);
        QVERIFY(!f.settings().containsStored(AppStorageKeys::autoClearDays));
        QCOMPARE(f.open().maxHistoryLimit(), 50);
    }

    void pausedNeverPersists()
    {
        StoreFixture f;
        f.open().setPaused(true);
        QVERIFY(!f.open().isPaused());
    }

    void searchFocusRequests()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        store.resignSearchFocus();
        QCOMPARE(store.searchResignRequest(), 0);
        store.setSearchFieldFocused(true);
        store.resignSearchFocus();
        QCOMPARE(store.searchResignRequest(), 1);
        QVERIFY(!store.isSearchFieldFocused());
        store.requestSearchFocus();
        store.requestInspectorToggle();
        QCOMPARE(store.searchFocusRequest(), 1);
        QCOMPARE(store.inspectorToggleRequest(), 1);
    }
};

QTEST_GUILESS_MAIN(TestStorePersistence)
#include "tst_storepersistence.moc"
