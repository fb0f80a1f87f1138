// SPDX-License-Identifier: MIT
// The main window's own rules: the split between list and detail pane, the tag filter and the texts
// that follow the store.
#include "MainViewModel.h"
#include "StoreFixture.h"

#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

class TestMainViewModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitWidths_data()
    {
        QTest::addColumn<double>("stored");
        QTest::addColumn<double>("contentWidth");
        QTest::addColumn<double>("list");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("detail");
        QTest::newRow("default at 800") << 280.0 << 800.0 << 280.0 << 539.0 << 519.0;
        QTest::newRow("narrow 640 keeps 260 for the pane") << 500.0 << 640.0 << 379.0 << 379.0 << 260.0;
        QTest::newRow("too small a stored width") << 100.0 << 800.0 << 180.0 << 539.0 << 619.0;
        QTest::newRow("too large a stored width") << 2000.0 << 800.0 << 539.0 << 539.0 << 260.0;
        QTest::newRow("window narrower than both minimums") << 280.0 << 300.0 << 180.0 << 180.0 << 260.0;
    }
    void splitWidths()
    {
        QFETCH(double, stored);
        QFETCH(double, contentWidth);
        StoreFixture fixture;
        MainViewModel model(fixture.open(), fixture.settings());
        model.setLeftPanelWidth(stored);
        QFETCH(double, list);
        QFETCH(double, maximum);
        QFETCH(double, detail);
        QCOMPARE(model.listWidth(contentWidth), list);
        QCOMPARE(model.maximumListWidth(contentWidth), maximum);
        QCOMPARE(model.detailWidth(contentWidth), detail);
        // Showing a clamped width never rewrites the stored one.
        QCOMPARE(model.leftPanelWidth(), stored);
    }

    void tagFilterTogglesAndNamesTheTag()
    {
        StoreFixture fixture;
        ClipboardStore &store = fixture.open();
        const QUuid id = store.addTextItem(QStringLiteral("tagged")).id;
        store.addTag(QStringLiteral("work"), *store.item(id));
        MainViewModel model(store, fixture.settings());
        QCOMPARE(model.tagButtonHelp(), QStringLiteral("Filter by Tag"));

        model.toggleTagFilter(QStringLiteral("work"));
        QCOMPARE(store.selectedTag(), std::optional<QString>(QStringLiteral("work")));
        QCOMPARE(model.tagButtonHelp(), QStringLiteral("Filtered by #work (Click to manage tags)"));
        QVariantMap entry;
        for (const QVariant &filter : model.tagFilters()) {
            if (filter.toMap().value(QStringLiteral("tag")) == QStringLiteral("work"))
                entry = filter.toMap();
        }
        QCOMPARE(entry.value(QStringLiteral("title")).toString(), QStringLiteral("#work (1)"));
        QVERIFY(entry.value(QStringLiteral("active")).toBool());

        // The active tag again removes the filter.
        model.toggleTagFilter(QStringLiteral("work"));
        QCOMPARE(store.selectedTag(), std::nullopt);
    }

    void tabsCarryCategoryCounts()
    {
        StoreFixture fixture;
        ClipboardStore &store = fixture.open();
        store.addTextItem(QStringLiteral("plain words"));
        store.addTextItem(QStringLiteral("https://example.org/page"));
        MainViewModel model(store, fixture.settings());
        const QVariantList tabs = model.tabs();
        QCOMPARE(tabs.size(), 8);
        const auto badge = [&](int index) {
            return tabs.at(index).toMap().value(QStringLiteral("badgeCount")).toInt();
        };
        QCOMPARE(badge(int(ClipType::All)), 0); // "All" never shows a count
        QCOMPARE(badge(int(ClipType::Text)), 1);
        QCOMPARE(badge(int(ClipType::Url)), 1);
        QCOMPARE(tabs.at(int(ClipType::Url)).toMap().value(QStringLiteral("title")).toString(),
                 QStringLiteral("Links"));
        QCOMPARE(model.itemCountText(), QStringLiteral("%1 items stored").arg(store.items().size()));
    }
};

QTEST_MAIN(TestMainViewModel)
#include "tst_mainviewmodel.moc"
