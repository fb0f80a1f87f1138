// SPDX-License-Identifier: MIT
#include "ClipboardKeyboardController.h"

#include "ClipType.h"
#include "ClipboardStore.h"
#include "WindowController.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <algorithm>
#include <array>

namespace Vexilo {

namespace {

constexpr Qt::KeyboardModifiers countedModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

// XKB keycodes (evdev + 8): main-row 1 to 9 are consecutive; keypad 1 to 9 are not.
constexpr quint32 mainRowOneScanCode = 10;
constexpr std::array<quint32, 9> keypadDigitScanCodes = {87, 88, 89, 83, 84, 85, 79, 80, 81};

// 1 to 9 for a digit key of the main row or the keypad, 0 for any other key.
int digitSlot(quint16 keyCode)
{
    for (int i = 0; i < 9; ++i) {
        if (keyCode == KeyCodes::Digits[i] || keyCode == KeyCodes::KeypadDigits[i])
            return i + 1;
    }
    return 0;
}

quint16 digitFromScanCode(const QKeyEvent &event)
{
    const quint32 code = event.nativeScanCode();
    if (code >= mainRowOneScanCode && code < mainRowOneScanCode + 9)
        return KeyCodes::Digits[code - mainRowOneScanCode];
    const auto keypad = std::find(keypadDigitScanCodes.begin(), keypadDigitScanCodes.end(), code);
    if (keypad == keypadDigitScanCodes.end())
        return KeyCodes::Unknown;
    // Without NumLock a keypad key is a navigation key (keypad 2 is Down) and stays one; Shift turns
    // it into its digit, and with NumLock on Shift does the opposite, so a held Shift means a digit
    // either way (Ctrl+Shift+keypad digit pastes whatever the NumLock state).
    const int key = event.key();
    const bool typesDigit = (key >= Qt::Key_0 && key <= Qt::Key_9) || event.modifiers().testFlag(Qt::ShiftModifier);
    return typesDigit ? KeyCodes::KeypadDigits[keypad - keypadDigitScanCodes.begin()] : KeyCodes::Unknown;
}

quint16 digitFromKey(const QKeyEvent &event)
{
    const int key = event.key();
    if (key < Qt::Key_1 || key > Qt::Key_9)
        return KeyCodes::Unknown;
    const int index = key - Qt::Key_1;
    return event.modifiers().testFlag(Qt::KeypadModifier) ? KeyCodes::KeypadDigits[index] : KeyCodes::Digits[index];
}

quint16 otherKeyCode(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: // the keypad's, which users press for the same thing
        return KeyCodes::Return;
    case Qt::Key_Escape:
        return KeyCodes::Escape;
    case Qt::Key_Up:
        return KeyCodes::UpArrow;
    case Qt::Key_Down:
        return KeyCodes::DownArrow;
    case Qt::Key_Backspace:
        return KeyCodes::Delete;
    case Qt::Key_Delete:
        return KeyCodes::ForwardDelete;
    default:
        return KeyCodes::Unknown;
    }
}

} // namespace

KeyPress KeyPress::fromEvent(const QKeyEvent &event, ScanCodes scanCodes)
{
    KeyPress press;
    press.modifiers = event.modifiers() & countedModifiers;
    press.keyCode = scanCodes == ScanCodes::XkbKeycodes ? digitFromScanCode(event) : digitFromKey(event);
    if (press.keyCode == KeyCodes::Unknown)
        press.keyCode = otherKeyCode(event.key());
    // Printable keys have their (upper-case) character as Qt key; the named keys are far above.
    const int key = event.key();
    if (key >= Qt::Key_Space && key <= 0xFFFF)
        press.character = QChar(char16_t(key)).toLower();
    return press;
}

KeyPress KeyPress::fromEvent(const QKeyEvent &event)
{
    const QString platform = QGuiApplication::platformName();
    const bool xkb = platform.startsWith(QLatin1StringView("xcb")) || platform.startsWith(QLatin1StringView("wayland"));
    return fromEvent(event, xkb ? ScanCodes::XkbKeycodes : ScanCodes::Ignore);
}

