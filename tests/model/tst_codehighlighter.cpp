// SPDX-License-Identifier: MIT
#include "CodeHighlighter.h"

#include <QTest>

using namespace Vexilo;
using namespace Vexilo::CodeHighlighter;
using namespace Qt::StringLiterals;

namespace {
// Tokens as "K[let] P[ ] S["if"]", so a failing row shows the whole line at once.
QString describe(const QList<Token> &tokens)
{
    QStringList parts;
    for (const Token &token : tokens) {
        QChar tag;
        switch (token.tokenClass) {
        case TokenClass::String:
            tag = u'S';
            break;
        case TokenClass::Keyword:
            tag = u'K';
            break;
        case TokenClass::Type:
            tag = u'T';
            break;
        case TokenClass::Number:
            tag = u'N';
            break;
        case TokenClass::Attribute:
            tag = u'A';
            break;
        case TokenClass::Plain:
            tag = u'P';
            break;
        case TokenClass::Comment:
            tag = u'C';
            break;
        }
        parts.append(tag + u'[' + token.text + u']');
    }
    return parts.join(u' ');
}

QString joined(const QList<Token> &tokens)
{
    QString text;
    for (const Token &token : tokens)
        text += token.text;
    return text;
}
} // namespace

class TestCodeHighlighter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void words_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("keyword");
        QTest::addColumn<bool>("type");

        const QStringList keywords = {
            u"import"_s,    u"export"_s,   u"from"_s,   u"default"_s, u"func"_s,        u"def"_s,      u"function"_s,
            u"var"_s,       u"let"_s,      u"const"_s,  u"struct"_s,  u"class"_s,       u"enum"_s,     u"protocol"_s,
            u"extension"_s, u"guard"_s,    u"if"_s,     u"else"_s,    u"for"_s,         u"while"_s,    u"return"_s,
            u"switch"_s,    u"case"_s,     u"public"_s, u"private"_s, u"fileprivate"_s, u"internal"_s, u"static"_s,
            u"mutating"_s,  u"override"_s, u"async"_s,  u"await"_s,   u"try"_s,         u"throw"_s,    u"throws"_s,
            u"SELECT"_s,    u"FROM"_s,     u"WHERE"_s,  u"INSERT"_s,  u"UPDATE"_s,      u"DELETE"_s,
        };
        const QStringList types = {
            u"String"_s,       u"Int"_s,          u"Double"_s, u"Float"_s,  u"Bool"_s,     u"Array"_s,
            u"Dictionary"_s,   u"Set"_s,          u"View"_s,   u"some"_s,   u"Self"_s,     u"Any"_s,
            u"Void"_s,         u"Promise"_s,      u"Object"_s, u"Number"_s, u"null"_s,     u"nil"_s,
            u"undefined"_s,    u"true"_s,         u"false"_s,  u"@State"_s, u"@Binding"_s, u"@ObservedObject"_s,
            u"@StateObject"_s, u"@Environment"_s,
        };
        QCOMPARE(keywords.size(), 41);
        QCOMPARE(types.size(), 26);
        // Every listed word is found, in exactly one table.
        for (const QString &word : keywords)
            QTest::addRow("keyword %s", qPrintable(word)) << word << true << false;
        for (const QString &word : types)
            QTest::addRow("type %s", qPrintable(word)) << word << false << true;
        // Membership is exact and case-sensitive.
        QTest::newRow("lower-case select") << u"select"_s << false << false;
        QTest::newRow("capitalised If") << u"If"_s << false << false;
        QTest::newRow("lower-case string") << u"string"_s << false << false;
        QTest::newRow("lower-case state attribute") << u"@state"_s << false << false;
        QTest::newRow("prefix of a keyword") << u"imp"_s << false << false;
        QTest::newRow("keyword with blank") << u"let "_s << false << false;
        QTest::newRow("empty") << QString() << false << false;
    }

    void words()
    {
        QFETCH(QString, word);
        QFETCH(bool, keyword);
        QFETCH(bool, type);
        QCOMPARE(isKeyword(word), keyword);
        QCOMPARE(isType(word), type);
    }

    void styles_data()
    {
        QTest::addColumn<TokenClass>("tokenClass");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");

        // Keywords alone are bold and comments alone italic and translucent.
        QTest::newRow("string") << TokenClass::String << QColor::fromRgbF(0.5f, 0.85f, 0.65f) << false << false;
        QTest::newRow("keyword") << TokenClass::Keyword << QColor::fromRgbF(0.38f, 0.68f, 1.0f) << true << false;
        QTest::newRow("type") << TokenClass::Type << QColor::fromRgbF(0.55f, 0.82f, 0.98f) << false << false;
        QTest::newRow("number") << TokenClass::Number << QColor::fromRgbF(0.7f, 0.85f, 0.98f) << false << false;
        QTest::newRow("attribute") << TokenClass::Attribute << QColor::fromRgbF(0.45f, 0.75f, 1.0f) << false << false;
        QTest::newRow("plain") << TokenClass::Plain << QColor::fromRgbF(0.9f, 0.92f, 0.96f) << false << false;
        QTest::newRow("comment") << TokenClass::Comment << QColor::fromRgbF(1, 1, 1, 0.4f) << false << true;
    }

    void styles()
    {
        QFETCH(TokenClass, tokenClass);
        QFETCH(QColor, color);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        const TokenStyle s = style(tokenClass);
        QCOMPARE(s.color, color);
        QCOMPARE(s.bold, bold);
        QCOMPARE(s.italic, italic);
    }

    void commentLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("comment");

        // A comment is recognised by its first characters after blanks and tabs.
        QTest::newRow("slashes") << u"// note"_s << true;
        QTest::newRow("indented slashes") << u"  \t// note"_s << true;
        QTest::newRow("hash") << u"# heading"_s << true;
        QTest::newRow("preprocessor") << u"#include <x>"_s << true;
        QTest::newRow("block start") << u"  /* block"_s << true;
        QTest::newRow("bare slashes") << u"//"_s << true;
        // Anything else is code, even inside a block comment or before a trailing comment.
        QTest::newRow("block continuation") << u" * continued"_s << false;
        QTest::newRow("block end") << u" */"_s << false;
        QTest::newRow("trailing comment") << u"let x = 1 // note"_s << false;
        QTest::newRow("single slash") << u"/ 2"_s << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("line break is not a blank") << u"\n// x"_s << false;
    }

    void commentLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, comment);
        QCOMPARE(isCommentLine(line), comment);
        // A comment line is one untrimmed comment token; otherwise the line is tokenized.
        if (comment)
            QCOMPARE(highlightedLine(line), (QList<Token>{{line, TokenClass::Comment}}));
        else
            QCOMPARE(highlightedLine(line), parseTokens(line));
    }

    void tokens_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("tokens");

        // Classification order: string, keyword, type, number, attribute, plain.
        QTest::newRow("let with quoted keyword")
            << u"let x = \"if\""_s << u"K[let] P[ ] P[x] P[ ] P[=] P[ ] S[\"if\"]"_s;
        QTest::newRow("binding property")
            << u"@Binding var isOn: Bool"_s << u"T[@Binding] P[ ] K[var] P[ ] P[isOn] P[:] P[ ] T[Bool]"_s;
        QTest::newRow("other attribute") << u"@MainActor final class"_s
                                         << u"A[@MainActor] P[ ] P[final] P[ ] K[class]"_s;
        QTest::newRow("lone at sign") << u"a @ b"_s << u"P[a] P[ ] A[@] P[ ] P[b]"_s;
        QTest::newRow("at sign inside a word") << u"user@host"_s << u"P[user] A[@host]"_s;
        QTest::newRow("single-quoted string") << u"'it''s'"_s << u"S['it'] S['s']"_s;
        QTest::newRow("quoted types stay strings") << u"\"nil\"'true'"_s << u"S[\"nil\"] S['true']"_s;
        QTest::newRow("sql") << u"SELECT * FROM t WHERE id = 42;"_s
                             << u"K[SELECT] P[ ] P[*] P[ ] K[FROM] P[ ] P[t] P[ ] K[WHERE] P[ ] P[id] P[ ] P[=] P[ ] "
                                u"N[42] P[;]"_s;
        QTest::newRow("sql lower case") << u"select from"_s << u"P[select] P[ ] K[from]"_s;

        // Digits and punctuation are separate tokens, so a decimal point splits a number.
        QTest::newRow("decimal") << u"3.14"_s << u"N[3] P[.] N[14]"_s;
        QTest::newRow("leading zeros") << u"007"_s << u"N[007]"_s;
        QTest::newRow("negative") << u"-1"_s << u"P[-] N[1]"_s;
        QTest::newRow("hex") << u"0x1F"_s << u"N[0] P[x1F]"_s;
        QTest::newRow("exponent") << u"1e5"_s << u"N[1] P[e5]"_s;
        QTest::newRow("huge integer") << u"123456789012345678901234567890"_s << u"N[123456789012345678901234567890]"_s;
        // Words a floating-point parser reads, in any case, count as numbers.
        QTest::newRow("inf nan infinity")
            << u"inf NaN INFINITY nanx"_s << u"N[inf] P[ ] N[NaN] P[ ] N[INFINITY] P[ ] P[nanx]"_s;
        QTest::newRow("arabic-indic digits") << u"\u0663\u0664"_s << u"P[\u0663\u0664]"_s;

        // Unterminated quotes fall back to punctuation runs, which the string test (first character a
        // quote) still colours as strings.
        QTest::newRow("unterminated double quote") << u"\"abc"_s << u"S[\"] P[abc]"_s;
        QTest::newRow("apostrophe") << u"don't"_s << u"P[don] S['] P[t]"_s;
        // A quote right after other punctuation joins that run, so what follows is no string.
        QTest::newRow("string swallowed by punctuation") << u"f(\"a\");"_s << u"P[f] P[(\"] P[a] S[\");]"_s;
        QTest::newRow("quote inside a punctuation run") << u"(\""_s << u"P[(\"]"_s;
        QTest::newRow("punctuation run") << u"a->b(){}"_s << u"P[a] P[->] P[b] P[(){}]"_s;
        QTest::newRow("trailing comment") << u"x = 1 // one"_s << u"P[x] P[ ] P[=] P[ ] N[1] P[ ] P[//] P[ ] P[one]"_s;
        QTest::newRow("tabs and blanks") << u"\t  return\t"_s << u"P[\t  ] K[return] P[\t]"_s;

        // Letters outside ASCII at a token start match no alternative and are kept as plain text.
        QTest::newRow("accent at the end") << u"caf\u00E9 = 1"_s << u"P[caf] P[\u00E9] P[ ] P[=] P[ ] N[1]"_s;
        QTest::newRow("accent at the start") << u"\u00FCber if"_s << u"P[\u00FC] P[ber] P[ ] K[if]"_s;
        QTest::newRow("non-latin word") << u"let \u540D\u524D = nil"_s
                                        << u"K[let] P[ ] P[\u540D\u524D] P[ ] P[=] P[ ] T[nil]"_s;
        QTest::newRow("empty") << QString() << QString();
    }

    void tokens()
    {
        QFETCH(QString, line);
        QFETCH(QString, tokens);
        const QList<Token> parsed = parseTokens(line);
        QCOMPARE(describe(parsed), tokens);
        // No character is lost or duplicated.
        QCOMPARE(joined(parsed), line);
    }
};

QTEST_GUILESS_MAIN(TestCodeHighlighter)
#include "tst_codehighlighter.moc"
