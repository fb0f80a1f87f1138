// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

namespace Vexilo {

// The few clips of the tray popover as rows. One row at a time may show a confirmation in place
// of its subtitle.
class MenuBarClipListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the popover")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        ClipIdRole = Qt::UserRole + 1,
        TitleRole,
        IconRole,
        SubtitleRole,
        FeedbackRole,
        PinnedRole,
    };
    Q_ENUM(Role)

    explicit MenuBarClipListModel(QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;
    [[nodiscard]] int count() const { return int(m_rows.size()); }
    [[nodiscard]] const QList<ClipItem> &clips() const { return m_rows; }
    // Empty past the end.
    Q_INVOKABLE [[nodiscard]] QString clipIdAt(int row) const;

    // The same clips in the same order are updated in place, so that the rows keep their hover
    // and the list its scroll position; anything else starts over.
    void setClips(const QList<ClipItem> &clips, double now);
    void setFeedback(const QString &clipId, const QString &text);

Q_SIGNALS:
    void countChanged();

private:
    [[nodiscard]] int rowOf(const QString &clipId) const;

    QList<ClipItem> m_rows;
    double m_now = 0;
    QString m_feedbackId;
    QString m_feedbackText;
};

} // namespace Vexilo
