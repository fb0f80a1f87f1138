// SPDX-License-Identifier: MIT
#include "HistoryExporter.h"
#include "SaveFileChooser.h"
#include "StoreFixture.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {

class FakeSaveFileChooser : public SaveFileChooser
{
public:
    void chooseSaveLocation(const SaveRequest &request, Answer answer) override
    {
        requests.append(request);
        answer(path);
    }
    std::optional<QString> path;
    QList<SaveRequest> requests;
};

} // namespace

class TestHistoryExporter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exports_data()
    {
        QTest::addColumn<bool>("markdown");
        QTest::addColumn<QString>("suggestedName");
        QTest::addColumn<bool>("limitedToJson");

        QTest::newRow("JSON") << false << u"vexilo_export_1700000123.json"_s << true;
        QTest::newRow("Markdown") << true << u"vexilo_history_1700000123.md"_s << false;
    }

    void exports()
    {
        QFETCH(bool, markdown);
        QFETCH(QString, suggestedName);
        QFETCH(bool, limitedToJson);
        StoreFixture fixture;
        fixture.writeHistory({fixture.textClip(u"first line\nsecond line"_s)});
        ClipboardStore &store = fixture.open();
        FakeSaveFileChooser chooser;
        HistoryExporter exporter(store, chooser, [] { return qint64(1700000123); });
        QTemporaryDir target;
        const auto run = [&](std::optional<QString> path) {
            chooser.path = std::move(path);
            std::optional<QString> saved;
            bool failed = false;
            int calls = 0;
            const auto done = [&](const std::optional<QString> &result, bool didFail) {
                saved = result;
                failed = didFail;
                ++calls;
            };
            markdown ? exporter.exportAsMarkdown(done) : exporter.exportAsJSON(done);
            // Answered exactly once, or the outcome reads as "not answered".
            return calls == 1 ? std::pair(saved, failed) : std::pair(std::optional<QString>(u"?"_s), true);
        };

        QCOMPARE(run(std::nullopt), std::pair(std::optional<QString>(), false));
        QCOMPARE(chooser.requests.size(), 1);
        QCOMPARE(chooser.requests.first().suggestedName, suggestedName);
        QCOMPARE(chooser.requests.first().nameFilter.contains(u"*.json"_s), limitedToJson);
        QVERIFY(QDir(target.path()).isEmpty());

        const QString path = target.filePath(u"chosen"_s);
        QCOMPARE(run(path), std::pair(std::optional<QString>(path), false));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        if (markdown) {
            QVERIFY(bytes.startsWith("# Vexilo History Export\nExported: "));
            QVERIFY(bytes.contains("> first line\n> second line\n"));
        } else {
            const QJsonArray clips = QJsonDocument::fromJson(bytes).array();
            QCOMPARE(clips.size(), store.items().size());
        }

        const QString unwritable = target.filePath(u"no/such/folder/out"_s);
        QCOMPARE(run(unwritable), std::pair(std::optional<QString>(), true));
        QVERIFY(!QFile::exists(unwritable));
    }
};

QTEST_GUILESS_MAIN(TestHistoryExporter)
#include "tst_historyexporter.moc"
