// SPDX-License-Identifier: MIT
#include "ClipListDiff.h"

#include <QHash>
#include <algorithm>
#include <vector>

namespace Vexilo {

namespace {

// Same: the very same clip data. Refreshed: a new version of the clip that shows the same row.
enum class Match : quint8 { Different, Same, Refreshed, Changed };

// Unchanged clips share their data with the previous list, so the common case is a pointer compare.
Match compare(const ClipItem &a, const ClipItem &b)
{
    if (a == b)
        return Match::Same;
    if (a.id() != b.id())
        return Match::Different;
    return ClipListDiff::rowDiffers(a, b) ? Match::Changed : Match::Refreshed;
}

// The rows of the new list whose clip is a new version of the old one.
struct Versions
{
    QList<qsizetype> changed;
    QList<qsizetype> replaced;
    void note(Match match, qsizetype row)
    {
        if (match == Match::Changed)
            changed.append(row);
        if (match == Match::Changed || match == Match::Refreshed)
            replaced.append(row);
    }
    void append(const Versions &other)
    {
        changed.append(other.changed);
        replaced.append(other.replaced);
    }
};

// Collects the edits of the differing middle span while a walk over both lists reports what it finds.
class Builder
{
public:
    Builder(const QList<ClipItem> &before, const QList<ClipItem> &after, qsizetype oldEnd, qsizetype newEnd,
            qsizetype maxEdits)
        : m_before(before)
        , m_after(after)
        , m_oldEnd(oldEnd)
        , m_newEnd(newEnd)
        , m_maxEdits(qMax<qsizetype>(2, maxEdits))
    { }

    void start(qsizetype prefix)
    {
        m_edits.clear();
        m_versions = {};
        m_structural = 0;
        m_collapsed = false;
        m_firstShifted = -1;
        m_old = m_new = prefix;
        if (prefix > 0)
            m_edits.append({Kind::Keep, prefix});
    }

    [[nodiscard]] bool collapsed() const { return m_collapsed; }
    [[nodiscard]] qsizetype oldPos() const { return m_old; }
    [[nodiscard]] qsizetype newPos() const { return m_new; }

    // The clips at the current positions of both lists are the same clip.
    void keep(Match match)
    {
        m_versions.note(match, m_new);
        add(Kind::Keep, 1);
        ++m_old;
        ++m_new;
    }
    void keepSame() { keep(compare(m_before.at(m_old), m_after.at(m_new))); }
    void remove(qsizetype count)
    {
        if (count > 0 && structural(Kind::Remove)) {
            add(Kind::Remove, count);
            m_old += count;
        }
    }
    void insert(qsizetype count)
    {
        if (count > 0 && structural(Kind::Insert)) {
            add(Kind::Insert, count);
            m_new += count;
        }
    }

    void finish(ClipListDiff &diff, Versions &versions, qsizetype suffix)
    {
        if (suffix > 0)
            add(Kind::Keep, suffix);
        diff.edits = std::move(m_edits);
        versions.append(m_versions);
        diff.firstShiftedRow = m_firstShifted;
    }

private:
    using Kind = ClipListDiff::Edit::Kind;

    void add(Kind kind, qsizetype count)
    {
        if (!m_edits.isEmpty() && m_edits.last().kind == kind)
            m_edits.last().count += count;
        else
            m_edits.append({kind, count});
    }

    // False once the edit budget is spent: the rest of both spans is then swapped whole, once.
    bool structural(Kind kind)
    {
        if (m_collapsed)
            return false;
        if (m_firstShifted < 0)
            m_firstShifted = m_new;
        if (!m_edits.isEmpty() && m_edits.last().kind == kind)
            return true;
        if (m_structural + 2 < m_maxEdits) {
            ++m_structural;
            return true;
        }
        m_collapsed = true;
        if (m_old < m_oldEnd)
            add(Kind::Remove, m_oldEnd - m_old);
        if (m_new < m_newEnd)
            add(Kind::Insert, m_newEnd - m_new);
        m_old = m_oldEnd;
        m_new = m_newEnd;
        return false;
    }

