// SPDX-License-Identifier: MIT
#include "ClipQuery.h"
#include "StoreFixture.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

class TestStoreQuery : public QObject
{
    Q_OBJECT

private:
    static ClipItem snippet(StoreFixture &f, const QString &title, bool pinned = false)
    {
        ClipItem s(QUuid::createUuid(), f.clock, ClipType::Snippets, pinned, {}, true);
        s.setSnippetTitle(title);
        s.setTextContent(title);
        return s;
    }
    static QStringList texts(const QList<ClipItem> &items)
    {
        QStringList out;
        for (const ClipItem &item : items)
            out.append(item.hasSnippetTitle() ? item.snippetTitle() : item.textContent());
        return out;
    }

private Q_SLOTS:
    void categoriesAndCounts()
    {
        StoreFixture f;
        ClipItem colourUrl = f.textClip(u"u"_s, 1);
        colourUrl.setType(ClipType::Url);
        colourUrl.setColorHex(u"#BAD"_s);
        ClipItem colourText = f.textClip(u"#FFF"_s, 2);
        colourText.setColorHex(u"#FFF"_s);
        ClipItem code = f.textClip(u"c"_s, 3);
        code.setType(ClipType::Code);
        const ClipItem pinned = f.textClip(u"p"_s, 4, true);
        f.writeHistory({colourUrl, colourText, code, pinned, snippet(f, u"s1"_s, true), snippet(f, u"s2"_s)});
        ClipboardStore &store = f.open();
        QCOMPARE(store.count(ClipType::All), 4);
        QCOMPARE(store.count(ClipType::Pinned), 1); // the pinned snippet counts only as a snippet
        QCOMPARE(store.count(ClipType::Snippets), 2);
        QCOMPARE(store.count(ClipType::Text), 2);
        QCOMPARE(store.count(ClipType::Url), 1);
        QCOMPARE(store.count(ClipType::Image), 0);
        QVERIFY(!store.categoryCounts().contains(ClipType::Image));
        QCOMPARE(store.storedItemCount(), 6);

        store.setSelectedCategory(ClipType::Text);
        QCOMPARE(texts(store.filteredItems()), (QStringList{u"p"_s, u"#FFF"_s}));
        store.setSelectedCategory(ClipType::Snippets);
        QCOMPARE(store.filteredItems().size(), 2);
        store.setSelectedCategory(ClipType::Pinned);
        QCOMPARE(texts(store.filteredItems()), QStringList{u"p"_s});
    }

    void tagsAndSearch()
    {
        StoreFixture f;
        ClipItem tagged = f.textClip(u"alpha"_s, 1);
        tagged.setTags({u"work"_s});
        ClipItem other = f.textClip(u"beta"_s, 2);
        other.setTags({u"Work"_s, u"home"_s});
        ClipItem image(QUuid::createUuid(), f.clock - 3, ClipType::Image);
        image.setExtractedText(u"Invoice Total"_s);
        image.setSourceAppName(u"Viewer"_s);
        ClipItem shortcutOnly = snippet(f, u"title"_s);
        shortcutOnly.setSnippetShortcut(u";zzz"_s);
        f.writeHistory({tagged, other, image, shortcutOnly});
        ClipboardStore &store = f.open();

        // Selecting a tag is exact and case-sensitive; searching finds tags as substrings in any case.
        store.setSelectedTag(u"Work"_s);
        QCOMPARE(texts(store.filteredItems()), QStringList{u"beta"_s});
        store.setSelectedTag(std::nullopt);
        QCOMPARE(texts(store.filteredList(ClipType::All, {}, u"WORK"_s)), (QStringList{u"alpha"_s, u"beta"_s}));
        QCOMPARE(store.filteredList(ClipType::All, {}, u"invoice total"_s).size(), 1);
        QCOMPARE(store.filteredList(ClipType::All, {}, u"viewer"_s).size(), 1);
        // Not searched: shortcuts; a leading "#" is literal.
        QCOMPARE(store.filteredList(ClipType::Snippets, {}, u";zzz"_s).size(), 0);
        QCOMPARE(store.filteredList(ClipType::All, {}, u"#work"_s).size(), 0);
        // Blank searches filter nothing; a match never spans two fields.
        QCOMPARE(store.filteredList(ClipType::All, {}, u"  \n"_s).size(), 3);
        QCOMPARE(store.filteredList(ClipType::All, {}, u"alphawork"_s).size(), 0);
        // Intersection of category, tag and search.
        QCOMPARE(store.filteredList(ClipType::All, u"home"_s, u"alpha"_s).size(), 0);
        QCOMPARE(store.allTags(), (QStringList{u"Work"_s, u"home"_s, u"work"_s}));
    }

