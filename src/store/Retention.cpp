// SPDX-License-Identifier: MIT
#include "Retention.h"

#include "ReferenceDate.h"

namespace Vexilo::Retention {

namespace {
bool isOrdinary(const ClipItem &item)
{
    return !item.isSnippet() && !item.isPinned();
}
} // namespace

Outcome enforceLimit(const QList<ClipItem> &items, int limit)
{
    Outcome outcome;
    if (limit < 1)
        return outcome;
    QList<ClipItem> snippets;
    QList<ClipItem> pinned;
    QList<ClipItem> ordinary;
    for (const ClipItem &item : items) {
        if (item.isSnippet())
            snippets.append(item);
        else if (item.isPinned())
            pinned.append(item);
        else
            ordinary.append(item);
    }
    const qsizetype allowed = qMax<qsizetype>(limit - pinned.size(), 1);
    if (ordinary.size() <= allowed)
        return outcome;
    outcome.changed = true;
    outcome.removed = ordinary.mid(allowed);
    outcome.items.reserve(pinned.size() + allowed + snippets.size());
    outcome.items << pinned << ordinary.first(allowed) << snippets;
    return outcome;
}

Outcome removeExpired(const QList<ClipItem> &items, double cutoff)
{
    Outcome outcome;
    outcome.items.reserve(items.size());
    for (const ClipItem &item : items) {
        if (isOrdinary(item) && item.createdAt() < cutoff)
            outcome.removed.append(item);
        else
            outcome.items.append(item);
    }
    outcome.changed = !outcome.removed.isEmpty();
    return outcome;
}

double cutoffForDays(double now, int days)
{
    const QDateTime local = ReferenceDate::toDateTime(now).toLocalTime();
    const QDateTime cutoff = local.addDays(-days);
    if (!cutoff.isValid())
        return now;
    // Keep the fraction of a second that milliseconds cannot hold.
    return now - (ReferenceDate::fromDateTime(local) - ReferenceDate::fromDateTime(cutoff));
}

} // namespace Vexilo::Retention
