// SPDX-License-Identifier: MIT
#include "ClipListDiff.h"
#include "ClipListModel.h"
#include "StoreFixture.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {

// A view that reads rows only when the model's signals tell it to, so a missing or wrong signal
// leaves it showing something other than the model.
class CachingView : public QObject
{
public:
    static inline const QList<int> roles{ClipListModel::ClipIdRole,     ClipListModel::TagsChipRole,
                                         ClipListModel::IsPinnedRole,   ClipListModel::SlotRole,
                                         ClipListModel::IsSelectedRole, ClipListModel::AccessibleHintRole};

    explicit CachingView(ClipListModel &model)
        : m_model(model)
    {
        fetchAll();
        connect(&model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
            for (int row = first; row <= last; ++row)
                m_rows.insert(row, fetch(row));
            m_log.append(u"insert %1-%2"_s.arg(first).arg(last));
        });
        connect(&model, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex &, int first, int last) {
            m_rows.remove(first, last - first + 1);
            m_log.append(u"remove %1-%2"_s.arg(first).arg(last));
        });
        connect(&model, &QAbstractItemModel::rowsMoved, this,
                [this](const QModelIndex &, int first, int last, const QModelIndex &, int destination) {
                    const QList<QVariantList> moved = m_rows.mid(first, last - first + 1);
                    m_rows.remove(first, moved.size());
                    const int at = destination > last ? destination - int(moved.size()) : destination;
                    for (qsizetype k = 0; k < moved.size(); ++k)
                        m_rows.insert(at + k, moved.at(k));
                    m_log.append(u"move %1 to %2"_s.arg(first).arg(at));
                });
        connect(&model, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &changed) {
                    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
                        for (qsizetype r = 0; r < roles.size(); ++r) {
                            if (changed.isEmpty() || changed.contains(roles.at(r)))
                                m_rows[row][r] = m_model.index(row).data(roles.at(r));
                        }
                    }
                    m_log.append(u"change %1-%2"_s.arg(topLeft.row()).arg(bottomRight.row()));
                });
        connect(&model, &QAbstractItemModel::modelReset, this, [this] {
            fetchAll();
            m_log.append(u"reset"_s);
        });
    }

    // What the view shows differs from what the model would give now: the first such row, or -1.
    [[nodiscard]] int firstStaleRow() const
    {
        if (m_rows.size() != m_model.rowCount())
            return int(qMin(m_rows.size(), qsizetype(m_model.rowCount())));
        for (int row = 0; row < m_model.rowCount(); ++row) {
            if (m_rows.at(row) != fetch(row))
                return row;
        }
        return -1;
    }
    QStringList takeLog() { return std::exchange(m_log, {}); }
    [[nodiscard]] qsizetype structuralSignals() const
    {
        return std::count_if(m_log.cbegin(), m_log.cend(),
                             [](const QString &line) { return !line.startsWith(u"change"); });
    }

private:
    QVariantList fetch(int row) const
    {
        QVariantList values;
        for (int role : roles)
            values.append(m_model.index(row).data(role));
        return values;
    }
    void fetchAll()
    {
        m_rows.clear();
        for (int row = 0; row < m_model.rowCount(); ++row)
            m_rows.append(fetch(row));
    }

    ClipListModel &m_model;
    QList<QVariantList> m_rows;
    QStringList m_log;
};

QStringList ids(const QList<ClipItem> &items)
{
    QStringList out;
    for (const ClipItem &item : items)
        out.append(item.idString());
    return out;
}

QStringList ids(const ClipListModel &model)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out.append(model.clipIdAt(row));
    return out;
}

// Rows equal the store's list, the view is current and the selection agrees with the store's.
#define VERIFY_IN_STEP(model, view, store)                                                                             \
    do {                                                                                                               \
        QCOMPARE(ids(model), ids((store).filteredItems()));                                                            \
        QCOMPARE((view).firstStaleRow(), -1);                                                                          \
        const auto &selectedClip = (store).selectedItem();                                                             \
        QCOMPARE((model).selectedRow(), selectedClip ? (model).rowOf(selectedClip->idString()) : -1);                  \
        if ((model).selectedRow() >= 0)                                                                                \
            QVERIFY((model).index((model).selectedRow()).data(ClipListModel::IsSelectedRole).toBool());                \
    } while (false)

