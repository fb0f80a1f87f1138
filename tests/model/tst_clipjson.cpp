// SPDX-License-Identifier: MIT
#include "ClipJson.h"
#include "JsonReader.h"
#include "ReferenceDate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {
const QByteArray requiredOnly = R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","createdAt":786729600.25,)"
                                R"("type":"Text","isPinned":false,"tags":[],"isSnippet":false})";

QByteArray withMember(const QByteArray &member)
{
    QByteArray json = requiredOnly;
    json.chop(1);
    return json + ',' + member + '}';
}

QByteArray without(const char *key)
{
    QJsonObject object = QJsonDocument::fromJson(requiredOnly).object();
    object.remove(QLatin1StringView(key));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
} // namespace

class TestClipJson : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requiredKeysOnly()
    {
        QString error;
        const auto item = ClipJson::decodeItem(requiredOnly, &error);
        QVERIFY2(item, qPrintable(error));
        QCOMPARE(item->idString(), u"E621E1F8-C36C-495A-93FC-0C247A3E6E5F"_s);
        QCOMPARE(item->createdAt(), 786729600.25);
        QCOMPARE(item->type(), ClipType::Text);
        // Re-encoding writes the same six keys and nothing else (no optional was made up), even where
        // optionals were null.
        QCOMPARE(ClipJson::encodeItem(*item), requiredOnly);
        const auto nulls = ClipJson::decodeItem(withMember(R"("textContent":null,"colorHex":null)"));
        QVERIFY(nulls && !nulls->hasTextContent());
        QCOMPARE(ClipJson::encodeItem(*nulls), requiredOnly);
    }

    void decodingRules_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("decodes");

        // Each required key is required: no fallback to an empty list or false.
        for (const char *key : {"id", "createdAt", "type", "isPinned", "tags", "isSnippet"})
            QTest::addRow("no %s", key) << without(key) << false;
        // Types are exact raw values.
        QTest::newRow("type Links") << QByteArray(requiredOnly).replace("\"Text\"", "\"Links\"") << true;
        QTest::newRow("type lower case") << QByteArray(requiredOnly).replace("\"Text\"", "\"text\"") << false;
        // Ids are canonical UUIDs in any case, nothing else.
        QTest::newRow("lower-case id") << QByteArray(requiredOnly)
                                              .replace("E621E1F8-C36C-495A-93FC-0C247A3E6E5F",
                                                       "e621e1f8-c36c-495a-93fc-0c247a3e6e5f")
                                       << true;
        QTest::newRow("braced id") << QByteArray(requiredOnly)
                                          .replace("\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\"",
                                                   "\"{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}\"")
                                   << false;
        QTest::newRow("id not a string")
            << QByteArray(requiredOnly).replace("\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\"", "42") << false;
        // Wrong kinds of required values.
        QTest::newRow("isPinned as number")
            << QByteArray(requiredOnly).replace("\"isPinned\":false", "\"isPinned\":0") << false;
        QTest::newRow("tags null") << QByteArray(requiredOnly).replace("\"tags\":[]", "\"tags\":null") << false;
        QTest::newRow("tag not a string") << QByteArray(requiredOnly).replace("\"tags\":[]", "\"tags\":[1]") << false;
        QTest::newRow("createdAt as string")
            << QByteArray(requiredOnly).replace("786729600.25", "\"786729600.25\"") << false;
        // Optionals: missing or null mean absent; a wrong kind breaks the record.
        QTest::newRow("textContent null") << withMember(R"("textContent":null)") << true;
        QTest::newRow("textContent number") << withMember(R"("textContent":5)") << false;
        QTest::newRow("imageWidth fraction") << withMember(R"("imageWidth":1.5)") << false;
        QTest::newRow("imageWidth integral") << withMember(R"("imageWidth":1920)") << true;
        QTest::newRow("filePaths string") << withMember(R"("filePaths":"/tmp")") << false;
        // Unknown keys are ignored, whatever their value.
        QTest::newRow("unknown key") << withMember(R"("future":{"a":[1,2,{"b":null}]})") << true;
        QTest::newRow("not an object") << QByteArray("[]") << false;
    }

    void decodingRules()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, decodes);
        QString error;
        const auto item = ClipJson::decodeItem(json, &error);
        QCOMPARE(bool(item), decodes);
        if (!decodes)
            QVERIFY(!error.isEmpty());
    }

    void encodingForm()
    {
        ClipItem item(QUuid::fromString(u"e621e1f8-c36c-495a-93fc-0c247a3e6e5f"), 700000000, ClipType::Code, true,
                      {u"work"_s, u"ü"_s}, false);
        item.setTextContent(u"a/b \"q\"\n\t\u0001é😀"_s);
        item.setDetectedLanguage(u"swift"_s);
        item.setImageSize(std::nullopt, std::nullopt);
        const QByteArray json = ClipJson::encodeItem(item);
        // Upper-case id, integral date without fraction, "/" escaped, control characters escaped,
        // non-ASCII as UTF-8, absent optionals absent, empty-free field order.
        const QByteArray expected = "{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"createdAt\":700000000,"
                                    "\"type\":\"Code\",\"textContent\":\"a\\/b \\\"q\\\"\\n\\t\\u0001"
                                    "\xc3\xa9\xf0\x9f\x98\x80\",\"detectedLanguage\":\"swift\",\"isPinned\":true,"
                                    "\"tags\":[\"work\",\"\xc3\xbc\"],\"isSnippet\":false}";
        QCOMPARE(json, expected);
        QCOMPARE(ClipJson::decodeItem(json), std::optional(item));
    }

    void emptyTagsWrittenAbsentPathsNot()
    {
        ClipItem item(QUuid::createUuid(), 1, ClipType::Text);
        const QByteArray json = ClipJson::encodeItem(item);
        QVERIFY(json.contains("\"tags\":[]"));
        QVERIFY(!json.contains("filePaths"));
        item.setFilePaths(QStringList{});
        QVERIFY(ClipJson::encodeItem(item).contains("\"filePaths\":[]"));
    }

    void datesRoundTripExactly_data()
    {
        QTest::addColumn<double>("date");
        QTest::newRow("fraction") << 786729600.123456789;
        QTest::newRow("tiny fraction") << 786729600.0000001;
        QTest::newRow("negative") << -12345.678;
        QTest::newRow("zero") << 0.0;
        QTest::newRow("large") << 1.0e15 + 0.5;
        QTest::newRow("now") << ReferenceDate::now();
    }

    void datesRoundTripExactly()
    {
        QFETCH(double, date);
        ClipItem item(QUuid::createUuid(), date, ClipType::Text);
        const auto decoded = ClipJson::decodeItem(ClipJson::encodeItem(item));
        QVERIFY(decoded);
        QCOMPARE(decoded->createdAt(), date);
        // The number also reads the same with Qt's own parser.
        const QJsonObject object = QJsonDocument::fromJson(ClipJson::encodeItem(item)).object();
        QCOMPARE(object.value(u"createdAt").toDouble(), date);
    }

    void escapesRoundTrip()
    {
        // Every control character, surrogate pairs and escaped input from other writers.
        QString text;
        for (char16_t c = 0; c < 0x80; ++c)
            text.append(QChar(c));
        text += u"😀 \u2028 ß"_s;
        ClipItem item(QUuid::createUuid(), 1, ClipType::Text);
        item.setTextContent(text);
        const QByteArray json = ClipJson::encodeItem(item);
        QCOMPARE(ClipJson::decodeItem(json)->textContent(), text);
        // Qt's reader agrees with the encoding.
        QCOMPARE(QJsonDocument::fromJson(json).object().value(u"textContent").toString(), text);
        // Escapes other writers use: \u with upper-case hex, escaped surrogate pairs.
        const auto other = ClipJson::decodeItem(withMember(R"("textContent":"\u00E9\ud83d\ude00\/")"));
        QVERIFY(other);
        QCOMPARE(other->textContent(), u"é😀/"_s);
    }

    void memberwiseEquality()
    {
        const ClipItem a(QUuid::createUuid(), 5, ClipType::Text);
        ClipItem pinned = a, tagged = a, emptyText = a;
        pinned.setPinned(true);
        tagged.setTags({u"x"_s});
        emptyText.setTextContent(QString()); // empty text is present, not absent
        QCOMPARE(ClipItem(a), a);
        for (const ClipItem &b : {pinned, tagged, emptyText})
            QVERIFY(a != b);
    }

    void historyKeepsGoodRecords()
    {
        const QByteArray file = "[" + requiredOnly + "," + without("tags") + "," + withMember(R"("x":1)") + "]";
        const auto result = ClipJson::decodeHistory(file);
        QVERIFY(result.isArray);
        QVERIFY(!result.complete);
        QCOMPARE(result.items.size(), 2);
        QCOMPARE(result.skippedRecords, 1);
        QVERIFY(result.error.contains(u"record 1"));
    }

    void historySyntaxErrors_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("isArray");
        QTest::addColumn<int>("kept");
        QTest::newRow("empty") << QByteArray() << false << 0;
        QTest::newRow("object") << QByteArray("{}") << false << 0;
        QTest::newRow("truncated after one") << QByteArray("[" + requiredOnly + ",{\"id\":\"") << true << 1;
        QTest::newRow("trailing comma") << QByteArray("[" + requiredOnly + ",]") << true << 1;
        QTest::newRow("trailing data") << QByteArray("[" + requiredOnly + "] x") << true << 1;
        QTest::newRow("unterminated string") << QByteArray("[\"abc") << true << 0;
        QTest::newRow("control char in string")
            << QByteArray("[" + withMember("\"textContent\":\"a\x01\"") + "]") << true << 0;
        QTest::newRow("deep nesting") << QByteArray("[" + withMember("\"x\":" + QByteArray(5000, '[')) + "]") << true
                                      << 0;
        QTest::newRow("leading zero") << QByteArray("[" + withMember("\"imageWidth\":01") + "]") << true << 0;
    }

    void historySyntaxErrors()
    {
        QFETCH(QByteArray, file);
        const auto result = ClipJson::decodeHistory(file);
        QVERIFY(!result.complete);
        QTEST(result.isArray, "isArray");
        QFETCH(int, kept);
        QCOMPARE(result.items.size(), kept);
        QVERIFY(!result.error.isEmpty());
    }

    void largeHistoriesDecodeLikeSmallOnes()
    {
        // Files above a few megabytes are read by two threads from a guessed record boundary.
        QList<ClipItem> items;
        for (int i = 0; i < 3000; ++i) {
            ClipItem item(QUuid::createUuid(), 1000.0 - i, ClipType::Text, false, {}, false);
            item.setTextContent(QString(2000, QChar(u'a' + i % 26)) + QString::number(i));
            items.append(item);
        }
        QByteArray file = ClipJson::encodeHistory(items);
        QVERIFY(file.size() > 5 * 1024 * 1024);
        auto decoded = ClipJson::decodeHistory(file);
        QVERIFY2(decoded.complete, qPrintable(decoded.error));
        QCOMPARE(decoded.items, items);

        // A bad record in the second half is skipped and numbered from the start of the file.
        QByteArray broken = file;
        const qsizetype at = broken.indexOf("\"isPinned\":false", broken.size() * 3 / 4);
        broken.replace(at, 16, "\"isPinned\":null");
        decoded = ClipJson::decodeHistory(broken);
        QCOMPARE(decoded.items.size(), items.size() - 1);
        QCOMPARE(decoded.skippedRecords, 1);
        QVERIFY(decoded.error.startsWith(u"record "_s));
        const int index = decoded.error.mid(7, decoded.error.indexOf(u':') - 7).toInt();
        QVERIFY(index > 2000 && index < 3000);
        QVERIFY(!decoded.items.contains(items.at(index)));

        // The guess can land inside a nested value of an unknown key; the result must not change.
        QByteArray nested = file;
        const QByteArray decoy = ",\"future\":[" + QByteArray("{\"a\":1},{\"b\":2},").repeated(300000) + "{}]}";
        // Inserted a quarter in, the decoy spans the middle of the longer file.
        const qsizetype quarter = nested.indexOf("},{", nested.size() / 4);
        nested.replace(quarter, 1, decoy);
        const qsizetype middle = nested.size() / 2;
        QVERIFY(middle > quarter && middle < quarter + decoy.size());
        decoded = ClipJson::decodeHistory(nested);
        QVERIFY2(decoded.complete, qPrintable(decoded.error));
        QCOMPARE(decoded.items, items);

        // A syntax error in the second half keeps what came before it.
        QByteArray truncated = file.left(file.size() * 3 / 4);
        decoded = ClipJson::decodeHistory(truncated);
        QVERIFY(decoded.syntaxError);
        QVERIFY(decoded.items.size() > 2000);
        QCOMPARE(decoded.items, items.first(decoded.items.size()));
    }

    // The readable export carries the same records. (The compact form round-trips in the fuzz target.)
    void prettyHistoryRoundTrip()
    {
        QList<ClipItem> items;
        for (const QByteArray &json : {requiredOnly, withMember(R"("textContent":"a\n\u00e9","filePaths":[])")})
            items.append(*ClipJson::decodeItem(json));
        items.last().setTags({u"t"_s});
        const QByteArray pretty = ClipJson::encodeHistoryPretty(items);
        QVERIFY(pretty.contains("\n    \"id\" : \""));
        QCOMPARE(ClipJson::decodeHistory(pretty).items, items);
        QCOMPARE(QJsonDocument::fromJson(pretty).array().size(), 2);
        QCOMPARE(ClipJson::encodeHistoryPretty({}), QByteArray("[]"));
    }
};

QTEST_GUILESS_MAIN(TestClipJson)
#include "tst_clipjson.moc"