ClipboardKeyboardController::ClipboardKeyboardController(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
{ }

ClipboardKeyboardController::~ClipboardKeyboardController()
{
    stop();
}

void ClipboardKeyboardController::start(QObject *target)
{
    if (m_target || !target)
        return;
    target->installEventFilter(this);
    m_target = target;
}

void ClipboardKeyboardController::stop()
{
    if (m_target)
        m_target->removeEventFilter(this);
    m_target.clear();
}

bool ClipboardKeyboardController::eventFilter(QObject *watched, QEvent *event)
{
    // A key press reaches its window first and is then passed on to the focused item; deciding on
    // the window's copy sees each press once, before any item.
    // Dialogs, menus and the other windows keep their own keys.
    if (event->type() == QEvent::KeyPress && watched->isWindowType() &&
        (!m_deps.handlesWindow || m_deps.handlesWindow(watched)))
        return process(KeyPress::fromEvent(*static_cast<QKeyEvent *>(event)));
    return false;
}

bool ClipboardKeyboardController::process(const KeyPress &key)
{
    if (!m_deps.windows.isMainInterfaceVisible())
        return false;
    if (m_deps.popupOpen && m_deps.popupOpen())
        return false;

    ClipboardStore &store = m_deps.store;
    // Keys that act on the list see the filter of everything typed so far, even when the user is
    // quicker than the search delay.
    const bool actsOnList = digitSlot(key.keyCode) || key.keyCode == KeyCodes::Return ||
        key.keyCode == KeyCodes::UpArrow || key.keyCode == KeyCodes::DownArrow || key.keyCode == KeyCodes::Delete ||
        key.keyCode == KeyCodes::ForwardDelete;
    if (actsOnList)
        store.flushPendingSearch();
    const QList<ClipItem> list = store.filteredItems();
    const Qt::KeyboardModifiers modifiers = key.modifiers & countedModifiers;
    const bool searchFocused = store.isSearchFieldFocused();
    const bool otherInputFocused = m_deps.otherTextInputFocused && m_deps.otherTextInputFocused();
    const bool textInputFocused = searchFocused || otherInputFocused;
    const bool command = modifiers.testFlag(Qt::ControlModifier);

    if (const int slot = digitSlot(key.keyCode)) {
        // A bare digit is typed into any text input, not only the search field: the tag field and
        // the snippet editor take digits too.
        const bool applies = modifiers == (Qt::ControlModifier | Qt::ShiftModifier) || modifiers == Qt::AltModifier ||
            (modifiers == Qt::NoModifier && !textInputFocused);
        if (applies) {
            if (list.size() >= slot)
                paste(list.at(slot - 1));
            return true;
        }
    }

    if (key.keyCode == KeyCodes::Escape) {
        if (store.activeQRCodeItem())
            store.dismissQR(); // also stops sharing
        else if (searchFocused)
            store.resignSearchFocus();
        else if (store.searchQuery().isEmpty())
            m_deps.windows.dismissMainInterface();
        else
            store.setSearchQuery(QString());
        return true;
    }

    if (command && key.character == u'f') {
        store.requestSearchFocus();
        return true;
    }
    if (command && key.character == u'i') {
        store.requestInspectorToggle();
        return true;
    }

    const Qt::KeyboardModifiers chord = modifiers & ~Qt::KeyboardModifiers(Qt::ShiftModifier);
    if (chord == Qt::AltModifier && key.character == u'p' && store.selectedItem()) {
        store.togglePin(ClipItem(*store.selectedItem()));
        return true;
    }

    // The search field is one line and has no use for Return and the arrows: typing a filter and
    // then choosing with them is the point of it. Other text inputs keep them.
    if (key.keyCode == KeyCodes::Return && !modifiers.testFlag(Qt::ShiftModifier) && !otherInputFocused) {
        const std::optional<ClipItem> target =
            store.selectedItem() ? store.selectedItem() : (list.isEmpty() ? std::nullopt : std::optional(list.first()));
        if (target) {
            paste(*target);
            return true;
        }
    }
    if ((key.keyCode == KeyCodes::UpArrow || key.keyCode == KeyCodes::DownArrow) && !list.isEmpty() &&
        !otherInputFocused) {
        moveSelection(list, key.keyCode == KeyCodes::UpArrow ? -1 : 1);
        return true;
    }

    // Ctrl+Delete always; Ctrl+Backspace deletes a word in a text input and is left to it there.
    // Ctrl+Shift+Delete is the window's Clear Unpinned History.
    const bool deleteKey = (key.keyCode == KeyCodes::ForwardDelete && !modifiers.testFlag(Qt::ShiftModifier)) ||
        (key.keyCode == KeyCodes::Delete && !textInputFocused);
    if (command && deleteKey && store.selectedItem()) {
        store.deleteItem(ClipItem(*store.selectedItem()), true);
        return true;
    }

    // The undo toast's Undo from the keyboard; a text input keeps Ctrl+Z for its own text.
    if (modifiers == Qt::ControlModifier && key.character == u'z' && store.undoDeleteItem() && !textInputFocused) {
        store.undoLastDelete();
        return true;
    }

    return processWindowShortcut(key, modifiers);
}

bool ClipboardKeyboardController::processWindowShortcut(const KeyPress &key, Qt::KeyboardModifiers modifiers)
{
    ClipboardStore &store = m_deps.store;
    if (modifiers == (Qt::ControlModifier | Qt::AltModifier) && key.character == u'p') {
        store.setPaused(!store.isPaused());
        return true;
    }
    // Not Ctrl+Alt+Backspace: that ends the X session where zapping is on.
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && key.keyCode == KeyCodes::ForwardDelete &&
        m_deps.clearUnpinned) {
        m_deps.clearUnpinned();
        return true;
    }
    if (modifiers != Qt::ControlModifier)
        return false;

    const int slot = digitSlot(key.keyCode);
    if (slot >= 1 && slot <= int(ClipTypes::allCases.size())) {
        store.setSelectedCategory(ClipTypes::allCases[size_t(slot - 1)]);
        return true;
    }
    if (key.character == u'n') {
        store.setSelectedCategory(ClipType::Snippets);
        store.setShouldOpenNewSnippet(true);
        return true;
    }
    if (key.character == u'w') {
        m_deps.windows.dismissMainInterface();
        return true;
    }
    if (key.character == u',' && m_deps.openSettings) {
        m_deps.openSettings();
        return true;
    }
    return false;
}

void ClipboardKeyboardController::paste(const ClipItem &clip)
{
    if (m_deps.paste)
        m_deps.paste(clip);
}

void ClipboardKeyboardController::moveSelection(const QList<ClipItem> &list, int direction)
{
    ClipboardStore &store = m_deps.store;
    const std::optional<ClipItem> &selected = store.selectedItem();
    const auto found = selected
        ? std::find_if(list.cbegin(), list.cend(), [&](const ClipItem &clip) { return clip.id() == selected->id(); })
        : list.cend();
    if (found == list.cend()) {
        store.setSelectedItem(list.isEmpty() ? std::nullopt : std::optional(list.first()));
        return;
    }
    const qsizetype next = (found - list.cbegin()) + direction;
    if (next >= 0 && next < list.size())
        store.setSelectedItem(list.at(next));
}

} // namespace Vexilo