    void searchIsDebounced()
    {
        StoreFixture f;
        f.writeHistory({f.textClip(u"apple"_s), f.textClip(u"banana"_s, 1)});
        ClipboardStore &store = f.open();
        QTest::qWait(f.environment.searchDebounceMs + 50); // the start-up run
        QSignalSpy filtered(&store, &ClipboardStore::filteredItemsChanged);
        store.setSearchQuery(u"a"_s);
        store.setSearchQuery(u"ap"_s);
        store.setSearchQuery(u"app"_s);
        QCOMPARE(store.filteredItems().size(), 2); // not yet
        QVERIFY(filtered.wait(1000));
        QCOMPARE(filtered.size(), 1); // one run for the burst
        QCOMPARE(texts(store.filteredItems()), QStringList{u"apple"_s});
        store.setSearchQuery(u"app"_s);
        QTest::qWait(f.environment.searchDebounceMs + 50);
        QCOMPARE(filtered.size(), 1); // an equal value changes nothing
    }

    void narrowingNeverServesStaleResults()
    {
        StoreFixture f;
        QList<ClipItem> many;
        for (int i = 0; i < 6000; ++i) // large enough for the parallel search
            many.append(f.textClip(u"item %1 %2"_s.arg(i).arg(i % 2 ? u"odd"_s : u"even"_s), i));
        f.writeHistory(many);
        ClipboardStore &store = f.open();
        auto search = [&store](const QString &text) {
            store.setSearchQuery(text);
            store.recalculateFilteredItems();
            return store.filteredItems().size();
        };
        QCOMPARE(search(u"od"_s), 3000);
        QCOMPARE(search(u"odd"_s), 3000);
        QCOMPARE(search(u"1 odd"_s), 600);
        // The history changed between two keystrokes: the new clip must be found.
        store.addTextItem(u"brand new 11 odd"_s);
        QCOMPARE(search(u"11 odd"_s), 61);
        // A category change in between, and a query that is not an extension.
        store.setSelectedCategory(ClipType::Pinned);
        QCOMPARE(search(u"11 odd x"_s), 0);
        store.setSelectedCategory(ClipType::All);
        QCOMPARE(search(u"even"_s), 3000);
        // Results are in list order.
        const QList<ClipItem> listed = store.filteredItems();
        QVERIFY(std::is_sorted(listed.cbegin(), listed.cend(), ClipQuery::comesBefore));
    }

