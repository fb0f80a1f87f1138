// SPDX-License-Identifier: MIT
// A small X client the end-to-end tests type and paste into, and that can offer clipboard contents
// the way other applications do.
//
//   vexilo_test_target --edit FILE      a window with a focused text area; its text is written to
//                                       FILE on every change
//   vexilo_test_target --offer-secret   puts a text with the password-manager hint on the clipboard
//                                       and keeps serving it until killed
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vexilo-test-target"));
    QGuiApplication::setDesktopFileName(QStringLiteral("vexilo-test-target"));
    const QStringList args = QApplication::arguments();

    if (args.size() == 2 && args.at(1) == u"--offer-secret") {
        auto *data = new QMimeData;
        data->setText(QStringLiteral("hunter2-secret"));
        data->setData(QStringLiteral("x-kde-passwordManagerHint"), "secret");
        QApplication::clipboard()->setMimeData(data);
        // Ends by itself should the test forget it.
        QTimer::singleShot(60000, &app, &QApplication::quit);
        return QApplication::exec();
    }

    if (args.size() == 3 && args.at(1) == u"--edit") {
        const QString output = args.at(2);
        QPlainTextEdit edit;
        edit.setWindowTitle(QStringLiteral("Vexilo test target"));
        edit.resize(600, 300);
        QObject::connect(&edit, &QPlainTextEdit::textChanged, [output, &edit] {
            QSaveFile file(output);
            if (file.open(QIODevice::WriteOnly)) {
                file.write(edit.toPlainText().toUtf8());
                file.commit();
            }
        });
        edit.show();
        edit.activateWindow();
        edit.setFocus();
        QTimer::singleShot(120000, &app, &QApplication::quit);
        return QApplication::exec();
    }
    return 2;
}
