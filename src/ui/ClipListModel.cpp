// SPDX-License-Identifier: MIT
#include "ClipListModel.h"

#include "ClipListDiff.h"
#include "ClipRowText.h"
#include "ClipboardStore.h"
#include "Clock.h"
#include "ReferenceDate.h"

using namespace Qt::StringLiterals;

namespace Vexilo {

ClipListModel::ClipListModel(ClipboardStore &store, Clock *clock, QObject *parent)
    : QAbstractListModel(parent)
    , m_store(store)
    , m_clock(clock)
    , m_rows(store.filteredItems())
{
    m_rows.detach();
    if (const auto &selected = store.selectedItem()) {
        m_selectedId = selected->id();
        m_selectedRow = findRow(m_selectedId, 0);
    }
    connect(&store, &ClipboardStore::filteredItemsChanged, this, &ClipListModel::followStore);
    connect(&store, &ClipboardStore::selectedItemChanged, this, &ClipListModel::followSelection);
}

ClipListModel::~ClipListModel() = default;

int ClipListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return int(m_updating ? m_rows.size() + m_before.size() - m_splitOld : m_rows.size());
}

const ClipItem &ClipListModel::clipAt(int row) const
{
    if (m_updating && row >= m_rows.size())
        return m_before.at(m_splitOld + row - m_rows.size());
    return m_rows.at(row);
}

QVariant ClipListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row();
    const ClipItem &item = clipAt(row);
    switch (Role(role)) {
    case ClipIdRole:
        return item.idString();
    case TitleRole:
        return item.previewTitle();
    case SubtitleRole:
        return ClipRowText::subtitle(item);
    case BadgeLabelRole:
        return item.listTypeBadgeLabel();
    case BadgeTintRole:
        return ClipRowText::badgeTint(item);
    case TileTintRole:
        return ClipRowText::tileTint(item);
    case CategoryNameRole:
        return ClipRowText::categoryName(item);
    case IsCodeRole:
        return item.type() == ClipType::Code;
    case IsPinnedRole:
        return item.isPinned();
    case IsSnippetRole:
        return item.isSnippet();
    case TagsChipRole:
        return ClipRowText::tagsChip(item.tags());
    case AgeRole:
        return item.timeAgoString(now());
    case LanguageRole:
        return ClipRowText::language(item);
    case HasExtractedTextRole:
        return item.hasExtractedText() && !item.extractedText().isEmpty();
    case ImageFileNameRole:
        return item.imageFileName();
    case VisualKindRole:
        return ClipRowText::visualKind(item);
    case TileIconRole:
        return ClipRowText::tileIcon(item);
    case SourceAppBundleIdRole:
        return item.sourceAppBundleId();
    case SlotRole:
        return row < slotCount ? row + 1 : 0;
    case IsSelectedRole:
        return !m_selectedId.isNull() && item.id() == m_selectedId;
    case AccessibleNameRole:
        return QString(item.previewTitle() + u", "_s + ClipRowText::categoryName(item) + u", "_s +
                       item.timeAgoString(now()));
    case AccessibleHintRole:
        return !m_selectedId.isNull() && item.id() == m_selectedId ? u"Selected clip. Press Return to paste."_s
                                                                   : u"Press Return to paste."_s;
    }
    return {};
}

QHash<int, QByteArray> ClipListModel::roleNames() const
{
    return {
        {ClipIdRole, "clipId"},
        {TitleRole, "title"},
        {SubtitleRole, "subtitle"},
        {BadgeLabelRole, "badgeLabel"},
        {BadgeTintRole, "badgeTint"},
        {TileTintRole, "tileTint"},
        {CategoryNameRole, "categoryName"},
        {IsCodeRole, "isCode"},
        {IsPinnedRole, "isPinned"},
        {IsSnippetRole, "isSnippet"},
        {TagsChipRole, "tagsChip"},
        {AgeRole, "age"},
        {LanguageRole, "language"},
        {HasExtractedTextRole, "hasExtractedText"},
        {ImageFileNameRole, "imageFileName"},
        {VisualKindRole, "visualKind"},
        {TileIconRole, "tileIcon"},
        {SourceAppBundleIdRole, "sourceAppBundleId"},
        {SlotRole, "slot"},
        {IsSelectedRole, "isSelected"},
        {AccessibleNameRole, "accessibleName"},
        {AccessibleHintRole, "accessibleHint"},
    };
}

