// SPDX-License-Identifier: MIT
#include "ClipListModel.h"
#include "ClipListState.h"
#include "ClipRowText.h"
#include "ClipThumbnailProvider.h"
#include "StoreFixture.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

class TestClipListTexts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyState_data()
    {
        QTest::addColumn<bool>("historyEmpty");
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("search");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("filtering");
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("subtitle");

        const QString getStarted = u"Copy text, images, code, or links to get started."_s;
        const QString tryAgain = u"Try a different keyword, tag, or category."_s;
        const int all = int(ClipType::All);
        QTest::newRow("new history") << true << all << QString() << QString() << 0 << false << u"0 results"_s
                                     << u"clipboard"_s << u"No clipboard items yet"_s << getStarted;
        QTest::newRow("new history, searched") << true << all << QString() << u"a"_s << 0 << true << u"0 results"_s
                                               << u"clipboard"_s << u"No clipboard items yet"_s << getStarted;
        QTest::newRow("no match") << false << all << QString() << u" foo "_s << 0 << true << u"0 results"_s
                                  << u"magnifyingglass"_s << u"No matches for \"foo\""_s << tryAgain;
        QTest::newRow("search before tag")
            << false << int(ClipType::Code) << u"work"_s << u"x"_s << 0 << true << u"0 results"_s
            << u"magnifyingglass"_s << u"No matches for \"x\""_s << tryAgain;
        QTest::newRow("tag") << false << all << u"work"_s << QString() << 1 << true << u"1 result"_s
                             << u"magnifyingglass"_s << u"No clips with #work"_s << tryAgain;
        QTest::newRow("category") << false << int(ClipType::Url) << QString() << QString() << 12 << true
                                  << u"12 results"_s << u"magnifyingglass"_s << u"No clips in Links"_s << tryAgain;
        QTest::newRow("blank search") << false << all << QString() << u"  "_s << 0 << false << u"0 results"_s
                                      << u"magnifyingglass"_s << u"No clips in All"_s
                                      << u"Copy something new to see it here."_s;
    }

    void emptyState()
    {
        QFETCH(bool, historyEmpty);
        QFETCH(int, category);
        QFETCH(QString, tag);
        QFETCH(QString, search);
        QFETCH(int, count);
        StoreFixture f;
        ClipListState state(f.open());
        state.setInputs(
            {historyEmpty, ClipType(category), tag.isEmpty() ? std::nullopt : std::optional(tag), search, count});
        QTEST(state.isFiltering(), "filtering");
        QTEST(state.resultCountText(), "counter");
        QTEST(state.emptyIcon(), "icon");
        QTEST(state.emptyTitle(), "title");
        QTEST(state.emptySubtitle(), "subtitle");
    }

    void stateFollowsTheStore()
    {
        StoreFixture f;
        f.writeHistory({f.textClip(u"apple"_s)});
        ClipboardStore &store = f.open();
        ClipListState state(store);
        QVERIFY(!state.isEmpty());
        QSignalSpy changed(&state, &ClipListState::changed);
        store.setSearchQuery(u"zzz"_s);
        store.recalculateFilteredItems();
        QVERIFY(changed.size() >= 1);
        QVERIFY(state.isEmpty());
        QCOMPARE(state.emptyTitle(), u"No matches for \"zzz\""_s);

        // A first start seeds snippets, which do not make the history any less empty.
        StoreFixture fresh;
        ClipboardStore &freshStore = fresh.open();
        QVERIFY(freshStore.storedItemCount() > 0);
        ClipListState newState(freshStore);
        QCOMPARE(newState.emptyTitle(), u"No clipboard items yet"_s);
    }

    void rowTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("app");
        QTest::addColumn<QStringList>("tags");
        QTest::addColumn<QString>("subtitle");
        QTest::addColumn<QString>("chip");

        QTest::newRow("gist and app") << u"title\nline two\nline three\nline four"_s << u"Editor"_s << QStringList()
                                      << u"Editor: line two line three"_s << QString();
        QTest::newRow("gist alone") << u"title\nmore"_s << QString() << QStringList{u"work"_s} << u"more"_s
                                    << u"#work"_s;
        QTest::newRow("app alone") << u"one line"_s << u"Terminal"_s << QStringList{u"a"_s, u"b"_s}
                                   << u"from Terminal"_s << u"#a +1"_s;
        QTest::newRow("nothing") << u"one line"_s << QString() << QStringList{u"a"_s, u"b"_s, u"c"_s}
                                 << u"Clipboard item"_s << u"#a +2"_s;
    }

    void rowTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, app);
        QFETCH(QStringList, tags);
        ClipItem clip(QUuid::createUuid(), 0, ClipType::Text, false, tags);
        clip.setTextContent(text);
        if (!app.isEmpty())
            clip.setSourceAppName(app);
        QTEST(ClipRowText::subtitle(clip), "subtitle");
        QTEST(ClipRowText::tagsChip(clip.tags()), "chip");
    }

    void rolesOfAnImageRow()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(store.addImageItem(image).recorded());
        ClipListModel model(store, &f.clock);
        const QModelIndex row = model.index(0);
        QCOMPARE(row.data(ClipListModel::VisualKindRole), u"image"_s);
        QCOMPARE(row.data(ClipListModel::TileIconRole), u"photo.fill"_s);
        QCOMPARE(row.data(ClipListModel::CategoryNameRole), u"Image"_s);
        QCOMPARE(row.data(ClipListModel::SlotRole), 1);
        QCOMPARE(row.data(ClipListModel::ImageFileNameRole), store.filteredItems().first().imageFileName());
        QCOMPARE(row.data(ClipListModel::AccessibleNameRole).toString(),
                 row.data(ClipListModel::TitleRole).toString() + u", Image, "_s +
                     row.data(ClipListModel::AgeRole).toString());
        QCOMPARE(model.roleNames().value(ClipListModel::BadgeTintRole), "badgeTint");
    }

    // Requests come from an image loading thread; the answer comes from the store's loader.
    void thumbnails()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        QImage image(400, 200, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(store.addImageItem(image).recorded());
        ClipThumbnailProvider provider(store);
        const auto request = [&provider](const QString &id) {
            QQuickImageResponse *response = nullptr;
            std::unique_ptr<QThread> thread(QThread::create([&] { response = provider.requestImageResponse(id, {}); }));
            thread->start();
            thread->wait();
            QSignalSpy finished(response, &QQuickImageResponse::finished);
            if (!finished.wait(5000))
                qWarning("no answer for %s", qPrintable(id));
            return std::unique_ptr<QQuickImageResponse>(response);
        };

        const auto found = request(store.filteredItems().first().imageFileName() + u"?size=38"_s);
        QVERIFY(found->errorString().isEmpty());
        std::unique_ptr<QQuickTextureFactory> texture(found->textureFactory());
        QVERIFY(texture);
        QCOMPARE(texture->image().size(), QSize(76, 38)); // 38 points at the fixture's scale of 2

        const auto missing = request(u"gone.png?size=30"_s);
        QCOMPARE(missing->errorString(), u"Image file missing"_s);
        QVERIFY(!missing->textureFactory());
    }
};

QTEST_MAIN(TestClipListTexts)
#include "tst_cliplisttexts.moc"
