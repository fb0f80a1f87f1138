// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace Vexilo {

// Shows the update check's alerts: the application as a dialog, the command-line client as text.
class UpdatePrompt
{
public:
    virtual ~UpdatePrompt();

    // An informational alert with a title, a message and buttons, the first being the default. Calls
    // done on the main thread with the index of the button the user chose, or -1 when the alert was
    // closed without an answer or nobody could answer it; it may do so later, after showAlert() has
    // returned. A prompt never chooses a button for the user.
    virtual void showAlert(const QString &title, const QString &message, const QStringList &buttons,
                           std::function<void(int chosenButton)> done) = 0;
};

} // namespace Vexilo
