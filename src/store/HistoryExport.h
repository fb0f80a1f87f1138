// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QLocale>

// The two export formats of the history: the records as readable JSON, and a Markdown document
// with one section per clip.
namespace Vexilo::HistoryExport {

// "vexilo_export_<unix seconds>.json" and "vexilo_history_<unix seconds>.md".
[[nodiscard]] QString defaultJsonFileName(qint64 unixSeconds);
[[nodiscard]] QString defaultMarkdownFileName(qint64 unixSeconds);

[[nodiscard]] QByteArray json(const QList<ClipItem> &items);
// Dates in the locale's short date-time format; `exportedAt` in seconds since the reference date.
[[nodiscard]] QString markdown(const QList<ClipItem> &items, double exportedAt, const QLocale &locale = QLocale());

} // namespace Vexilo::HistoryExport
