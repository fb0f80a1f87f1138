// SPDX-License-Identifier: MIT
#include "HistoryWriter.h"
#include "StoreFixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

class TestStoreEditing : public QObject
{
    Q_OBJECT

private:
    static QUuid addImage(ClipboardStore &store)
    {
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::yellow);
        return store.addImageItem(img).id;
    }
    static int pinSounds(StoreFixture &f) { return int(f.sounds().count(u"Pin"_s)); }

private Q_SLOTS:
    void pinningFlipsInPlaceAndRefreshesSelection()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        store.addTextItem(u"older"_s);
        f.clock += 10;
        store.addTextItem(u"newer"_s);
        const ClipItem older = store.items().at(1);
        store.setSelectedItem(older);
        store.togglePin(older);
        QVERIFY(store.items().at(1).isPinned()); // same index
        QCOMPARE(store.filteredItems().first().id(), older.id()); // listed first
        QVERIFY(store.selectedItem()->isPinned());
        QCOMPARE(store.pinnedClipCount(), 1);
        QCOMPARE(pinSounds(f), 1);
        store.togglePin(*store.item(older.id()));
        QVERIFY(!store.item(older.id())->isPinned());
        // The sound plays even for a clip that is gone.
        store.togglePin(f.textClip(u"ghost"_s));
        QCOMPARE(pinSounds(f), 3);
    }

    void tagsAreNormalisedAndCaseSensitive()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        store.addTextItem(u"x"_s);
        const ClipItem clip = store.items().first();
        store.setSelectedItem(clip);
        store.addTag(u"#Work "_s, clip);
        store.addTag(u"work"_s, clip);
        store.addTag(u"Work"_s, clip);
        store.addTag(u" # #"_s, clip);
        QCOMPARE(store.item(clip.id())->tags(), (QStringList{u"Work"_s, u"work"_s}));
        QCOMPARE(store.selectedItem()->tags().size(), 2);
        QCOMPARE(store.tagCount(u"Work"_s), 2); // one default snippet carries Work too
        store.removeTag(u"Work"_s, clip);
        QCOMPARE(store.item(clip.id())->tags(), QStringList{u"work"_s});
    }

    void deleteAndUndoRestoresAtTheTop()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        const QUuid imageId = addImage(store);
        f.clock += 5;
        store.addTextItem(u"newer"_s);
        store.addTag(u"keep"_s, *store.item(imageId));
        store.togglePin(*store.item(imageId));
        const ClipItem before = *store.item(imageId);
        store.deleteItem(before, true);
        QVERIFY(!store.item(imageId));
        QCOMPARE(store.undoDeleteItem()->id(), imageId);
        QCOMPARE(f.imageFiles().size(), 1); // kept while undoable
        store.saveHistorySynchronously();
        QVERIFY(!f.readHistory().contains(before)); // saved without it

        store.undoLastDelete();
        QCOMPARE(store.items().first(), before); // same date, pin and tags
        QCOMPARE(store.selectedItem()->id(), imageId);
        QVERIFY(!store.undoDeleteItem());
        QVERIFY(!store.loadImage(before.imageFileName()).isNull());
        // The window has closed: nothing is deleted later.
        f.clock += 6;
        QCOMPARE(f.imageFiles().size(), 1);
    }

    void undoWindowExpires()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        const QUuid id = addImage(store);
        QSignalSpy undoChanged(&store, &ClipboardStore::undoDeleteItemChanged);
        store.deleteItem(*store.item(id), true);
        f.clock += 4.9;
        QCOMPARE(f.imageFiles().size(), 1);
        f.clock += 0.1;
        QVERIFY(!store.undoDeleteItem());
        QVERIFY(f.imageFiles().isEmpty());
        store.undoLastDelete();
        QVERIFY(!store.item(id));
        QCOMPARE(undoChanged.size(), 2);
    }

    void secondDeleteCommitsTheFirst()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        const QUuid a = addImage(store);
        const QUuid b = addImage(store);
        store.deleteItem(*store.item(a), true);
        f.clock += 3;
        const QString bFile = store.item(b)->imageFileName();
        store.deleteItem(*store.item(b), true);
        QCOMPARE(f.imageFiles(), QStringList{bFile}); // A's file is gone at once
        // B keeps its full window from its own deletion.
        f.clock += 4;
        QCOMPARE(store.undoDeleteItem()->id(), b);
        store.undoLastDelete();
        QVERIFY(store.item(b));
        QVERIFY(!store.item(a));
    }

    // Texts read from the file share one block of memory: a deleted clip's text is wiped there once
    // the deletion is final, and once most of the block is free the clips left move out of it.
    void deletedTextIsWipedAndTheBlockLetGo()
    {
        StoreFixture f;
        QList<ClipItem> history{f.textClip(u"password-1234"_s, 1), f.textClip(u"kept"_s, 2)};
        for (int i = 0; i < 50; ++i)
            history.append(f.textClip(u"filler %1"_s.arg(i), 10 + i));
        f.writeHistory(history);
        ClipboardStore &store = f.open();
        const QUuid secret = history.at(0).id();
        const QUuid kept = history.at(1).id();
        const char *secretBytes = store.item(secret)->textContentUtf8().data();
        const char *keptBytes = store.item(kept)->textContentUtf8().data();

        store.deleteItem(*store.item(secret), true);
        QCOMPARE(QByteArrayView(secretBytes, 13), QByteArrayView("password-1234")); // still undoable
        f.clock += 6;
        store.saveHistorySynchronously();
        QVERIFY(std::all_of(secretBytes, secretBytes + 13, [](char c) { return c == 0; }));

        store.togglePin(*store.item(kept));
        store.clearHistory(true);
        QTRY_VERIFY_WITH_TIMEOUT(store.item(kept)->textContentUtf8().data() != keptBytes, 2000);
        QCOMPARE(store.item(kept)->textContent(), u"kept"_s);
        QCOMPARE(store.selectedItem()->textContentUtf8().data(), store.item(kept)->textContentUtf8().data());
    }

    void immediateDeletesAndSnippets()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        const QUuid id = addImage(store);
        store.deleteItem(*store.item(id), false);
        QVERIFY(f.imageFiles().isEmpty());
        QVERIFY(!store.undoDeleteItem());
        // Snippets are never undoable.
        store.deleteItem(store.snippets().first(), true);
        QVERIFY(!store.undoDeleteItem());
        QCOMPARE(store.snippets().size(), 1);
        QCOMPARE(f.sounds().count(u"Delete"_s), 2);
    }

    void deletingMovesTheSelection()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        for (int i = 0; i < 3; ++i) {
            f.clock += 1;
            store.addTextItem(u"clip %1"_s.arg(i));
        }
        const ClipItem top = store.filteredItems().at(0);
        const ClipItem middle = store.filteredItems().at(1);
        store.setSelectedItem(middle);
        store.deleteItem(top, true);
        QCOMPARE(store.selectedItem()->id(), middle.id()); // another selection stays
        store.deleteItem(middle, true);
        QCOMPARE(store.selectedItem()->id(), store.filteredItems().first().id());
        store.deleteItem(store.filteredItems().first(), true);
        QVERIFY(store.filteredItems().isEmpty());
        QVERIFY(!store.selectedItem());
    }

    void clearing_data()
    {
        QTest::addColumn<bool>("preservePinned");
        QTest::newRow("unpinned") << true;
        QTest::newRow("all") << false;
    }

    void clearing()
    {
        QFETCH(bool, preservePinned);
        StoreFixture f;
        ClipboardStore &store = f.open();
        const QUuid pinnedImage = addImage(store);
        store.togglePin(*store.item(pinnedImage));
        addImage(store);
        store.addTextItem(u"plain"_s);
        const QUuid undoable = addImage(store);
        store.deleteItem(*store.item(undoable), true);
        QCOMPARE(f.imageFiles().size(), 3);

        store.clearHistory(preservePinned);
        QVERIFY(!store.undoDeleteItem()); // the pending deletion became final
        QCOMPARE(store.snippets().size(), 2);
        QCOMPARE(bool(store.item(pinnedImage)), preservePinned);
        QCOMPARE(f.imageFiles().size(), preservePinned ? 1 : 0);
        QCOMPARE(store.storedItemCount(), preservePinned ? 3 : 2);
        QCOMPARE(store.selectedItem()->id(), store.items().first().id());
    }

    void snippetsCreateAndUpdate()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        store.setSelectedCategory(ClipType::Snippets);
        const QUuid id = store.createSnippet(u"Sig"_s, u" Best,\nMe "_s, u";reply"_s, {u"a"_s});
        const ClipItem created = store.items().first();
        QCOMPARE(created.id(), id);
        QCOMPARE(created.type(), ClipType::Snippets);
        QVERIFY(created.isSnippet());
        QCOMPARE(created.textContent(), u" Best,\nMe "_s); // taken as passed
        QCOMPARE(store.selectedItem()->id(), id);
        QCOMPARE(store.snippets().size(), 3); // duplicate shortcuts are the editor's concern

        ClipItem edited = created;
        edited.setSnippetTitle(u"Signature"_s);
        edited.setPinned(true);
        store.updateSnippet(edited);
        QCOMPARE(store.items().first(), edited);
        QCOMPARE(*store.selectedItem(), edited);

        store.deleteItem(edited, true);
        store.saveHistorySynchronously();
        const int writes = store.writer().writeCount();
        store.updateSnippet(edited);
        QVERIFY(!store.item(id));
        QTest::qWait(200);
        store.writer().waitForIdle();
        QCOMPARE(store.writer().writeCount(), writes);
    }

    void qrCodesAreShownOnlyForClipsWithAPayload()
    {
        StoreFixture f;
        int stops = 0;
        f.environment.qrPayload = [](const ClipItem &item) { return item.textContent(); };
        f.environment.stopSharing = [&] { ++stops; };
        ClipboardStore &store = f.open();
        QSignalSpy changed(&store, &ClipboardStore::activeQRCodeItemChanged);
        store.addTextItem(u"for the phone"_s);
        const ClipItem text = store.items().first();
        addImage(store);
        const ClipItem image = store.items().first(); // no text: an empty payload

        QVERIFY(!store.presentQR(image));
        QVERIFY(!store.activeQRCodeItem());
        QCOMPARE(changed.size(), 0);

        QVERIFY(store.presentQR(text));
        QCOMPARE(store.activeQRCodeItem()->id(), text.id());
        QCOMPARE(changed.size(), 1);
        // A refused clip leaves the shown one in place.
        QVERIFY(!store.presentQR(image));
        QCOMPARE(store.activeQRCodeItem()->id(), text.id());

        store.dismissQR();
        QVERIFY(!store.activeQRCodeItem());
        QCOMPARE(changed.size(), 2);
        QCOMPARE(stops, 1);
    }
};

QTEST_MAIN(TestStoreEditing)
#include "tst_storeediting.moc"
