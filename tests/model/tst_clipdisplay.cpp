// SPDX-License-Identifier: MIT
#include "ClipItem.h"
#include "ReferenceDate.h"

#include <QTest>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {
ClipItem clip(ClipType type, const std::optional<QString> &text = std::nullopt)
{
    ClipItem item(QUuid::createUuid(), 0, type);
    item.setTextContent(text);
    return item;
}

ClipItem snippet(const std::optional<QString> &title, const std::optional<QString> &body)
{
    ClipItem item(QUuid::createUuid(), 0, ClipType::Snippets, false, {}, true);
    item.setSnippetTitle(title);
    item.setTextContent(body);
    return item;
}

ClipItem code(const std::optional<QString> &text, const std::optional<QString> &language)
{
    ClipItem item = clip(ClipType::Code, text);
    item.setDetectedLanguage(language);
    return item;
}

ClipItem files(const std::optional<QStringList> &paths)
{
    ClipItem item = clip(ClipType::File);
    item.setFilePaths(paths);
    return item;
}

ClipItem image(std::optional<int> width, std::optional<int> height)
{
    ClipItem item = clip(ClipType::Image);
    item.setImageFileName(u"shot.png"_s);
    item.setImageSize(width, height);
    return item;
}

ClipItem createdAt(double date, bool isSnippet = false)
{
    ClipItem item(QUuid::createUuid(), date, isSnippet ? ClipType::Snippets : ClipType::Text, false, {}, isSnippet);
    item.setTextContent(u"x"_s);
    return item;
}

double at(int year, int month, int day, int hour = 12, int minute = 0, int second = 0)
{
    return ReferenceDate::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC));
}
} // namespace

class TestClipDisplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void previewTitle_data()
    {
        QTest::addColumn<ClipItem>("item");
        QTest::addColumn<QString>("title");

        // Snippets: a non-empty title wins, otherwise the body's first line, otherwise "Empty Text".
        QTest::newRow("snippet title") << snippet(u"Reply"_s, u"Thanks!\nBye"_s) << u"Reply"_s;
        QTest::newRow("snippet empty title") << snippet(QString(), u"\n  Thanks!\nBye"_s) << u"Thanks!"_s;
        QTest::newRow("snippet nothing") << snippet(QString(), std::nullopt) << u"Empty Text"_s;

        // Text: the first line of the trimmed text; only the ends of the whole text are trimmed.
        QTest::newRow("text first line") << clip(ClipType::Text, u"  first line \nsecond"_s) << u"first line "_s;
        QTest::newRow("text crlf") << clip(ClipType::Text, u"\r\n\tabc\r\ndef"_s) << u"abc"_s;
        QTest::newRow("text unicode break") << clip(ClipType::Text, u"one\u2028two"_s) << u"one"_s;
        QTest::newRow("text only white space") << clip(ClipType::Text, u" \n\t \r\n"_s) << u"Empty Text"_s;
        QTest::newRow("text absent") << clip(ClipType::Text) << u"Empty Text"_s;

        // Code: first non-blank line unchanged, otherwise the capitalised language and " snippet".
        QTest::newRow("code skips blank lines") << code(u"\n \t \n    return x\n}"_s, u"swift"_s) << u"    return x"_s;
        QTest::newRow("code trailing blanks kept") << code(u"let a = 1  \nb"_s, std::nullopt) << u"let a = 1  "_s;
        QTest::newRow("code blank lines only") << code(u" \n\t"_s, u"python"_s) << u"Python snippet"_s;
        QTest::newRow("code upper-case language") << code(std::nullopt, u"SQL"_s) << u"Sql snippet"_s;
        QTest::newRow("code two-word language") << code(std::nullopt, u"visual basic"_s) << u"Visual Basic snippet"_s;
        QTest::newRow("code no language") << code(std::nullopt, std::nullopt) << u"Code snippet"_s;

        // Files: name of the first path, and how many more there are ("files" even for one).
        QTest::newRow("files directory first")
            << files(QStringList{u"/home/me/Projects/"_s, u"/home/me/a.txt"_s, u"/home/me/b.txt"_s})
            << u"Projects (+2 files)"_s;
        QTest::newRow("files one") << files(QStringList{u"/tmp/report.pdf"_s}) << u"report.pdf"_s;
        QTest::newRow("files root") << files(QStringList{u"/"_s}) << u"/"_s;
        QTest::newRow("files empty list") << files(QStringList{}) << u"Files"_s;

        // Images: the size with a multiplication sign, when both sides are known.
        QTest::newRow("image sized") << image(1920, 1080) << u"Image (1920 \u00D7 1080)"_s;
        QTest::newRow("image width only") << image(1920, std::nullopt) << u"Image"_s;

        // Links: the host of a full URL, otherwise the text exactly as copied.
        QTest::newRow("link host") << clip(ClipType::Url, u"https://www.example.com/a/b?q=1#x"_s)
                                   << u"www.example.com"_s;
        QTest::newRow("link trimmed before parsing")
            << clip(ClipType::Url, u"  https://example.org/x\n"_s) << u"example.org"_s;
        QTest::newRow("link bare domain") << clip(ClipType::Url, u" example.com\n"_s) << u" example.com\n"_s;
        QTest::newRow("link without host")
            << clip(ClipType::Url, u"mailto:me@example.com"_s) << u"mailto:me@example.com"_s;
        QTest::newRow("link absent") << clip(ClipType::Url) << u"Link"_s;
    }

    void previewTitle()
    {
        QFETCH(ClipItem, item);
        QTEST(item.previewTitle(), "title");
    }

    void previewSnippet_data()
    {
        QTest::addColumn<ClipItem>("item");
        QTest::addColumn<QString>("gist");

        // Other clips: the two non-blank lines after the title's line, joined by one blank.
        QTest::newRow("one line") << clip(ClipType::Text, u"a"_s) << QString();
        QTest::newRow("at most two") << clip(ClipType::Text, u"a\nb\nc\nd"_s) << u"b c"_s;
        QTest::newRow("blank lines skipped") << clip(ClipType::Text, u"\n a\n\n \t\r\nb\n\nc\n"_s) << u"b c"_s;
        QTest::newRow("lines kept unchanged") << clip(ClipType::Text, u"a\n  b  \n\tc"_s) << u"  b   \tc"_s;
        QTest::newRow("only white space") << clip(ClipType::Text, u"  \n \t\n"_s) << QString();
        QTest::newRow("absent") << clip(ClipType::Text) << QString();
        QTest::newRow("code") << code(u"\nfunc f() {\n    return 1\n}\n"_s, u"swift"_s) << u"    return 1 }"_s;

        // Snippets: every line, blank ones included, joined by one blank each.
        QTest::newRow("snippet paragraphs") << snippet(u"T"_s, u"a\n\nb"_s) << u"a  b"_s;
        QTest::newRow("snippet crlf") << snippet(u"T"_s, u"a\r\nb"_s) << u"a  b"_s;
        QTest::newRow("snippet first line kept") << snippet(std::nullopt, u"a\nb\nc\nd"_s) << u"a b c d"_s;
        QTest::newRow("snippet absent body") << snippet(u"T"_s, std::nullopt) << QString();
    }

    void previewSnippet()
    {
        QFETCH(ClipItem, item);
        QTEST(item.previewSnippet(), "gist");
    }

    void counts_data()
    {
        QTest::addColumn<std::optional<QString>>("text");
        QTest::addColumn<int>("characters");
        QTest::addColumn<int>("words");
        QTest::addColumn<int>("lines");

        // Absent text counts nothing, not even a line; an empty text is one empty line.
        QTest::newRow("absent") << std::optional<QString>() << 0 << 0 << 0;
        QTest::newRow("empty") << std::optional<QString>(u""_s) << 0 << 0 << 1;
        // A trailing break adds a line; CR LF is two breaks but one character.
        QTest::newRow("trailing break") << std::optional(u"a\nb\n"_s) << 4 << 2 << 3;
        QTest::newRow("crlf") << std::optional(u"a\r\nb"_s) << 3 << 2 << 3;
        QTest::newRow("unicode line separator") << std::optional(u"a\u2028b\u0085c"_s) << 5 << 3 << 3;
        // Words are separated by any run of white space or line breaks.
        QTest::newRow("words with runs") << std::optional(u"hello\n   world"_s) << 14 << 2 << 2;
        QTest::newRow("words with tab and nbsp") << std::optional(u" a\tb\u00A0c "_s) << 7 << 3 << 1;
        // Characters are what the user perceives, not code units.
        QTest::newRow("family emoji") << std::optional(u"\U0001F468\u200D\U0001F469\u200D\U0001F467"_s) << 1 << 1 << 1;
        QTest::newRow("combining accent") << std::optional(u"e\u0301e"_s) << 2 << 1 << 1;
    }

    void counts()
    {
        QFETCH(std::optional<QString>, text);
        const ClipItem item = clip(ClipType::Text, text);
        QTEST(item.characterCount(), "characters");
        QTEST(item.wordCount(), "words");
        QTEST(item.lineCount(), "lines");
    }

    void typeNames_data()
    {
        QTest::addColumn<ClipItem>("item");
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("badge");

        // The snippet flag decides, not the type; types without a name of their own read as text.
        QTest::newRow("snippets type without flag") << clip(ClipType::Snippets) << u"Text"_s << u"TEXT"_s;
        ClipItem flaggedCode = clip(ClipType::Code);
        flaggedCode.setSnippet(true);
        QTest::newRow("flagged code") << flaggedCode << u"Snippet"_s << u"SNIP"_s;
        QTest::newRow("pinned category") << clip(ClipType::Pinned) << u"Text"_s << u"TEXT"_s;
    }

    void typeNames()
    {
        QFETCH(ClipItem, item);
        QTEST(item.typeDisplayName(), "displayName");
        QTEST(item.listTypeBadgeLabel(), "badge");
    }

    void timeAgo_data()
    {
        QTest::addColumn<double>("date");
        QTest::addColumn<double>("now");
        QTest::addColumn<QString>("expected");

        const double now = at(2024, 5, 15);
        // The largest unit with a whole count of at least one, truncated.
        QTest::newRow("now") << now << now << u"in 0 sec."_s;
        QTest::newRow("59.9 seconds") << now - 59.9 << now << u"59 sec. ago"_s;
        QTest::newRow("1 minute") << now - 60 << now << u"1 min. ago"_s;
        QTest::newRow("119 seconds") << now - 119 << now << u"1 min. ago"_s;
        QTest::newRow("3 hours 59 minutes") << now - (3 * 3600 + 59 * 60) << now << u"3 hr. ago"_s;
        QTest::newRow("1 day") << now - 86400 << now << u"1 day ago"_s;
        QTest::newRow("2 days") << now - 2 * 86400 << now << u"2 days ago"_s;
        QTest::newRow("6 days 23 hours") << now - (7 * 86400 - 3600) << now << u"6 days ago"_s;
        QTest::newRow("1 week") << now - 7 * 86400 << now << u"1 wk. ago"_s;
        // Months and years follow the calendar, anchored at now.
        QTest::newRow("a second short of 2 months") << at(2024, 3, 15, 12, 0, 1) << now << u"1 mo. ago"_s;
        QTest::newRow("2 months") << at(2024, 3, 15) << now << u"2 mo. ago"_s;
        QTest::newRow("30 days in a 31-day month") << at(2024, 1, 1) << at(2024, 1, 31) << u"4 wk. ago"_s;
        QTest::newRow("end of month to february") << at(2024, 2, 29) << at(2024, 3, 31) << u"1 mo. ago"_s;
        QTest::newRow("a second short of a year") << at(2023, 5, 15, 12, 0, 1) << now << u"11 mo. ago"_s;
        QTest::newRow("1 year") << at(2023, 5, 15) << now << u"1 yr. ago"_s;
        QTest::newRow("leap day to next march") << at(2020, 2, 29) << at(2021, 3, 1) << u"1 yr. ago"_s;
        // Future dates read "in ...".
        QTest::newRow("in 5 minutes") << now + 300 << now << u"in 5 min."_s;
        QTest::newRow("in 2 days") << now + 2 * 86400 + 5 << now << u"in 2 days"_s;
        QTest::newRow("in 1 year") << at(2025, 5, 15) << now << u"in 1 yr."_s;
    }

    void timeAgo()
    {
        QFETCH(double, date);
        QFETCH(double, now);
        QTEST(createdAt(date).timeAgoString(now), "expected");
    }

    void snippetsHaveNoAgeAndNowIsTheDefault()
    {
        const double now = at(2024, 5, 15);
        QCOMPARE(createdAt(now - 3600, true).timeAgoString(now), u"Snippet"_s);
        QCOMPARE(createdAt(now - 3600, true).timeAgoString(), u"Snippet"_s);
        // Two hours leave room for any delay between building the clip and reading its age.
        QCOMPARE(createdAt(ReferenceDate::now() - 2 * 3600 - 60).timeAgoString(), u"2 hr. ago"_s);
    }
};

QTEST_GUILESS_MAIN(TestClipDisplay)
#include "tst_clipdisplay.moc"
