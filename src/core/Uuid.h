// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <QUuid>
#include <optional>

namespace Vexilo::Uuid {

// The canonical 8-4-4-4-12 form, hex digits in either case; no braces, no other spelling. Ids come
// from files, sockets and the command line, so nothing looser is an id.
[[nodiscard]] std::optional<QUuid> parse(QByteArrayView text);
[[nodiscard]] std::optional<QUuid> parse(QStringView text);

// Upper case without braces, as the history file writes it.
[[nodiscard]] QString toText(const QUuid &id);

} // namespace Vexilo::Uuid
