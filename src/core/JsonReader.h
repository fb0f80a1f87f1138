// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

namespace Vexilo {

// A strict JSON pull parser over UTF-8 bytes (RFC 8259). It reads values in document order without
// building a tree, so a large history decodes straight into clips. Errors are sticky: after the first
// one every call fails and errorString() says what and where.
class JsonReader
{
public:
    enum class Kind : quint8 { Object, Array, String, Number, True, False, Null, End, Invalid };

    explicit JsonReader(QByteArrayView data);
    // Wipes the unescaped strings it kept: they may be clip text.
    ~JsonReader();
    JsonReader(const JsonReader &) = delete;
    JsonReader &operator=(const JsonReader &) = delete;

    // Kind of the next value, after white space. End when nothing but white space remains.
    [[nodiscard]] Kind peek();

    bool beginObject();
    // Reads the next key of the current object; false at its end (the "}" is consumed) or on error.
    // The key view stays valid until the next call.
    bool nextKey(QByteArrayView &key);

    bool beginArray();
    // Reads on as if an array had just begun, for a reader that starts at an element inside one.
    void continueArray() { m_first = true; }
    // Moves to the next element of the current array; false at its end (the "]" is consumed) or on error.
    bool nextElement();

    bool readString(QString &value);
    // The string's bytes exactly as they stand between the quotes, escapes undone only when present.
    // The view stays valid until the next call.
    bool readStringView(QByteArrayView &value);
    bool readNumber(double &value);
    bool readBool(bool &value);
    bool readNull();
    bool skipValue();

    // True when only white space remains.
    [[nodiscard]] bool atEnd();

    [[nodiscard]] bool hasError() const { return !m_error.isEmpty(); }
    [[nodiscard]] QString errorString() const { return m_error; }
    [[nodiscard]] qsizetype offset() const { return m_pos; }
    void fail(const QString &message);

private:
    void skipWhitespace();
    bool expect(char c);
    bool scanString(QByteArrayView &raw, bool &hasEscapes);
    bool unescape(QByteArrayView raw, QByteArray &out);
    bool scanNumber(QByteArrayView &raw);
    bool skipValue(int depth);

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_first = false;
    QByteArray m_scratch;
    QString m_error;
};

} // namespace Vexilo
