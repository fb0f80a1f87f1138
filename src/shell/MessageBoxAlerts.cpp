// SPDX-License-Identifier: MIT
#include "MessageBoxAlerts.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace Vexilo {

MessageBoxAlerts::MessageBoxAlerts(std::function<void(QWindow &)> activate)
    : m_activate(std::move(activate))
{ }

MessageBoxAlerts::~MessageBoxAlerts() = default;

void MessageBoxAlerts::present(const Alert &alert, std::function<void(int)> done)
{
    auto *box = new QMessageBox;
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(alert.title);
    box->setText(alert.title);
    box->setInformativeText(alert.message);
    // Plain text: release notes come from the network.
    box->setTextFormat(Qt::PlainText);
    // The title stands out, and a message of a few lines is not squeezed into a narrow column.
    if (auto *title = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
        QFont font = title->font();
        font.setBold(true);
        title->setFont(font);
    }
    if (auto *message = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"))) {
        message->setTextFormat(Qt::PlainText);
        message->setMinimumWidth(340);
    }
    switch (alert.style) {
    case Alert::Style::Informational:
        box->setIcon(QMessageBox::Information);
        break;
    case Alert::Style::Warning:
        box->setIcon(QMessageBox::Warning);
        break;
    case Alert::Style::Critical:
        box->setIcon(QMessageBox::Critical);
        break;
    }
    // One role for every button keeps them in the order given; the desktop's button order would
    // otherwise rearrange them by role.
    QList<QPushButton *> buttons;
    for (const QString &title : alert.buttons)
        buttons.append(box->addButton(title, QMessageBox::ActionRole));
    if (buttons.isEmpty())
        buttons.append(box->addButton(QStringLiteral("OK"), QMessageBox::ActionRole));
    const int cancel =
        alert.cancelButton >= 0 && alert.cancelButton < buttons.size() ? alert.cancelButton : int(buttons.size()) - 1;
    if (alert.defaultButton >= 0 && alert.defaultButton < buttons.size())
        box->setDefaultButton(buttons.at(alert.defaultButton));
    box->setEscapeButton(buttons.at(cancel));
    if (alert.destructiveButton >= 0 && alert.destructiveButton < buttons.size())
        buttons.at(alert.destructiveButton)->setObjectName(QStringLiteral("destructive"));
    for (int i = 0; i < buttons.size(); ++i)
        buttons.at(i)->setAccessibleName(buttons.at(i)->text());

    auto answered = std::make_shared<bool>(false);
    QObject::connect(box, &QMessageBox::buttonClicked, box, [buttons, answered, done](QAbstractButton *clicked) {
        if (*answered)
            return;
        *answered = true;
        if (done)
            done(int(buttons.indexOf(static_cast<QPushButton *>(clicked))));
    });
    // Closed by the window manager without a button: the cancel answer.
    QObject::connect(box, &QObject::destroyed, [answered, done, cancel] {
        if (!*answered && done)
            done(cancel);
    });
    showModal(*box);
}

void MessageBoxAlerts::showAlert(const QString &title, const QString &message, const QStringList &buttons,
                                 std::function<void(int)> done)
{
    Alert alert;
    alert.title = title;
    alert.message = message;
    alert.buttons = buttons;
    present(alert, std::move(done));
}

void MessageBoxAlerts::showModal(QWidget &dialog)
{
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.show();
    if (QWindow *window = dialog.windowHandle(); window && m_activate) {
        m_activate(*window);
        // Asked again once mapped: a window manager ignores activating a window it does not manage yet.
        QTimer::singleShot(150, window, [this, window] {
            if (!window->isActive())
                m_activate(*window);
        });
    }
}

} // namespace Vexilo