int ClipListModel::rowOf(const QString &id) const
{
    const QUuid uuid(id);
    return uuid.isNull() ? -1 : findRow(uuid, m_selectedRow);
}

QString ClipListModel::clipIdAt(int row) const
{
    return row >= 0 && row < rowCount() ? clipAt(row).idString() : QString();
}

void ClipListModel::refreshAges()
{
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0), index(rowCount() - 1), {AgeRole, AccessibleNameRole});
}

double ClipListModel::now() const
{
    return m_clock ? m_clock->now() : ReferenceDate::now();
}

int ClipListModel::findRow(const QUuid &id, int hint) const
{
    // The selected clip is nearly always near the top, so a plain walk finds it early.
    if (hint >= 0 && hint < rowCount() && clipAt(hint).id() == id)
        return hint;
    for (int row = 0; row < rowCount(); ++row) {
        if (clipAt(row).id() == id)
            return row;
    }
    return -1;
}

void ClipListModel::followStore()
{
    // A handle on the store's list for the duration; the rows themselves are a separate list, so
    // that the store can keep changing its own in place.
    const QList<ClipItem> after = m_store.filteredItems();
    const ClipListDiff diff = ClipListDiff::compute(m_rows, after, maxEditsPerUpdate);
    const int oldCount = rowCount();
    const int oldSelected = m_selectedRow;
    apply(diff, after);

    emitChangedRuns(diff.changedRows);
    // Slot numbers belong to positions: rows that moved into, out of or within the first nine change.
    if (const int last = lastRenumberedRow(diff); last >= 0)
        Q_EMIT dataChanged(index(int(qMax<qsizetype>(0, diff.firstShiftedRow))), index(last), {SlotRole});

    // The selected clip's row follows it; the store announces a new selection separately. A clip
    // that was not kept can only be among the inserted rows.
    int selected = mapRow(diff, oldSelected);
    if (selected < 0 && !m_selectedId.isNull())
        selected = findInserted(diff, m_selectedId);
    setSelectedRow(selected);
    if (rowCount() != oldCount)
        Q_EMIT countChanged();
}

void ClipListModel::apply(const ClipListDiff &diff, const QList<ClipItem> &after)
{
    if (diff.move) {
        const int from = int(diff.move->from);
        const int to = int(diff.move->to);
        beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
        m_rows.move(from, to);
        endMoveRows();
    } else if (diff.firstShiftedRow >= 0) {
        // Rebuilt top-down: kept clips move over, so no clip's reference count is touched but those
        // that come or go.
        m_before = std::exchange(m_rows, {});
        m_rows.reserve(after.size());
        m_splitOld = 0;
        m_updating = true;
        ClipItem *before = m_before.data();
        for (const ClipListDiff::Edit &edit : diff.edits) {
            const int first = int(m_rows.size());
            const int last = int(m_rows.size() + edit.count - 1);
            switch (edit.kind) {
            case ClipListDiff::Edit::Kind::Keep:
                for (qsizetype k = 0; k < edit.count; ++k)
                    m_rows.append(std::move(before[m_splitOld + k]));
                m_splitOld += edit.count;
                break;
            case ClipListDiff::Edit::Kind::Remove:
                beginRemoveRows({}, first, last);
                m_splitOld += edit.count;
                endRemoveRows();
                break;
            case ClipListDiff::Edit::Kind::Insert:
                beginInsertRows({}, first, last);
                for (qsizetype k = 0; k < edit.count; ++k)
                    m_rows.append(after.at(first + k));
                endInsertRows();
                break;
            }
        }
        Q_ASSERT(m_rows.size() == after.size() && m_splitOld == m_before.size());
        m_updating = false;
        m_before = {};
    }
    for (qsizetype row : diff.replacedRows)
        m_rows[row] = after.at(row);
}

