// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace Vexilo {

// A question or a notice for the user: title, message and buttons in order.
struct Alert
{
    enum class Style { Informational, Warning, Critical };
    Style style = Style::Informational;
    QString title;
    QString message;
    QStringList buttons;
    int defaultButton = 0; // Return chooses it
    int cancelButton = -1; // Escape and closing the dialog choose it; -1: the last button
    int destructiveButton = -1; // drawn as dangerous; -1: none
};

// Shows alerts. The application shows application-modal dialogs; tests answer for the user.
class AlertPresenter
{
public:
    virtual ~AlertPresenter();
    // Calls done once on the main thread with the index of the chosen button, later or at once.
    virtual void present(const Alert &alert, std::function<void(int chosenButton)> done) = 0;
};

} // namespace Vexilo
