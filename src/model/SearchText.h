// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QStringView>

// Case-insensitive search over case-folded UTF-8, the form in which clips keep their searchable text.
// Folding once per clip makes each search a plain byte search instead of a per-character comparison.
namespace Vexilo::SearchText {

// Appends the case-folded UTF-8 form of text to out.
void appendFolded(QByteArray &out, QStringView text);
[[nodiscard]] QByteArray fold(QStringView text);

// Query as the list filter uses it: trimmed of white space and line breaks, then folded.
// Empty when nothing remains, which means "no search".
[[nodiscard]] QByteArray foldQuery(QStringView query);

// True when needle occurs in haystack. An empty needle is never found.
[[nodiscard]] bool contains(QByteArrayView haystack, QByteArrayView needle);

} // namespace Vexilo::SearchText
