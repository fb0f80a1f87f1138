// SPDX-License-Identifier: MIT
#include "MenuBarClipListModel.h"

#include "MenuBarPopoverModel.h"

namespace Vexilo {

MenuBarClipListModel::MenuBarClipListModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

int MenuBarClipListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant MenuBarClipListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ClipItem &item = m_rows.at(index.row());
    const bool showsFeedback = !m_feedbackId.isEmpty() && item.idString() == m_feedbackId;
    switch (Role(role)) {
    case ClipIdRole:
        return item.idString();
    case TitleRole:
        return item.previewTitle();
    case IconRole:
        return MenuBarPopoverModel::typeSymbol(item);
    case SubtitleRole:
        if (showsFeedback)
            return m_feedbackText;
        return QString(MenuBarPopoverModel::kindLabel(item) + QStringLiteral(" · ") + item.timeAgoString(m_now));
    case FeedbackRole:
        return showsFeedback;
    case PinnedRole:
        return item.isPinned();
    }
    return {};
}

QHash<int, QByteArray> MenuBarClipListModel::roleNames() const
{
    return {
        {ClipIdRole, "clipId"},     {TitleRole, "title"},       {IconRole, "icon"},
        {SubtitleRole, "subtitle"}, {FeedbackRole, "feedback"}, {PinnedRole, "pinned"},
    };
}

QString MenuBarClipListModel::clipIdAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).idString() : QString();
}

void MenuBarClipListModel::setClips(const QList<ClipItem> &clips, double now)
{
    const bool sameRows = std::equal(clips.begin(), clips.end(), m_rows.begin(), m_rows.end(),
                                     [](const ClipItem &a, const ClipItem &b) { return a.id() == b.id(); });
    if (!sameRows) {
        const qsizetype oldCount = m_rows.size();
        beginResetModel();
        m_rows = clips;
        m_now = now;
        endResetModel();
        if (oldCount != m_rows.size())
            Q_EMIT countChanged();
        return;
    }
    // Ages move on with `now`, so every row may read differently.
    m_rows = clips;
    m_now = now;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1));
}

void MenuBarClipListModel::setFeedback(const QString &clipId, const QString &text)
{
    const int oldRow = rowOf(m_feedbackId);
    m_feedbackId = clipId;
    m_feedbackText = text;
    const int newRow = rowOf(clipId);
    const QList<int> roles = {SubtitleRole, FeedbackRole};
    if (oldRow >= 0)
        Q_EMIT dataChanged(index(oldRow), index(oldRow), roles);
    if (newRow >= 0 && newRow != oldRow)
        Q_EMIT dataChanged(index(newRow), index(newRow), roles);
}

int MenuBarClipListModel::rowOf(const QString &clipId) const
{
    if (clipId.isEmpty())
        return -1;
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows.at(row).idString() == clipId)
            return row;
    }
    return -1;
}

} // namespace Vexilo
