// SPDX-License-Identifier: MIT
#pragma once

namespace Vexilo {

class AlertPresenter;
class ClipboardStore;

// The confirmations asked before clearing the history; the store is cleared only on the user's yes.
namespace HistoryClearing {

// "Clear Unpinned History?": keeps pinned clips and snippets.
void confirmClearUnpinned(AlertPresenter &alerts, ClipboardStore &store);
// "Clear Entire Clipboard History?": keeps only snippets.
void confirmClearAll(AlertPresenter &alerts, ClipboardStore &store);
// The settings window's choice: "Clear Unpinned Items", "Clear EVERYTHING (Including Pinned)" or
// "Cancel".
void confirmClearChoice(AlertPresenter &alerts, ClipboardStore &store);

} // namespace HistoryClearing

} // namespace Vexilo