    // The store keeps the filtered list up to date incrementally on captures and restores; after any
    // sequence of operations it must equal a query computed from scratch.
    void cachedListsMatchAFreshQuery()
    {
        StoreFixture f;
        f.environment.undoWindowMs = 60000;
        ClipboardStore &store = f.open();
        QRandomGenerator rng(7);
        const ClipType categories[] = {ClipType::All, ClipType::Text, ClipType::Pinned, ClipType::Snippets};
        for (int step = 0; step < 300; ++step) {
            f.clock += double(rng.bounded(3)); // equal dates happen
            const quint32 action = rng.bounded(10);
            const QList<ClipItem> listed = store.items();
            if (action < 4) {
                store.addTextItem(u"clip %1 %2"_s.arg(step).arg(rng.bounded(2) ? u"odd"_qs : u"even"_qs));
            } else if (action == 4 && !listed.isEmpty()) {
                store.deleteItem(listed.at(rng.bounded(int(listed.size()))), true);
            } else if (action == 5) {
                store.undoLastDelete(); // an older clip back at the top
            } else if (action == 6 && !listed.isEmpty()) {
                store.togglePin(listed.at(rng.bounded(int(listed.size()))));
            } else if (action == 7) {
                store.setSelectedCategory(categories[rng.bounded(4)]);
            } else if (action == 8) {
                store.setSelectedTag(rng.bounded(2) ? std::optional(u"Work"_s) : std::nullopt);
            } else {
                store.setSearchQuery(rng.bounded(2) ? u"odd"_s : QString());
                store.recalculateFilteredItems();
            }
            const QList<ClipItem> fresh =
                store.filteredList(store.selectedCategory(), store.selectedTag(), store.searchQuery());
            QCOMPARE(texts(store.filteredItems()), texts(fresh));
            QCOMPARE(store.count(ClipType::All), int(store.filteredList(ClipType::All, {}, {}).size()));
            QCOMPARE(store.count(ClipType::Pinned), int(store.filteredList(ClipType::Pinned, {}, {}).size()));
        }
    }

    void selectionFollowsTheFilter()
    {
        StoreFixture f;
        ClipItem code = f.textClip(u"code"_s, 1);
        code.setType(ClipType::Code);
        const ClipItem text = f.textClip(u"text"_s, 2);
        f.writeHistory({code, text});
        ClipboardStore &store = f.open();
        store.setSelectedItem(text);
        store.setSelectedCategory(ClipType::Text);
        QCOMPARE(store.selectedItem()->id(), text.id()); // still listed: unchanged
        store.setSelectedCategory(ClipType::Code);
        QCOMPARE(store.selectedItem()->id(), code.id()); // dropped out: first of the new list
        store.setSelectedCategory(ClipType::Image);
        QVERIFY(!store.selectedItem());
    }

    void oneShotQuery()
    {
        StoreFixture f;
        f.writeHistory({f.textClip(u"a"_s, 1), f.textClip(u"b"_s, 2, true), f.textClip(u"c"_s, 3)});
        ClipboardStore &store = f.open();
        QCOMPARE(store.items(QString(), ClipType::All, 10, false).size(), 3);
        QCOMPARE(texts(store.items(QString(), ClipType::All, 2, false)), (QStringList{u"b"_s, u"a"_s}));
        QCOMPARE(texts(store.items(QString(), ClipType::All, 10, true)), (QStringList{u"a"_s, u"c"_s}));
        QCOMPARE(store.items(u" C "_s, ClipType::All, 10, false).size(), 1);
        QCOMPARE(store.items(QString(), ClipType::All, 0, false).size(), 0);
        // The published state is untouched.
        QCOMPARE(store.filteredItems().size(), 3);
    }

    void tagParsing()
    {
        // Trimming comes first, so the blank after a removed "#" stays; every "#" goes.
        QCOMPARE(ClipboardStore::normalizeTag(u"  #home "_s), u"home"_s);
        QCOMPARE(ClipboardStore::normalizeTag(u"#"_s), QString());
        QCOMPARE(ClipboardStore::normalizeTag(u"# a"_s), u" a"_s);
        QCOMPARE(ClipboardStore::normalizeTag(u"c#sharp"_s), u"csharp"_s);
        // Lists drop empty tags and keep repeated ones.
        QCOMPARE(ClipboardStore::parseTags(u"#a, b,,#"_s), (QStringList{u"a"_s, u"b"_s}));
        QCOMPARE(ClipboardStore::parseTags(u"x, x"_s), (QStringList{u"x"_s, u"x"_s}));
    }
};

QTEST_GUILESS_MAIN(TestStoreQuery)
#include "tst_storequery.moc"
