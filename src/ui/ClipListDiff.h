// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QList>
#include <optional>

namespace Vexilo {

// The steps that turn one list of clips into the next, matched by clip id, for a model that tells its
// views exactly which rows came, went, moved or changed. Linear in the length of the lists: common
// ends are skipped, one moved clip and pure removals or insertions are found by a walk, anything else
// by hashing the ids.
class ClipListDiff
{
public:
    struct Edit
    {
        enum class Kind : quint8 { Keep, Remove, Insert };
        Kind kind = Kind::Keep;
        qsizetype count = 0;
        friend bool operator==(const Edit &, const Edit &) = default;
    };

    // One clip that left its place while everything else kept its order.
    struct Move
    {
        qsizetype from = 0; // in the old list
        qsizetype to = 0; // in the new list
    };

    // Top-down edits over both lists: Keep advances both, Remove takes old rows, Insert new ones.
    // Unused when `move` is set.
    QList<Edit> edits;
    std::optional<Move> move;
    // Rows (of the new list) of clips in both lists whose shown fields differ, ascending.
    QList<qsizetype> changedRows;
    // Rows of clips in both lists that come in a new version, shown differently or not, ascending.
    QList<qsizetype> replacedRows;
    // First row of the new list whose position or clip differs from the old list; -1 when none.
    qsizetype firstShiftedRow = -1;

    // `maxEdits` bounds the number of Remove and Insert edits: past it, the rest of the differing
    // span is replaced as one removal and one insertion. Views pay per edit, and a filter that keeps
    // every other clip of a long list would otherwise send tens of thousands of them.
    [[nodiscard]] static ClipListDiff compute(const QList<ClipItem> &before, const QList<ClipItem> &after,
                                              qsizetype maxEdits);

    // True when the two versions of a clip (same id) would show differently in a list row.
    [[nodiscard]] static bool rowDiffers(const ClipItem &a, const ClipItem &b);
};

} // namespace Vexilo
