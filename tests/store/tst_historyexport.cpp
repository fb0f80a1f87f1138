// SPDX-License-Identifier: MIT
#include "ClipJson.h"
#include "DefaultSnippets.h"
#include "HistoryExport.h"
#include "ReferenceDate.h"
#include "StoreFixture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

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
        return doc.mid(doc.indexOf(QStringLiteral("## ")));
    }

private Q_SLOTS:
    void fileNames()
    {
        QCOMPARE(HistoryExport::defaultJsonFileName(1700000000), QStringLiteral("vexilo_export_1700000000.json"));
        QCOMPARE(HistoryExport::defaultMarkdownFileName(1700000000), QStringLiteral("vexilo_history_1700000000.md"));
    }

    void emptyHistory()
    {
        const QString doc = HistoryExport::markdown({}, 0, english);
        QVERIFY(doc.startsWith(QStringLiteral("# Vexilo History Export\nExported: ")));
        QVERIFY(doc.endsWith(QStringLiteral("\n\n")));
        QCOMPARE(doc.count(u'\n'), 3);
        QCOMPARE(HistoryExport::json({}), QByteArray("[]"));
    }

    void defaultSnippetHeadings()
    {
        const QList<ClipItem> snippets = DefaultSnippets::defaults(0);
        const QString doc = HistoryExport::markdown(snippets, 0, english);
        QVERIFY(doc.contains(QStringLiteral("\n## [Snippets] Quick Email Reply (Tags: #Email, #Work)\n")));
        QVERIFY(doc.contains(QStringLiteral("\n## [Snippets] Meeting Notes Template (Tags: #Notes, #Template)\n")));
    }

    void sections()
    {
        ClipItem text(QUuid::createUuid(), 0, ClipType::Text);
        text.setTextContent(QStringLiteral("line one\nline two"));
        text.setSourceAppName(QStringLiteral("Editor"));
        const QString date = english.toString(ReferenceDate::toDateTime(0).toLocalTime(), QLocale::ShortFormat);
        QCOMPARE(section(text),
                 QStringLiteral("## [Text] line one\n- **Date**: ") + date +
                     QStringLiteral("\n- **App**: Editor\n\n> line one\n> line two\n\n---\n\n"));

        ClipItem code(QUuid::createUuid(), 0, ClipType::Code);
        code.setTextContent(QStringLiteral("let a = 1\n```inner```"));
        code.setDetectedLanguage(QStringLiteral("swift"));
        QVERIFY(section(code).contains(QStringLiteral("\n\n```swift\nlet a = 1\n```inner```\n```\n\n---")));
        code.setDetectedLanguage(std::nullopt);
        QVERIFY(section(code).contains(QStringLiteral("\n\n```\nlet a = 1\n")));
        QVERIFY(!section(code).contains(QStringLiteral("**App**")));

        ClipItem image(QUuid::createUuid(), 0, ClipType::Image);
        image.setImageSize(10, 20);
        image.setExtractedText(QStringLiteral("Total 42"));
        const QString imageSection = section(image);
        QVERIFY(imageSection.startsWith(QStringLiteral("## [Image] Image (10 \u00d7 20)\n")));
        QVERIFY(!imageSection.contains(QStringLiteral("> ")));
        QVERIFY(imageSection.contains(QStringLiteral("**OCR Extracted Text:**\n```\nTotal 42\n```\n\n---\n\n")));

        ClipItem link(QUuid::createUuid(), 0, ClipType::Url);
        link.setTextContent(QStringLiteral("https://example.com/x"));
        QVERIFY(section(link).startsWith(QStringLiteral("## [Links] example.com\n")));
    }

    void storeExports()
    {
        StoreFixture f;
        ClipboardStore &store = f.open();
        store.addTextItem(QStringLiteral("exported"));
        const QString jsonPath = f.rootPath() + QStringLiteral("/out.json");
        QCOMPARE(store.exportAsJSON(jsonPath), std::optional(jsonPath));
        QFile json(jsonPath);
        QVERIFY(json.open(QIODevice::ReadOnly));
        const QByteArray bytes = json.readAll();
        QCOMPARE(ClipJson::decodeHistory(bytes).items, store.items());
        QCOMPARE(QJsonDocument::fromJson(bytes).array().size(), 3);
        QVERIFY(bytes.contains("\n  {\n    \"id\" : "));

        const QString mdPath = f.rootPath() + QStringLiteral("/out.md");
        QCOMPARE(store.exportAsMarkdown(mdPath), std::optional(mdPath));
        QFile md(mdPath);
        QVERIFY(md.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(md.readAll()).count(QStringLiteral("\n## [")), 3);

        // A destination that cannot be written is reported and logged.
        QVERIFY(!store.exportAsJSON(f.rootPath() + QStringLiteral("/no/such/dir/x.json")));
        QVERIFY(f.logLines().last().startsWith(QStringLiteral("Export failed: ")));
    }
};

QTEST_GUILESS_MAIN(TestHistoryExport)
#include "tst_historyexport.moc"
