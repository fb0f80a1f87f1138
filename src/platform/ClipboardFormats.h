// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QStringList>

// How clipboard contents are named and read, the same for every clipboard backend.
namespace Vexilo::ClipboardFormats {

// X selection targets (TARGETS, MULTIPLE, UTF8_STRING...): names, not MIME types, of no use to a
// reader of the contents.
[[nodiscard]] bool isSelectionTarget(const QString &type);
// The local paths of a text/uri-list, in order; other URLs and comments left out.
[[nodiscard]] QStringList localPathsFromUriList(const QByteArray &uriList);
// The paths of a file manager's x-special/gnome-copied-files (a "copy" or "cut" line first).
[[nodiscard]] QStringList localPathsFromGnomeCopiedFiles(const QByteArray &bytes);

} // namespace Vexilo::ClipboardFormats
