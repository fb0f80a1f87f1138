// SPDX-License-Identifier: MIT
#pragma once

#include "AlertPresenter.h"
#include "UpdatePrompt.h"

#include <functional>

class QWidget;
class QWindow;

namespace Vexilo {

// Alerts as application-modal message boxes, on top and given the keyboard, because they are often
// asked for from the tray while another application is in front.
class MessageBoxAlerts
    : public AlertPresenter
    , public UpdatePrompt
{
public:
    // `activate` gives a shown window the keyboard the way the desktop allows.
    explicit MessageBoxAlerts(std::function<void(QWindow &)> activate);
    ~MessageBoxAlerts() override;

    void present(const Alert &alert, std::function<void(int chosenButton)> done) override;
    // The update check's alerts; closing one counts as the last button ("Later"), the user's answer.
    void showAlert(const QString &title, const QString &message, const QStringList &buttons,
                   std::function<void(int chosenButton)> done) override;

    // Shows a dialog made elsewhere (the About box) the same way.
    void showModal(QWidget &dialog);

private:
    std::function<void(QWindow &)> m_activate;
};

} // namespace Vexilo
