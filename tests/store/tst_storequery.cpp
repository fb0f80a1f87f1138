// SPDX-License-Identifier: MIT
#include "ClipQuery.h"
#include "StoreFixture.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

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
        ClipItem colourUrl = f.textClip(QStringLiteral("u"), 1);
        colourUrl.setType(ClipType::Url);
        colourUrl.setColorHex(QStringLiteral("#BAD"));
        ClipItem colourText = f.textClip(QStringLiteral("#FFF"), 2);
        colourText.setColorHex(QStringLiteral("#FFF"));
        ClipItem code = f.textClip(QStringLiteral("c"), 3);
        code.setType(ClipType::Code);
        const ClipItem pinned = f.textClip(QStringLiteral("p"), 4, true);
        f.writeHistory({colourUrl, colourText, code, pinned, snippet(f, QStringLiteral("s1"), true),
                        snippet(f, QStringLiteral("s2"))});
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
        QCOMPARE(texts(store.filteredItems()), (QStringList{QStringLiteral("p"), QStringLiteral("#FFF")}));
        store.setSelectedCategory(ClipType::Snippets);
        QCOMPARE(store.filteredItems().size(), 2);
        store.setSelectedCategory(ClipType::Pinned);
        QCOMPARE(texts(store.filteredItems()), QStringList{QStringLiteral("p")});
    }

    void onlySnippets()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        QCOMPARE(store.count(ClipType::All), 0);
        QCOMPARE(store.count(ClipType::Snippets), 2);
        QCOMPARE(store.storedItemCount(), 2);
        QVERIFY(store.filteredItems().isEmpty());
        QVERIFY(!store.selectedItem());
    }

    void orderIsPinnedThenNewestAndStable()
    {
        StoreFixture f;
        const ClipItem oldPinned = f.textClip(QStringLiteral("old pinned"), 100000, true);
        const ClipItem sameA = f.textClip(QStringLiteral("same a"), 5);
        ClipItem sameB = f.textClip(QStringLiteral("same b"), 5);
        const ClipItem newest = f.textClip(QStringLiteral("newest"), 1);
        f.writeHistory({sameA, oldPinned, sameB, newest});
        ClipboardStore &store = f.open();
        QCOMPARE(texts(store.filteredItems()),
                 (QStringList{QStringLiteral("old pinned"), QStringLiteral("newest"), QStringLiteral("same a"),
                              QStringLiteral("same b")}));
    }

    void tagsAndSearch()
    {
        StoreFixture f;
        ClipItem tagged = f.textClip(QStringLiteral("alpha"), 1);
        tagged.setTags({QStringLiteral("work")});
        ClipItem other = f.textClip(QStringLiteral("beta"), 2);
        other.setTags({QStringLiteral("Work"), QStringLiteral("home")});
        ClipItem image(QUuid::createUuid(), f.clock - 3, ClipType::Image);
        image.setExtractedText(QStringLiteral("Invoice Total"));
        image.setSourceAppName(QStringLiteral("Viewer"));
        ClipItem shortcutOnly = snippet(f, QStringLiteral("title"));
        shortcutOnly.setSnippetShortcut(QStringLiteral(";zzz"));
        f.writeHistory({tagged, other, image, shortcutOnly});
        ClipboardStore &store = f.open();

        // Selecting a tag is exact and case-sensitive; searching finds tags as substrings in any case.
        store.setSelectedTag(QStringLiteral("Work"));
        QCOMPARE(texts(store.filteredItems()), QStringList{QStringLiteral("beta")});
        store.setSelectedTag(std::nullopt);
        QCOMPARE(texts(store.filteredList(ClipType::All, {}, QStringLiteral("WORK"))),
                 (QStringList{QStringLiteral("alpha"), QStringLiteral("beta")}));
        QCOMPARE(store.filteredList(ClipType::All, {}, QStringLiteral("invoice total")).size(), 1);
        QCOMPARE(store.filteredList(ClipType::All, {}, QStringLiteral("viewer")).size(), 1);
        // Not searched: shortcuts; a leading "#" is literal.
        QCOMPARE(store.filteredList(ClipType::Snippets, {}, QStringLiteral(";zzz")).size(), 0);
        QCOMPARE(store.filteredList(ClipType::All, {}, QStringLiteral("#work")).size(), 0);
        // Blank searches filter nothing; a match never spans two fields.
        QCOMPARE(store.filteredList(ClipType::All, {}, QStringLiteral("  \n")).size(), 3);
        QCOMPARE(store.filteredList(ClipType::All, {}, QStringLiteral("alphawork")).size(), 0);
        // Intersection of category, tag and search.
        QCOMPARE(store.filteredList(ClipType::All, QStringLiteral("home"), QStringLiteral("alpha")).size(), 0);
        QCOMPARE(store.allTags(),
                 (QStringList{QStringLiteral("Work"), QStringLiteral("home"), QStringLiteral("work")}));
    }

    void unicodeSearchIsCaseInsensitive()
    {
        StoreFixture f;
        f.writeHistory({f.textClip(QStringLiteral("Grüße aus MÜNCHEN")), f.textClip(QStringLiteral("ΣΟΦΙΑ"), 1)});
        ClipboardStore &store = f.open();
        QCOMPARE(store.filteredList(ClipType::All, {}, QStringLiteral("münchen")).size(), 1);
        QCOMPARE(store.filteredList(ClipType::All, {}, QStringLiteral("GRÜßE AUS")).size(), 1);
        QCOMPARE(store.filteredList(ClipType::All, {}, QStringLiteral("σοφια")).size(), 1);
    }

    void searchIsDebounced()
    {
        StoreFixture f;
        f.writeHistory({f.textClip(QStringLiteral("apple")), f.textClip(QStringLiteral("banana"), 1)});
        ClipboardStore &store = f.open();
        QTest::qWait(f.environment.searchDebounceMs + 50); // the start-up run
        QSignalSpy filtered(&store, &ClipboardStore::filteredItemsChanged);
        store.setSearchQuery(QStringLiteral("a"));
        store.setSearchQuery(QStringLiteral("ap"));
        store.setSearchQuery(QStringLiteral("app"));
        QCOMPARE(store.filteredItems().size(), 2); // not yet
        QVERIFY(filtered.wait(1000));
        QCOMPARE(filtered.size(), 1); // one run for the burst
        QCOMPARE(texts(store.filteredItems()), QStringList{QStringLiteral("apple")});
        store.setSearchQuery(QStringLiteral("app"));
        QTest::qWait(f.environment.searchDebounceMs + 50);
        QCOMPARE(filtered.size(), 1); // an equal value changes nothing
    }

    void narrowingNeverServesStaleResults()
    {
        StoreFixture f;
        QList<ClipItem> many;
        for (int i = 0; i < 6000; ++i) // large enough for the parallel search
            many.append(f.textClip(
                QStringLiteral("item %1 %2").arg(i).arg(i % 2 ? QStringLiteral("odd") : QStringLiteral("even")), i));
        f.writeHistory(many);
        ClipboardStore &store = f.open();
        auto search = [&store](const QString &text) {
            store.setSearchQuery(text);
            store.recalculateFilteredItems();
            return store.filteredItems().size();
        };
        QCOMPARE(search(QStringLiteral("od")), 3000);
        QCOMPARE(search(QStringLiteral("odd")), 3000);
        QCOMPARE(search(QStringLiteral("1 odd")), 600);
        // The history changed between two keystrokes: the new clip must be found.
        store.addTextItem(QStringLiteral("brand new 11 odd"));
        QCOMPARE(search(QStringLiteral("11 odd")), 61);
        // A category change in between, and a query that is not an extension.
        store.setSelectedCategory(ClipType::Pinned);
        QCOMPARE(search(QStringLiteral("11 odd x")), 0);
        store.setSelectedCategory(ClipType::All);
        QCOMPARE(search(QStringLiteral("even")), 3000);
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
                store.addTextItem(QStringLiteral("clip %1 %2").arg(step).arg(rng.bounded(2) ? u"odd"_qs : u"even"_qs));
            } else if (action == 4 && !listed.isEmpty()) {
                store.deleteItem(listed.at(rng.bounded(int(listed.size()))), true);
            } else if (action == 5) {
                store.undoLastDelete(); // an older clip back at the top
            } else if (action == 6 && !listed.isEmpty()) {
                store.togglePin(listed.at(rng.bounded(int(listed.size()))));
            } else if (action == 7) {
                store.setSelectedCategory(categories[rng.bounded(4)]);
            } else if (action == 8) {
                store.setSelectedTag(rng.bounded(2) ? std::optional(QStringLiteral("Work")) : std::nullopt);
            } else {
                store.setSearchQuery(rng.bounded(2) ? QStringLiteral("odd") : QString());
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
        ClipItem code = f.textClip(QStringLiteral("code"), 1);
        code.setType(ClipType::Code);
        const ClipItem text = f.textClip(QStringLiteral("text"), 2);
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
        f.writeHistory({f.textClip(QStringLiteral("a"), 1), f.textClip(QStringLiteral("b"), 2, true),
                        f.textClip(QStringLiteral("c"), 3)});
        ClipboardStore &store = f.open();
        QCOMPARE(store.items(QString(), ClipType::All, 10, false).size(), 3);
        QCOMPARE(texts(store.items(QString(), ClipType::All, 2, false)),
                 (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
        QCOMPARE(texts(store.items(QString(), ClipType::All, 10, true)),
                 (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
        QCOMPARE(store.items(QStringLiteral(" C "), ClipType::All, 10, false).size(), 1);
        QCOMPARE(store.items(QString(), ClipType::All, 0, false).size(), 0);
        // The published state is untouched.
        QCOMPARE(store.filteredItems().size(), 3);
    }

    void tagParsing_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("normalized");
        QTest::newRow("hash and blanks") << QStringLiteral("  #home ") << QStringLiteral("home");
        QTest::newRow("lone hash") << QStringLiteral("#") << QString();
        // Trimming comes first, so the blank after a removed "#" stays.
        QTest::newRow("hash blank a") << QStringLiteral("# a") << QStringLiteral(" a");
        QTest::newRow("inner hash") << QStringLiteral("c#sharp") << QStringLiteral("csharp");
    }

    void tagParsing()
    {
        QFETCH(QString, input);
        QFETCH(QString, normalized);
        QCOMPARE(ClipboardStore::normalizeTag(input), normalized);
    }

    void tagListParsing()
    {
        QCOMPARE(ClipboardStore::parseTags(QStringLiteral("#a, b,,#")),
                 (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
        QCOMPARE(ClipboardStore::parseTags(QStringLiteral("x, x")),
                 (QStringList{QStringLiteral("x"), QStringLiteral("x")}));
    }
};

QTEST_GUILESS_MAIN(TestStoreQuery)
#include "tst_storequery.moc"
