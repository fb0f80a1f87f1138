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
    static const QString tags = u"SKTNAPC"_s; // in the order of TokenClass
    QStringList parts;
    for (const Token &token : tokens)
        parts.append(tags.at(int(token.tokenClass)) + u'[' + token.text + u']');
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
    // Membership is exact and case-sensitive; tokens() finds a word of each table.
    void wordsMatchExactly()
    {
        for (const QString &word : {u"select"_s, u"If"_s, u"@state"_s, u"imp"_s, u"let "_s, QString()})
            QVERIFY2(!isKeyword(word) && !isType(word), qPrintable(word));
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
        QTest::newRow("quoted types stay strings") << u"\"nil\"'true'"_s << u"S[\"nil\"] S['true']"_s;
        QTest::newRow("sql") << u"SELECT * FROM t WHERE id = 42;"_s
                             << u"K[SELECT] P[ ] P[*] P[ ] K[FROM] P[ ] P[t] P[ ] K[WHERE] P[ ] P[id] P[ ] P[=] P[ ] "
                                u"N[42] P[;]"_s;

        // Digits and punctuation are separate tokens, so a decimal point splits a number.
        QTest::newRow("decimal") << u"3.14"_s << u"N[3] P[.] N[14]"_s;
        QTest::newRow("hex") << u"0x1F"_s << u"N[0] P[x1F]"_s;
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
        QTest::newRow("accent at the start") << u"\u00FCber if"_s << u"P[\u00FC] P[ber] P[ ] K[if]"_s;
        QTest::newRow("non-latin word") << u"let \u540D\u524D = nil"_s
                                        << u"K[let] P[ ] P[\u540D\u524D] P[ ] P[=] P[ ] T[nil]"_s;
        QTest::newRow("empty") << QString() << QString();
    }

    void tokens()
    {
        QFETCH(QString, line);
        const QList<Token> parsed = parseTokens(line);
        QTEST(describe(parsed), "tokens");
        // No character is lost or duplicated.
        QCOMPARE(joined(parsed), line);
    }
};

QTEST_GUILESS_MAIN(TestCodeHighlighter)
#include "tst_codehighlighter.moc"