    const QList<ClipItem> &m_before;
    const QList<ClipItem> &m_after;
    const qsizetype m_oldEnd;
    const qsizetype m_newEnd;
    const qsizetype m_maxEdits;
    QList<ClipListDiff::Edit> m_edits;
    Versions m_versions;
    qsizetype m_structural = 0;
    qsizetype m_old = 0;
    qsizetype m_new = 0;
    qsizetype m_firstShifted = -1;
    bool m_collapsed = false;
};

// Rows of `after` for a single clip moved from one end of the span to the other; nothing otherwise.
std::optional<Versions> movedAcross(const QList<ClipItem> &before, const QList<ClipItem> &after, qsizetype oldFirst,
                                    qsizetype newFirst, qsizetype length)
{
    Versions versions;
    for (qsizetype k = 0; k < length; ++k) {
        const Match match = compare(before.at(oldFirst + k), after.at(newFirst + k));
        if (match == Match::Different)
            return std::nullopt;
        versions.note(match, newFirst + k);
    }
    return versions;
}

std::optional<ClipListDiff::Move> singleMove(const QList<ClipItem> &before, const QList<ClipItem> &after,
                                             qsizetype first, qsizetype end, Versions &versions)
{
    const qsizetype last = end - 1;
    // Down: the first clip went to the end.
    Match moved = compare(before.at(first), after.at(last));
    if (moved != Match::Different) {
        if (auto rest = movedAcross(before, after, first + 1, first, last - first)) {
            versions.append(*rest);
            versions.note(moved, last);
            return ClipListDiff::Move{first, last};
        }
    }
    // Up: the last clip went to the front.
    moved = compare(before.at(last), after.at(first));
    if (moved != Match::Different) {
        if (auto rest = movedAcross(before, after, first, first + 1, last - first)) {
            versions.note(moved, first);
            versions.append(*rest);
            return ClipListDiff::Move{last, first};
        }
    }
    return std::nullopt;
}

// The positions of a longest strictly increasing subsequence of the values that are not negative.
std::vector<bool> longestIncreasing(const std::vector<qsizetype> &values)
{
    std::vector<qsizetype> tails; // index into values of the smallest tail of each length
    std::vector<qsizetype> previous(values.size(), -1);
    for (qsizetype i = 0; i < qsizetype(values.size()); ++i) {
        if (values[size_t(i)] < 0)
            continue;
        const auto at = std::lower_bound(tails.begin(), tails.end(), values[size_t(i)],
                                         [&](qsizetype tail, qsizetype v) { return values[size_t(tail)] < v; });
        if (at != tails.begin())
            previous[size_t(i)] = *(at - 1);
        if (at == tails.end())
            tails.push_back(i);
        else
            *at = i;
    }
    std::vector<bool> kept(values.size(), false);
    for (qsizetype i = tails.empty() ? -1 : tails.back(); i >= 0; i = previous[size_t(i)])
        kept[size_t(i)] = true;
    return kept;
}

} // namespace

bool ClipListDiff::rowDiffers(const ClipItem &a, const ClipItem &b)
{
    return a.type() != b.type() || a.isPinned() != b.isPinned() || a.isSnippet() != b.isSnippet() ||
        a.createdAt() != b.createdAt() || a.snippetTitle() != b.snippetTitle() ||
        a.textContentUtf8() != b.textContentUtf8() || a.imageFileName() != b.imageFileName() ||
        a.imageWidth() != b.imageWidth() || a.imageHeight() != b.imageHeight() || a.tags() != b.tags() ||
        a.extractedText() != b.extractedText() || a.detectedLanguage() != b.detectedLanguage() ||
        a.filePaths() != b.filePaths() || a.sourceAppName() != b.sourceAppName() ||
        a.sourceAppBundleId() != b.sourceAppBundleId();
}

ClipListDiff ClipListDiff::compute(const QList<ClipItem> &before, const QList<ClipItem> &after, qsizetype maxEdits)
{
    ClipListDiff diff;
    const qsizetype oldSize = before.size();
    const qsizetype newSize = after.size();
    const qsizetype shorter = qMin(oldSize, newSize);

    Versions versions;
    qsizetype prefix = 0;
    for (; prefix < shorter; ++prefix) {
        const Match match = compare(before.at(prefix), after.at(prefix));
        if (match == Match::Different)
            break;
        versions.note(match, prefix);
    }
    qsizetype suffix = 0;
    Versions suffixVersions; // descending
    for (; suffix < shorter - prefix; ++suffix) {
        const Match match = compare(before.at(oldSize - 1 - suffix), after.at(newSize - 1 - suffix));
        if (match == Match::Different)
            break;
        suffixVersions.note(match, newSize - 1 - suffix);
    }
    const qsizetype oldEnd = oldSize - suffix;
    const qsizetype newEnd = newSize - suffix;
    const qsizetype oldSpan = oldEnd - prefix;
    const qsizetype newSpan = newEnd - prefix;
    const auto finish = [&] {
        std::reverse(suffixVersions.changed.begin(), suffixVersions.changed.end());
        std::reverse(suffixVersions.replaced.begin(), suffixVersions.replaced.end());
        versions.append(suffixVersions);
        diff.changedRows = std::move(versions.changed);
        diff.replacedRows = std::move(versions.replaced);
        return diff;
    };

    if (oldSpan == newSpan && oldSpan >= 2) {
        if (const auto move = singleMove(before, after, prefix, oldEnd, versions)) {
            diff.move = move;
            diff.firstShiftedRow = prefix;
            return finish();
        }
    }

    Builder builder(before, after, oldEnd, newEnd, maxEdits);
    builder.start(prefix);
    bool found = oldSpan == 0 || newSpan == 0;
    if (found) {
        builder.remove(oldSpan);
        builder.insert(newSpan);
    }
    if (!found && newSpan < oldSpan) {
        // Removals only: a filter narrowed, or clips were deleted.
        while (builder.oldPos() < oldEnd && !builder.collapsed()) {
            if (oldEnd - builder.oldPos() < newEnd - builder.newPos())
                break;
            const Match match = builder.newPos() < newEnd
                ? compare(before.at(builder.oldPos()), after.at(builder.newPos()))
                : Match::Different;
            if (match == Match::Different)
                builder.remove(1);
            else
                builder.keep(match);
        }
        found = builder.collapsed() || (builder.oldPos() == oldEnd && builder.newPos() == newEnd);
        if (!found)
            builder.start(prefix);
    }
    if (!found && newSpan > oldSpan) {
        // Insertions only: a filter widened, or clips came back.
        while (builder.newPos() < newEnd && !builder.collapsed()) {
            if (newEnd - builder.newPos() < oldEnd - builder.oldPos())
                break;
            const Match match = builder.oldPos() < oldEnd
                ? compare(before.at(builder.oldPos()), after.at(builder.newPos()))
                : Match::Different;
            if (match == Match::Different)
                builder.insert(1);
            else
                builder.keep(match);
        }
        found = builder.collapsed() || (builder.oldPos() == oldEnd && builder.newPos() == newEnd);
        if (!found)
            builder.start(prefix);
    }
    if (!found) {
        // Anything else: clips that stay in the same relative order are kept, the rest leave and
        // come back at their new places.
        QHash<QUuid, qsizetype> newRow;
        newRow.reserve(newSpan);
        for (qsizetype j = prefix; j < newEnd; ++j)
            newRow.insert(after.at(j).id(), j - prefix);
        std::vector<qsizetype> target(size_t(oldSpan), -1);
        for (qsizetype i = 0; i < oldSpan; ++i)
            target[size_t(i)] = newRow.value(before.at(prefix + i).id(), -1);
        const std::vector<bool> keptOld = longestIncreasing(target);
        std::vector<bool> keptNew(size_t(newSpan), false);
        for (qsizetype i = 0; i < oldSpan; ++i) {
            if (keptOld[size_t(i)])
                keptNew[size_t(target[size_t(i)])] = true;
        }
        while (!builder.collapsed() && (builder.oldPos() < oldEnd || builder.newPos() < newEnd)) {
            qsizetype run = 0;
            while (builder.oldPos() + run < oldEnd && !keptOld[size_t(builder.oldPos() + run - prefix)])
                ++run;
            if (run > 0) {
                builder.remove(run);
                continue;
            }
            while (builder.newPos() + run < newEnd && !keptNew[size_t(builder.newPos() + run - prefix)])
                ++run;
            if (run > 0) {
                builder.insert(run);
                continue;
            }
            builder.keepSame();
        }
    }
    builder.finish(diff, versions, suffix);
    return finish();
}

} // namespace Vexilo
