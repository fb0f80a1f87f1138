// SPDX-License-Identifier: MIT
#include "ClipJson.h"
#include "HistoryExport.h"
#include "ReferenceDate.h"
#include "StoreFixture.h"

#include <QFile>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {
const QLocale english(QLocale::English, QLocale::UnitedStates);
}

class TestHistoryExport : public QObject
{
    Q_OBJECT

private:
    static QString section(const ClipItem &item)
    {
        const QString doc = HistoryExport::markdown({item}, 0, english);
        return doc.mid(doc.indexOf(u"## "_s));
    }

private Q_SLOTS:
    void emptyHistory()
    {
        const QString doc = HistoryExport::markdown({}, 0, english);
        QVERIFY(doc.startsWith(u"# Vexilo History Export\nExported: "_s));
        QVERIFY(doc.endsWith(u"\n\n"_s));
        QCOMPARE(doc.count(u'\n'), 3);
        QCOMPARE(HistoryExport::json({}), QByteArray("[]"));
    }

    void sections()
    {
        ClipItem text(QUuid::createUuid(), 0, ClipType::Text);
        text.setTextContent(u"line one\nline two"_s);
        text.setSourceAppName(u"Editor"_s);
        const QString date = english.toString(ReferenceDate::toDateTime(0).toLocalTime(), QLocale::ShortFormat);
        QCOMPARE(section(text),
                 u"## [Text] line one\n- **Date**: "_s + date +
                     u"\n- **App**: Editor\n\n> line one\n> line two\n\n---\n\n"_s);

        ClipItem code(QUuid::createUuid(), 0, ClipType::Code);
        code.setTextContent(u"let a = 1\n```inner```"_s);
        code.setDetectedLanguage(u"swift"_s);
        QVERIFY(section(code).contains(u"\n\n```swift\nlet a = 1\n```inner```\n```\n\n---"_s));
        code.setDetectedLanguage(std::nullopt);
        QVERIFY(section(code).contains(u"\n\n```\nlet a = 1\n"_s));
        QVERIFY(!section(code).contains(u"**App**"_s));

        ClipItem image(QUuid::createUuid(), 0, ClipType::Image);
        image.setImageSize(10, 20);
        image.setExtractedText(u"Total 42"_s);
        const QString imageSection = section(image);
        QVERIFY(imageSection.startsWith(u"## [Image] Image (10 \u00d7 20)\n"_s));
        QVERIFY(!imageSection.contains(u"> "_s));
        QVERIFY(imageSection.contains(u"**OCR Extracted Text:**\n```\nTotal 42\n```\n\n---\n\n"_s));

        ClipItem snippet(QUuid::createUuid(), 0, ClipType::Snippets, false, {u"Email"_s, u"Work"_s}, true);
        snippet.setSnippetTitle(u"Quick Reply"_s);
        snippet.setTextContent(u"Thanks"_s);
        QVERIFY(section(snippet).startsWith(u"## [Snippets] Quick Reply (Tags: #Email, #Work)\n"_s));

        ClipItem link(QUuid::createUuid(), 0, ClipType::Url);
        link.setTextContent(u"https://example.com/x"_s);
        QVERIFY(section(link).startsWith(u"## [Links] example.com\n"_s));
    }

    void storeExports()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        store.addTextItem(u"exported"_s);
        const QString jsonPath = f.rootPath() + u"/out.json"_s;
        QCOMPARE(store.exportAsJSON(jsonPath), std::optional(jsonPath));
        QFile json(jsonPath);
        QVERIFY(json.open(QIODevice::ReadOnly));
        const QByteArray bytes = json.readAll();
        QCOMPARE(ClipJson::decodeHistory(bytes).items, store.items());
        QVERIFY(bytes.contains("\n  {\n    \"id\" : "));

        const QString mdPath = f.rootPath() + u"/out.md"_s;
        QCOMPARE(store.exportAsMarkdown(mdPath), std::optional(mdPath));
        QFile md(mdPath);
        QVERIFY(md.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(md.readAll()).count(u"\n## ["_s), 3);
    }
};

QTEST_GUILESS_MAIN(TestHistoryExport)
#include "tst_historyexport.moc"
