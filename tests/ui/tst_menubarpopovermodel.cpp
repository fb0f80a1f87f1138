// SPDX-License-Identifier: MIT
// The tray popover's rules: how many clips it lists and which, its empty texts, the short copy
// confirmation of a row, the one open actions menu, and the fresh start on each showing.
#include "MenuBarPopoverModel.h"
#include "StoreFixture.h"

#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

namespace {

struct Rig
{
    Rig()
        : store(fixture.open())
    {
        MenuBarPopoverModel::Dependencies deps;
        deps.store = &store;
        deps.clock = &fixture.clock;
        deps.copy = [this](const ClipItem &item) { copied.append(item.idString()); };
        model = std::make_unique<MenuBarPopoverModel>(deps);
    }

    QString add(const QString &text)
    {
        fixture.clock += 1;
        return store.addTextItem(text).id.toString(QUuid::WithoutBraces).toUpper();
    }

    QString row(int index, MenuBarClipListModel::Role role) const
    {
        return model->clips()->data(model->clips()->index(index), role).toString();
    }

    StoreFixture fixture;
    ClipboardStore &store;
    QStringList copied;
    std::unique_ptr<MenuBarPopoverModel> model;
};

QStringList ids(const QList<ClipItem> &clips)
{
    QStringList result;
    for (const ClipItem &clip : clips)
        result.append(clip.idString());
    return result;
}

} // namespace

class TestMenuBarPopoverModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void itemCountSetting_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("listHeight");
        QTest::newRow("below the minimum") << 3 << 5 << 200;
        QTest::newRow("default") << 20 << 20 << 320;
        QTest::newRow("few rows, short list") << 6 << 6 << 240;
        QTest::newRow("above the maximum") << 50 << 30 << 320;
    }
    void itemCountSetting()
    {
        QFETCH(int, setting);
        QFETCH(int, shown);
        QFETCH(int, listHeight);
        Rig rig;
        for (int i = 0; i < 40; ++i)
            rig.add(QStringLiteral("clip number %1").arg(i));
        rig.store.setMenuBarPopoverItemCount(setting);
        QCOMPARE(rig.model->itemLimit(), shown);
        QCOMPARE(rig.model->listHeight(), listHeight);
        QCOMPARE(rig.model->displayedClips().size(), shown);
        // The list follows the setting without a new showing.
        QCOMPARE(rig.model->clips()->count(), shown);
        QCOMPARE(rig.row(0, MenuBarClipListModel::TitleRole), QStringLiteral("clip number 39"));
    }

    void pinnedClipsHaveTheirOwnTab()
    {
        Rig rig;
        const QString pinned = rig.add(QStringLiteral("keep this"));
        const QString plain = rig.add(QStringLiteral("just text"));
        rig.model->togglePin(pinned);
        QCOMPARE(ids(rig.model->displayedClips()), QStringList{plain});
        rig.model->setSelectedFilter(int(ClipType::Pinned));
        QCOMPARE(ids(rig.model->displayedClips()), QStringList{pinned});
        QCOMPARE(rig.row(0, MenuBarClipListModel::ClipIdRole), pinned);
        // Other tabs list pinned clips first.
        rig.model->setSelectedFilter(int(ClipType::Text));
        QCOMPARE(ids(rig.model->displayedClips()), (QStringList{pinned, plain}));
    }

    void emptyMessage_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<ClipType>("filter");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing at all") << QString() << ClipType::All << QStringLiteral("No clips yet");
        QTest::newRow("blank search in All")
            << QStringLiteral("  \n ") << ClipType::All << QStringLiteral("No clips yet");
        QTest::newRow("blank search in a tab")
            << QStringLiteral(" \t") << ClipType::Code << QStringLiteral("Nothing here");
        QTest::newRow("search in All") << QStringLiteral("zebra") << ClipType::All << QStringLiteral("No matches");
        QTest::newRow("search in a tab") << QStringLiteral(" zebra ") << ClipType::Image
                                         << QStringLiteral("No matches");
    }
    void emptyMessage()
    {
        QFETCH(QString, search);
        QFETCH(ClipType, filter);
        QFETCH(QString, message);
        QCOMPARE(MenuBarPopoverModel::emptyMessage(search, filter), message);
    }

    void blankSearchIsNoSearch()
    {
        Rig rig;
        rig.add(QStringLiteral("alpha"));
        rig.add(QStringLiteral("beta"));
        const QStringList unfiltered = ids(rig.model->displayedClips());
        rig.model->setSearchText(QStringLiteral("   "));
        QCOMPARE(rig.model->headerTitle(), QStringLiteral("Recent"));
        QCOMPARE(ids(rig.model->displayedClips()), unfiltered);
        rig.model->setSearchText(QStringLiteral("alp"));
        QCOMPARE(rig.model->headerTitle(), QStringLiteral("Results"));
        QCOMPARE(rig.model->clips()->count(), 1);
        QCOMPARE(rig.model->emptyMessage(), QStringLiteral("No matches"));
    }

    // Copying A, then B within 900 ms: B's confirmation replaces A's and lasts its full time.
    void copyFeedbackBelongsToTheLatestRow()
    {
        Rig rig;
        const QString a = rig.add(QStringLiteral("plain words"));
        const QString b = rig.add(QStringLiteral("https://example.org/page"));
        // Rows: b (newest) then a.
        rig.model->copyClip(a);
        QCOMPARE(rig.copied, QStringList{a});
        QCOMPARE(rig.model->feedbackClipId(), a);
        QCOMPARE(rig.row(1, MenuBarClipListModel::SubtitleRole), QStringLiteral("Copied Text"));
        QVERIFY(rig.model->clips()->data(rig.model->clips()->index(1), MenuBarClipListModel::FeedbackRole).toBool());

        rig.fixture.clock += 0.5;
        rig.model->copyClip(b);
        QCOMPARE(rig.model->feedbackClipId(), b);
        QCOMPARE(rig.row(0, MenuBarClipListModel::SubtitleRole), QStringLiteral("Copied Link"));
        QVERIFY(rig.row(1, MenuBarClipListModel::SubtitleRole).startsWith(QStringLiteral("Text · ")));

        rig.fixture.clock += 0.6; // A's 900 ms are over
        QCOMPARE(rig.model->feedbackClipId(), b);
        QCOMPARE(rig.model->feedbackText(), QStringLiteral("Copied Link"));
        rig.fixture.clock += 0.35; // B's are
        QCOMPARE(rig.model->feedbackClipId(), QString());
        QVERIFY(rig.row(0, MenuBarClipListModel::SubtitleRole).startsWith(QStringLiteral("Link · ")));
        QCOMPARE(rig.copied, (QStringList{a, b}));
    }

    void oneActionsMenuAtATime()
    {
        Rig rig;
        const QString a = rig.add(QStringLiteral("first"));
        const QString b = rig.add(QStringLiteral("second"));
        rig.model->toggleActions(a);
        QCOMPARE(rig.model->actionsItemId(), a);
        rig.model->toggleActions(b);
        QCOMPARE(rig.model->actionsItemId(), b);
        rig.model->toggleActions(b);
        QCOMPARE(rig.model->actionsItemId(), QString());

        // A menu entry acts, then closes the menu.
        rig.model->toggleActions(b);
        rig.model->deleteClip(b);
        QCOMPARE(rig.model->actionsItemId(), QString());
        QCOMPARE(ids(rig.model->displayedClips()), QStringList{a});
        QCOMPARE(rig.store.undoDeleteItem()->idString(), b);

        // So does the clip leaving the list some other way.
        rig.model->toggleActions(a);
        rig.store.deleteItem(*rig.store.item(QUuid(a)), false);
        QCOMPARE(rig.model->actionsItemId(), QString());
    }

    void showingStartsOver()
    {
        Rig rig;
        const QString a = rig.add(QStringLiteral("int main() { return 0; }"));
        rig.model->setSelectedFilter(int(ClipType::Code));
        rig.model->setSearchText(QStringLiteral("main"));
        rig.model->copyClip(a);
        rig.model->toggleActions(a);
        rig.model->reset();
        QCOMPARE(rig.model->filter(), ClipType::All);
        QCOMPARE(rig.model->searchText(), QString());
        QCOMPARE(rig.model->feedbackClipId(), QString());
        QCOMPARE(rig.model->actionsItemId(), QString());
        QCOMPARE(rig.model->clips()->count(), 1);
    }

    // While hidden the list may lag behind the history; showing it catches up.
    void hiddenListCatchesUpWhenShown()
    {
        Rig rig;
        rig.add(QStringLiteral("before"));
        rig.model->setShown(false);
        rig.add(QStringLiteral("while hidden"));
        rig.model->setShown(true);
        QCOMPARE(rig.model->clips()->count(), 2);
        QCOMPARE(rig.row(0, MenuBarClipListModel::TitleRole), QStringLiteral("while hidden"));
        rig.add(QStringLiteral("while shown"));
        QCOMPARE(rig.row(0, MenuBarClipListModel::TitleRole), QStringLiteral("while shown"));
    }
};

QTEST_MAIN(TestMenuBarPopoverModel)
#include "tst_menubarpopovermodel.moc"