int ClipListModel::mapRow(const ClipListDiff &diff, int oldRow) const
{
    if (oldRow < 0)
        return -1;
    if (diff.move) {
        const auto [from, to] = *diff.move;
        if (oldRow == from)
            return int(to);
        if (from < to && oldRow > from && oldRow <= to)
            return oldRow - 1;
        if (to < from && oldRow >= to && oldRow < from)
            return oldRow + 1;
        return oldRow;
    }
    qsizetype oldPos = 0;
    qsizetype newPos = 0;
    for (const ClipListDiff::Edit &edit : diff.edits) {
        if (edit.kind != ClipListDiff::Edit::Kind::Insert && oldRow < oldPos + edit.count)
            return edit.kind == ClipListDiff::Edit::Kind::Keep ? int(newPos + oldRow - oldPos) : -1;
        if (edit.kind != ClipListDiff::Edit::Kind::Insert)
            oldPos += edit.count;
        if (edit.kind != ClipListDiff::Edit::Kind::Remove)
            newPos += edit.count;
    }
    return -1;
}

int ClipListModel::lastRenumberedRow(const ClipListDiff &diff)
{
    // Rows kept from old to new with a shift; the first k of them matter when either side is a slot.
    qsizetype last = -1;
    const auto kept = [&last](qsizetype oldRow, qsizetype newRow, qsizetype count) {
        if (oldRow == newRow)
            return;
        const qsizetype renumbered = qMin(count, qMax<qsizetype>(0, slotCount - qMin(oldRow, newRow)));
        if (renumbered > 0)
            last = qMax(last, newRow + renumbered - 1);
    };
    if (diff.move) {
        const auto [from, to] = *diff.move;
        kept(from, to, 1);
        if (from < to)
            kept(from + 1, from, to - from);
        else
            kept(to, to + 1, from - to);
        return int(last);
    }
    qsizetype oldPos = 0;
    qsizetype newPos = 0;
    for (const ClipListDiff::Edit &edit : diff.edits) {
        if (edit.kind == ClipListDiff::Edit::Kind::Keep)
            kept(oldPos, newPos, edit.count);
        if (edit.kind != ClipListDiff::Edit::Kind::Insert)
            oldPos += edit.count;
        if (edit.kind != ClipListDiff::Edit::Kind::Remove)
            newPos += edit.count;
    }
    return int(last);
}

int ClipListModel::findInserted(const ClipListDiff &diff, const QUuid &id) const
{
    qsizetype newPos = 0;
    for (const ClipListDiff::Edit &edit : diff.edits) {
        if (edit.kind == ClipListDiff::Edit::Kind::Insert) {
            for (qsizetype row = newPos; row < newPos + edit.count; ++row) {
                if (m_rows.at(row).id() == id)
                    return int(row);
            }
        }
        if (edit.kind != ClipListDiff::Edit::Kind::Remove)
            newPos += edit.count;
    }
    return -1;
}

void ClipListModel::followSelection()
{
    const auto &selected = m_store.selectedItem();
    const QUuid id = selected ? selected->id() : QUuid();
    if (id == m_selectedId)
        return;
    const int previous = m_selectedRow;
    m_selectedId = id;
    const int row = id.isNull() ? -1 : findRow(id, previous);
    const QList<int> roles{IsSelectedRole, AccessibleHintRole};
    if (previous >= 0)
        Q_EMIT dataChanged(index(previous), index(previous), roles);
    if (row >= 0)
        Q_EMIT dataChanged(index(row), index(row), roles);
    setSelectedRow(row);
}

void ClipListModel::setSelectedRow(int row)
{
    if (row == m_selectedRow)
        return;
    m_selectedRow = row;
    Q_EMIT selectedRowChanged();
}

void ClipListModel::emitChangedRuns(const QList<qsizetype> &rows, const QList<int> &roles)
{
    for (qsizetype i = 0; i < rows.size();) {
        qsizetype end = i + 1;
        while (end < rows.size() && rows.at(end) == rows.at(end - 1) + 1)
            ++end;
        Q_EMIT dataChanged(index(int(rows.at(i))), index(int(rows.at(end - 1))), roles);
        i = end;
    }
}

} // namespace Vexilo
