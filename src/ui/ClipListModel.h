// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QAbstractListModel>
#include <QUuid>
#include <QtQml/qqmlregistration.h>

namespace Vexilo {

class ClipboardStore;
class ClipListDiff;
class Clock;

// The store's filtered clips as rows for the history list. It keeps its own copy of the list and,
// when the store publishes a new one, tells views exactly which rows were inserted, removed, moved or
// changed, never resetting: a capture, pin or delete in a long history keeps the view's place and
// its selection.
class ClipListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the application")
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int selectedRow READ selectedRow NOTIFY selectedRowChanged)

public:
    enum Role {
        ClipIdRole = Qt::UserRole + 1,
        TitleRole,
        SubtitleRole,
        BadgeLabelRole,
        BadgeTintRole,
        TileTintRole,
        CategoryNameRole,
        IsCodeRole,
        IsPinnedRole,
        IsSnippetRole,
        TagsChipRole,
        AgeRole,
        LanguageRole,
        HasExtractedTextRole,
        ImageFileNameRole,
        VisualKindRole,
        TileIconRole,
        SourceAppBundleIdRole,
        SlotRole,
        IsSelectedRole,
        AccessibleNameRole,
        AccessibleHintRole,
    };
    Q_ENUM(Role)

    // Rows with a quick-paste slot number.
    static constexpr int slotCount = 9;
    // Row signals one list change may send before the rest of the change goes as one replacement.
    static constexpr qsizetype maxEditsPerUpdate = 256;

    // Ages are relative to the clock; without one, to the system time.
    explicit ClipListModel(ClipboardStore &store, Clock *clock = nullptr, QObject *parent = nullptr);
    ~ClipListModel() override;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] int count() const { return rowCount(); }
    // Row of the store's selected clip, -1 when it is not in the list.
    [[nodiscard]] int selectedRow() const { return m_selectedRow; }
    Q_INVOKABLE int rowOf(const QString &id) const;
    Q_INVOKABLE QString clipIdAt(int row) const;
    // Recomputes the age texts (they follow the clock, not the clips); the window calls it when shown.
    Q_INVOKABLE void refreshAges();

    [[nodiscard]] const ClipItem &clipAt(int row) const;

Q_SIGNALS:
    void countChanged();
    void selectedRowChanged();

private:
    void followStore();
    void apply(const ClipListDiff &diff, const QList<ClipItem> &after);
    void followSelection();
    void setSelectedRow(int row);
    [[nodiscard]] int findRow(const QUuid &id, int hint) const;
    [[nodiscard]] int mapRow(const ClipListDiff &diff, int oldRow) const;
    [[nodiscard]] static int lastRenumberedRow(const ClipListDiff &diff);
    [[nodiscard]] int findInserted(const ClipListDiff &diff, const QUuid &id) const;
    void emitChangedRuns(const QList<qsizetype> &rows, const QList<int> &roles = {});
    [[nodiscard]] double now() const;

    ClipboardStore &m_store;
    Clock *m_clock;
    // The rows. While a change is being told, they are m_rows followed by m_before from m_splitOld
    // on: every signal sees the model in the state it describes.
    QList<ClipItem> m_rows;
    QList<ClipItem> m_before;
    qsizetype m_splitOld = 0;
    bool m_updating = false;
    QUuid m_selectedId;
    int m_selectedRow = -1;
};

} // namespace Vexilo
