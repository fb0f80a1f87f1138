// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QList>

// The two rules that bound the history. Only ordinary clips (neither pinned nor snippets) are ever
// removed; callers delete the removed clips' image files.
namespace Vexilo::Retention {

struct Outcome
{
    bool changed = false;
    QList<ClipItem> items; // the history to keep, when changed
    QList<ClipItem> removed; // the clips dropped
};

// Size limit: pinned plus ordinary clips at most `limit`, at least one ordinary clip kept; values
// below 1 mean no limit. When trimming, the history is regrouped: pinned, kept ordinary, snippets.
[[nodiscard]] Outcome enforceLimit(const QList<ClipItem> &items, int limit);

// Age limit: ordinary clips created before `cutoff` (seconds since the reference date) are removed.
[[nodiscard]] Outcome removeExpired(const QList<ClipItem> &items, double cutoff);

// `now` moved back by `days` calendar days in local time, so a daylight-saving change does not move
// the cut-off by an hour.
[[nodiscard]] double cutoffForDays(double now, int days);

} // namespace Vexilo::Retention
