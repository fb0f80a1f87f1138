// SPDX-License-Identifier: MIT
#include "InputTestRig.h"
#include "SnippetsManagerModel.h"

#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {

// The snippets tab on screen, over a store holding the two default snippets.
struct SnippetsRig
{
    SnippetsRig()
    {
        rig.store.setSelectedCategory(ClipType::Snippets);
        model.setShown(true);
    }

    [[nodiscard]] ClipItem storedFirstSnippet() const { return rig.store.snippets().constFirst(); }

    InputTestRig rig;
    SnippetsManagerModel model{rig.store, rig.paste};
};

} // namespace

class TestSnippetsManagerModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveNeedsTitleAndContent_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("content");
        QTest::addColumn<bool>("saved");

        QTest::newRow("title of blanks") << u" \t\n "_s << u"Hello"_s << false;
        QTest::newRow("content of line breaks") << u"Greeting"_s << u"\n\r\n"_s << false;
        QTest::newRow("both given") << u"Greeting"_s << u" Hello "_s << true;
    }

    void saveNeedsTitleAndContent()
    {
        QFETCH(QString, title);
        QFETCH(QString, content);
        QFETCH(bool, saved);
        SnippetsRig s;
        const qsizetype before = s.rig.store.snippets().size();

        s.model.startNew();
        s.model.setTitle(title);
        s.model.setContent(content);
        QCOMPARE(s.model.canSave(), saved);
        QCOMPARE(s.model.save(), saved);
        QCOMPARE(s.rig.store.snippets().size(), before + (saved ? 1 : 0));
        QCOMPARE(s.model.rightSide(), saved ? u"detail"_s : u"editor"_s);
    }

    void createdSnippet_data()
    {
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<std::optional<QString>>("storedShortcut");
        QTest::addColumn<QString>("tags");
        QTest::addColumn<QStringList>("storedTags");

        QTest::newRow("empty shortcut, two tags")
            << QString() << std::optional<QString>() << u"Work, Daily"_s << QStringList{u"Work"_s, u"Daily"_s};
        // The store normalises shortcuts; the editor passes them as typed.
        QTest::newRow("shortcut as typed, no tags")
            << u" ;standup"_s << std::optional<QString>(u" ;standup"_s) << QString() << QStringList();
    }

    void createdSnippet()
    {
        QFETCH(QString, shortcut);
        QFETCH(std::optional<QString>, storedShortcut);
        QFETCH(QString, tags);
        QFETCH(QStringList, storedTags);
        SnippetsRig s;

        s.model.startNew();
        s.model.setTitle(u"Standup"_s);
        s.model.setShortcut(shortcut);
        s.model.setTagsString(tags);
        s.model.setContent(u"Yesterday:\nToday:"_s);
        QVERIFY(s.model.save());

        const ClipItem created = s.storedFirstSnippet();
        QCOMPARE(created.snippetTitle(), u"Standup"_s);
        QCOMPARE(created.hasSnippetShortcut(), storedShortcut.has_value());
        QCOMPARE(created.snippetShortcut(), storedShortcut.value_or(QString()));
        QCOMPARE(created.tags(), storedTags);
        QCOMPARE(created.textContent(), u"Yesterday:\nToday:"_s);
        // The new snippet is shown, the list has it on top, and the editor is closed and empty.
        QCOMPARE(s.model.selectedId(), created.idString());
        QCOMPARE(s.model.snippets().constFirst().toMap().value(u"id"_s).toString(), created.idString());
        QCOMPARE(s.model.rightSide(), u"detail"_s);
        QVERIFY(!s.model.isCreating());
        QCOMPARE(s.model.title(), QString());
        QCOMPARE(s.model.content(), QString());
    }

    void editingKeepsIdentity()
    {
        SnippetsRig s;
        ClipItem original = s.storedFirstSnippet();
        s.rig.store.togglePin(original);
        original = *s.rig.store.item(original.id());
        const int position = int(s.rig.store.items().indexOf(original));

        s.model.select(original.idString());
        s.model.edit();
        QCOMPARE(s.model.rightSide(), u"editor"_s);
        QCOMPARE(s.model.editingId(), original.idString());
        QCOMPARE(s.model.title(), original.snippetTitle());
        QCOMPARE(s.model.shortcut(), original.snippetShortcut());
        QCOMPARE(s.model.tagsString(), original.tags().join(u", "_s));
        QCOMPARE(s.model.content(), original.textContent());

        s.model.setTitle(u"Reply"_s);
        s.model.setShortcut(QString());
        s.model.setTagsString(u"Mail"_s);
        s.model.setContent(u"Thanks!"_s);
        QVERIFY(s.model.save());

        ClipItem expected = original;
        expected.setSnippetTitle(u"Reply"_s);
        expected.setSnippetShortcut(std::nullopt);
        expected.setTags({u"Mail"_s});
        expected.setTextContent(u"Thanks!"_s);
        QVERIFY(s.rig.store.items().at(position) == expected);
        QCOMPARE(s.rig.store.snippets().size(), 2);
        QCOMPARE(s.model.selectedTitle(), u"Reply"_s);
        QCOMPARE(s.model.rightSide(), u"detail"_s);
    }

    void newSnippetRequest()
    {
        SnippetsRig s;
        s.model.select(s.storedFirstSnippet().idString());
        s.model.edit();

        // While shown: the empty editor opens at once and the request is consumed.
        s.rig.store.setShouldOpenNewSnippet(true);
        QVERIFY(s.model.isCreating());
        QCOMPARE(s.model.editingId(), QString());
        QCOMPARE(s.model.title(), QString());
        QCOMPARE(s.model.rightSide(), u"editor"_s);
        QVERIFY(!s.rig.store.shouldOpenNewSnippet());

        // While hidden the request waits for the view; hiding closed the editor.
        s.model.setShown(false);
        QVERIFY(!s.model.isCreating());
        s.rig.store.setShouldOpenNewSnippet(true);
        QVERIFY(s.rig.store.shouldOpenNewSnippet());
        s.model.setShown(true);
        QVERIFY(s.model.isCreating());
        QVERIFY(!s.rig.store.shouldOpenNewSnippet());
    }

    void rightSideStates()
    {
        SnippetsRig s;
        const ClipItem first = s.storedFirstSnippet();

        // Cancel closes the editor but keeps the draft; clicking a row shows that snippet.
        s.model.startNew();
        s.model.setTitle(u"Half written"_s);
        s.model.cancel();
        QCOMPARE(s.model.title(), u"Half written"_s);
        s.model.startNew();
        s.model.select(first.idString());
        QCOMPARE(s.model.rightSide(), u"detail"_s);
        QCOMPARE(s.model.selectedTitle(), first.snippetTitle());

        // Without snippets the list is empty and only the placeholder remains.
        const QList<ClipItem> snippets = s.rig.store.snippets();
        for (const ClipItem &snippet : snippets) {
            s.rig.store.setSelectedItem(snippet);
            s.model.deleteSelected();
        }
        QVERIFY(s.rig.store.snippets().isEmpty());
        QVERIFY(s.model.snippets().isEmpty());
        QCOMPARE(s.model.rightSide(), u"placeholder"_s);
        QCOMPARE(s.model.selectedId(), QString());
    }
};

QTEST_GUILESS_MAIN(TestSnippetsManagerModel)
#include "tst_snippetsmanagermodel.moc"
