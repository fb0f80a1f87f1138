// SPDX-License-Identifier: MIT
#include "HistoryClearing.h"

#include "AlertPresenter.h"
#include "ClipboardStore.h"

#include <QPointer>

namespace Vexilo::HistoryClearing {

namespace {
// The store may be gone by the time a dialog is answered at shutdown.
void ask(AlertPresenter &alerts, ClipboardStore &store, const Alert &alert,
         std::function<void(ClipboardStore &, int)> act)
{
    QPointer<ClipboardStore> guarded(&store);
    alerts.present(alert, [guarded, act = std::move(act)](int chosen) {
        if (guarded)
            act(*guarded, chosen);
    });
}
} // namespace

void confirmClearUnpinned(AlertPresenter &alerts, ClipboardStore &store)
{
    Alert alert;
    alert.style = Alert::Style::Warning;
    alert.title = QStringLiteral("Clear Unpinned History?");
    alert.message =
        QStringLiteral("This will remove all recent unpinned items. Pinned items and snippets will remain intact.");
    alert.buttons = {QStringLiteral("Clear Unpinned"), QStringLiteral("Cancel")};
    alert.cancelButton = 1;
    ask(alerts, store, alert, [](ClipboardStore &target, int chosen) {
        if (chosen == 0)
            target.clearHistory(true);
    });
}

void confirmClearAll(AlertPresenter &alerts, ClipboardStore &store)
{
    Alert alert;
    alert.style = Alert::Style::Critical;
    alert.title = QStringLiteral("Clear Entire Clipboard History?");
    alert.message = QStringLiteral("This will permanently remove all copied items from Vexilo. Snippets will be "
                                   "preserved. This action cannot be undone.");
    alert.buttons = {QStringLiteral("Clear All"), QStringLiteral("Cancel")};
    alert.cancelButton = 1;
    alert.destructiveButton = 0;
    ask(alerts, store, alert, [](ClipboardStore &target, int chosen) {
        if (chosen == 0)
            target.clearHistory(false);
    });
}

void confirmClearChoice(AlertPresenter &alerts, ClipboardStore &store)
{
    Alert alert;
    alert.style = Alert::Style::Warning;
    alert.title = QStringLiteral("Clear Clipboard History");
    alert.message = QStringLiteral("Do you want to keep your pinned clips or delete all saved history?");
    alert.buttons = {QStringLiteral("Clear Unpinned Items"), QStringLiteral("Clear EVERYTHING (Including Pinned)"),
                     QStringLiteral("Cancel")};
    // Return must not wipe pinned clips: the safe choice is the default.
    alert.defaultButton = 0;
    alert.cancelButton = 2;
    alert.destructiveButton = 1;
    ask(alerts, store, alert, [](ClipboardStore &target, int chosen) {
        if (chosen == 0 || chosen == 1)
            target.clearHistory(chosen == 0);
    });
}

} // namespace Vexilo::HistoryClearing
