// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QStringView>

// Building blocks for writing JSON in the form the history file has always had: UTF-8, characters
// outside ASCII written as they are, "/" escaped as "\/", control characters as short escapes or
// lower-case \u escapes, numbers in their shortest round-trip form.
namespace Vexilo::JsonWriter {

// Appends text as a JSON string literal, quotes included.
void appendString(QByteArray &out, QStringView text);
// Appends the body of the literal only, without quotes.
void appendEscaped(QByteArray &out, QStringView text);
// The same for text already in UTF-8, which is copied through except for the characters to escape.
void appendStringUtf8(QByteArray &out, QByteArrayView utf8);
void appendEscapedUtf8(QByteArray &out, QByteArrayView utf8);
// Shortest decimal form that reads back as the same double; integral values without a fraction.
void appendNumber(QByteArray &out, double value);
void appendInteger(QByteArray &out, qint64 value);

} // namespace Vexilo::JsonWriter