QList<ClipItem> history(StoreFixture &f, int count, quint32 seed)
{
    QRandomGenerator rng(seed);
    QList<ClipItem> items;
    const ClipType types[] = {ClipType::Text, ClipType::Text, ClipType::Url, ClipType::Code};
    for (int i = 0; i < count; ++i) {
        ClipItem clip(QUuid::createUuid(), f.clock - 10.0 * (i + 1), types[rng.bounded(4)], rng.bounded(50) == 0);
        clip.setTextContent(u"clip %1 %2"_s.arg(i).arg(rng.bounded(2) ? u"odd"_s : u"even"_s));
        if (rng.bounded(5) == 0)
            clip.setTags({rng.bounded(2) ? u"a"_s : u"b"_s});
        items.append(clip);
    }
    return items;
}

} // namespace

class TestClipListModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void captureInsertsOneRowAndShiftsSlots()
    {
        StoreFixture f;
        f.writeHistory(history(f, 12, 1));
        ClipboardStore &store = f.open();
        ClipListModel model(store, &f.clock);
        QAbstractItemModelTester tester(&model);
        CachingView view(model);
        QCOMPARE(model.index(8).data(ClipListModel::SlotRole), 9);

        QVERIFY(store.addTextItem(u"fresh"_s).recorded());
        const QStringList log = view.takeLog();
        QCOMPARE(log.first(), u"insert 0-0"_s);
        QVERIFY(!log.contains(u"reset"_s));
        QCOMPARE(model.index(0).data(ClipListModel::SlotRole), 1);
        QCOMPARE(model.index(9).data(ClipListModel::SlotRole), 0); // was the ninth
        VERIFY_IN_STEP(model, view, store);
    }

    void pinMovesTheRowAndKeepsTheSelection()
    {
        StoreFixture f;
        QList<ClipItem> items = history(f, 30, 2);
        for (ClipItem &item : items)
            item.setPinned(false);
        f.writeHistory(items);
        ClipboardStore &store = f.open();
        ClipListModel model(store, &f.clock);
        QAbstractItemModelTester tester(&model);
        CachingView view(model);
        const ClipItem clip = store.filteredItems().at(20);
        store.setSelectedItem(clip);
        QCOMPARE(model.selectedRow(), 20);
        view.takeLog();

        store.togglePin(clip);
        QCOMPARE(view.takeLog().first(), u"move 20 to 0"_s);
        QCOMPARE(model.selectedRow(), 0);
        QCOMPARE(model.index(0).data(ClipListModel::IsPinnedRole), true);
        VERIFY_IN_STEP(model, view, store);

        store.togglePin(*store.item(clip.id()));
        QCOMPARE(view.takeLog().first(), u"move 0 to 20"_s);
        QCOMPARE(model.selectedRow(), 20);
        VERIFY_IN_STEP(model, view, store);
    }

    void deleteAndUndo()
    {
        StoreFixture f;
        f.environment.undoWindowMs = 60000;
        f.writeHistory(history(f, 10, 3));
        ClipboardStore &store = f.open();
        ClipListModel model(store, &f.clock);
        QAbstractItemModelTester tester(&model);
        CachingView view(model);
        const ClipItem clip = store.filteredItems().at(2);

        store.deleteItem(clip, true);
        QCOMPARE(view.takeLog().first(), u"remove 2-2"_s);
        VERIFY_IN_STEP(model, view, store);
        store.undoLastDelete();
        QCOMPARE(view.takeLog().first(), u"insert 2-2"_s);
        QCOMPARE(model.selectedRow(), 2); // undo selects the clip it restores
        VERIFY_IN_STEP(model, view, store);
    }

    void tagChangesOnlyItsRow()
    {
        StoreFixture f;
        QList<ClipItem> items = history(f, 10, 4);
        items[5].setTags({});
        f.writeHistory(items);
        ClipboardStore &store = f.open();
        ClipListModel model(store, &f.clock);
        CachingView view(model);
        const int row = model.rowOf(items[5].idString());
        store.addTag(u"x"_s, items[5]);
        QCOMPARE(view.takeLog(), QStringList{u"change %1-%1"_s.arg(row)});
        QCOMPARE(model.index(row).data(ClipListModel::TagsChipRole), u"#x"_s);
        VERIFY_IN_STEP(model, view, store);
    }

    void selectionChangeUpdatesBothRows()
    {
        StoreFixture f;
        f.writeHistory(history(f, 10, 5));
        ClipboardStore &store = f.open();
        ClipListModel model(store, &f.clock);
        CachingView view(model);
        QCOMPARE(model.selectedRow(), 0);
        store.setSelectedItem(store.filteredItems().at(4));
        QCOMPARE(view.takeLog(), (QStringList{u"change 0-0"_s, u"change 4-4"_s}));
        QCOMPARE(model.index(4).data(ClipListModel::AccessibleHintRole), u"Selected clip. Press Return to paste."_s);
        QCOMPARE(model.index(0).data(ClipListModel::AccessibleHintRole), u"Press Return to paste."_s);
        VERIFY_IN_STEP(model, view, store);
    }

    // Filters on a long history are told as row edits, bounded in number, never as a reset.
    void filtersOnALargeHistory()
    {
        StoreFixture f;
        f.writeHistory(history(f, 20000, 6));
        ClipboardStore &store = f.open();
        ClipListModel model(store, &f.clock);
        CachingView view(model);
        const auto search = [&store](const QString &text) {
            store.setSearchQuery(text);
            store.recalculateFilteredItems();
        };
        const std::function<void()> steps[] = {
            [&] { store.setSelectedCategory(ClipType::Code); },
            [&] { store.setSelectedCategory(ClipType::Url); },
            [&] { store.setSelectedCategory(ClipType::All); },
            [&] { store.setSelectedTag(u"a"_s); },
            [&] { store.setSelectedTag(std::nullopt); },
            [&] { search(u"odd"_s); }, // every other clip, scattered
            [&] { search(u"7 odd"_s); },
            [&] { search(u"7"_s); },
            [&] { search(QString()); },
        };
        for (const auto &step : steps) {
            step();
            QVERIFY(view.structuralSignals() <= ClipListModel::maxEditsPerUpdate);
            QVERIFY(!view.takeLog().contains(u"reset"_s));
            VERIFY_IN_STEP(model, view, store);
        }
    }

    // Any sequence of store operations leaves the model equal to the store's list.
    void randomOperationsKeepTheModelInStep()
    {
        StoreFixture f;
        f.environment.undoWindowMs = 600000;
        f.writeHistory(history(f, 60, 7));
        ClipboardStore &store = f.open();
        ClipListModel model(store, &f.clock);
        QAbstractItemModelTester tester(&model);
        CachingView view(model);
        QRandomGenerator rng(20240601);
        const ClipType categories[] = {ClipType::All, ClipType::Text, ClipType::Url, ClipType::Pinned};
        const QString searches[] = {QString(), u"1"_s, u"12"_s, u"odd"_s, u"even"_s};
        for (int step = 0; step < 400; ++step) {
            f.clock += 1;
            const QList<ClipItem> all = store.items();
            const ClipItem some = all.isEmpty() ? ClipItem() : all.at(rng.bounded(int(all.size())));
            switch (rng.bounded(10)) {
            case 0:
                store.addTextItem(u"new %1 %2"_s.arg(step).arg(rng.bounded(2) ? u"odd"_s : u"even"_s));
                break;
            case 1:
                store.togglePin(some);
                break;
            case 2:
                store.deleteItem(some, true);
                break;
            case 3:
                store.undoLastDelete();
                break;
            case 4:
                if (rng.bounded(2))
                    store.addTag(rng.bounded(2) ? u"a"_s : u"b"_s, some);
                else
                    store.removeTag(u"a"_s, some);
                break;
            case 5:
                store.setSelectedCategory(categories[rng.bounded(4)]);
                break;
            case 6:
                store.setSelectedTag(rng.bounded(2) ? std::optional(u"a"_s) : std::nullopt);
                break;
            case 7:
                store.setSearchQuery(searches[rng.bounded(5)]);
                store.recalculateFilteredItems();
                break;
            case 8:
                if (!store.filteredItems().isEmpty())
                    store.setSelectedItem(store.filteredItems().at(rng.bounded(int(store.filteredItems().size()))));
                break;
            default:
                if (step % 100 == 99)
                    store.clearHistory(true);
                break;
            }
            QVERIFY2(!view.takeLog().contains(u"reset"_s), qPrintable(u"step %1"_s.arg(step)));
            VERIFY_IN_STEP(model, view, store);
        }
    }

    // The diff itself, with a small edit budget, on lists no store would produce.
    void diffRebuildsTheNewList()
    {
        QRandomGenerator rng(99);
        QList<ClipItem> pool;
        for (int i = 0; i < 40; ++i)
            pool.append(ClipItem(QUuid::createUuid(), i, ClipType::Text));
        for (int round = 0; round < 500; ++round) {
            QList<ClipItem> before;
            QList<ClipItem> after;
            for (const ClipItem &clip : pool) {
                if (rng.bounded(4))
                    before.append(clip);
                if (round % 3 == 0 ? true : rng.bounded(4) > 0)
                    after.append(clip);
            }
            if (round % 3 == 0 && !before.isEmpty()) { // one clip moved, the rest as before
                after = before;
                after.move(rng.bounded(int(after.size())), rng.bounded(int(after.size())));
            } else if (round % 3 == 1)
                std::shuffle(after.begin(), after.begin() + rng.bounded(int(after.size()) + 1), rng);
            for (int k = 0; k < 3 && !after.isEmpty(); ++k) {
                after[rng.bounded(int(after.size()))].setTags({u"changed"_s});
                after[rng.bounded(int(after.size()))].setColorHex(u"#ABC"_s); // a new version, shown the same
            }
            const qsizetype budget = 2 + rng.bounded(6);
            const ClipListDiff diff = ClipListDiff::compute(before, after, budget);

            QList<ClipItem> rebuilt;
            QList<qsizetype> kept; // rows of `after` that stay the same row object in a view
            if (diff.move) {
                rebuilt = before;
                rebuilt.move(diff.move->from, diff.move->to);
                for (qsizetype j = 0; j < after.size(); ++j)
                    kept.append(j);
            }
            qsizetype oldPos = 0;
            qsizetype newPos = 0;
            qsizetype structural = 0;
            for (const ClipListDiff::Edit &edit : diff.edits) {
                if (edit.kind == ClipListDiff::Edit::Kind::Remove) {
                    oldPos += edit.count;
                    ++structural;
                    continue;
                }
                if (edit.kind == ClipListDiff::Edit::Kind::Keep) {
                    for (qsizetype k = 0; k < edit.count; ++k) {
                        QCOMPARE(before.at(oldPos + k).id(), after.at(newPos + k).id());
                        kept.append(newPos + k);
                    }
                    oldPos += edit.count;
                } else {
                    ++structural;
                }
                rebuilt.append(after.mid(newPos, edit.count));
                newPos += edit.count;
            }
            QCOMPARE(ids(rebuilt), ids(after));
            QVERIFY(structural <= budget);
            QList<qsizetype> expectedChanged;
            QList<qsizetype> expectedReplaced;
            for (qsizetype j : kept) {
                if (!after.at(j).tags().isEmpty())
                    expectedChanged.append(j);
                if (!after.at(j).tags().isEmpty() || after.at(j).hasColorHex())
                    expectedReplaced.append(j);
            }
            QCOMPARE(diff.changedRows, expectedChanged);
            QCOMPARE(diff.replacedRows, expectedReplaced);
        }
    }
};

QTEST_MAIN(TestClipListModel)
#include "tst_cliplistmodel.moc"
