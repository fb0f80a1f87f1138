// SPDX-License-Identifier: MIT
// The dialogs as the user answers them: with the mouse, Return, Escape or the window's close button.
#include "MessageBoxAlerts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {
QMessageBox *openDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}
} // namespace

class TestMessageBoxAlerts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answers_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::newRow("click the second button") << u"click 1"_s << 1;
        QTest::newRow("Return takes the default") << u"return"_s << 0;
        QTest::newRow("Escape takes cancel") << u"escape"_s << 2;
        QTest::newRow("closing the window is cancel") << u"close"_s << 2;
    }

    void answers()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        int activated = 0;
        MessageBoxAlerts alerts([&activated](QWindow &) { ++activated; });
        Alert alert;
        alert.title = u"Clear Clipboard History"_s;
        alert.message = u"<b>not bold</b>"_s;
        alert.buttons = {u"Clear Unpinned Items"_s, u"Clear EVERYTHING (Including Pinned)"_s, u"Cancel"_s};
        alert.cancelButton = 2;
        QList<int> answers;
        alerts.present(alert, [&answers](int chosen) { answers.append(chosen); });

        QMessageBox *box = openDialog();
        QVERIFY(box);
        QVERIFY(activated > 0);
        QCOMPARE(box->windowModality(), Qt::ApplicationModal);
        // The buttons stay in the order given, whatever the desktop's button order.
        QList<QPushButton *> buttons = box->findChildren<QPushButton *>();
        std::sort(buttons.begin(), buttons.end(),
                  [](const QPushButton *a, const QPushButton *b) { return a->x() < b->x(); });
        QStringList titles;
        for (const QPushButton *button : buttons)
            titles.append(button->text());
        QCOMPARE(titles, alert.buttons);
        QCOMPARE(box->informativeText(), alert.message);
        QCOMPARE(box->textFormat(), Qt::PlainText);

        if (how.startsWith(u"click"_s))
            buttons.at(how.mid(6).toInt())->click();
        else if (how == u"return"_s)
            QTest::keyClick(box, Qt::Key_Return);
        else if (how == u"escape"_s)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->close();
        QTRY_COMPARE(answers, QList<int>{answer});
        QTRY_VERIFY(!openDialog());
    }
};

QTEST_MAIN(TestMessageBoxAlerts)
#include "tst_messageboxalerts.moc"
