// SPDX-License-Identifier: MIT
#pragma once

#include "AccessibilityPermission.h"
#include "ClipboardMonitor.h"
#include "FakeHotkeyService.h"
#include "FakeKeyEventSource.h"
#include "FakeKeySynthesizer.h"
#include "FakePasteboard.h"
#include "FakeWorkspace.h"
#include "FocusRestoration.h"
#include "PasteService.h"
#include "RecordingWindowController.h"
#include "StoreFixture.h"

namespace Vexilo::Test {

// A snippet whose title is its text.
inline ClipItem snippet(const QString &text, const std::optional<QString> &shortcut = {}, double createdAt = 0)
{
    ClipItem clip(QUuid::createUuid(), createdAt, ClipType::Snippets, false, {}, true);
    clip.setTextContent(text);
    clip.setSnippetTitle(text);
    clip.setSnippetShortcut(shortcut);
    return clip;
}

// What a paste sends, after `backspaces` Backspaces, in FakeKeySynthesizer's summary.
inline QStringList pasteKeys(int backspaces = 0)
{
    QStringList keys;
    for (int i = 0; i < backspaces; ++i)
        keys << QStringLiteral("51:0:down") << QStringLiteral("51:0:up");
    return keys << QStringLiteral("9:100000:down") << QStringLiteral("9:100000:up");
}

// The input services wired together over fakes and a store on a temporary folder, the way the
// application wires them over the desktop.
class InputTestRig
{
public:
    // `history` is written before the store opens; a history with a snippet keeps the default
    // snippets out.
    explicit InputTestRig(const QList<ClipItem> &history = {})
        : store(openStore(fixture, history))
        , monitor(&pasteboard, &workspace, &store)
        , focus(&workspace)
        , permission(&keys, &keyEvents, &workspace, &fixture.settings(),
                     [this](const QString &line) { log.append(line); })
        , paste(PasteService::Dependencies{&store, &pasteboard, &monitor, &workspace, &keys, &permission, &focus,
                                           &windows, fixture.environment.playSound})
    { }

    // Clips the store holds that are not snippets, newest first.
    [[nodiscard]] QList<ClipItem> history() const { return store.items(QString(), ClipType::All, 1000, false); }
    [[nodiscard]] int copySounds() { return int(fixture.sounds().count(QStringLiteral("Copy"))); }

    StoreFixture fixture;
    ClipboardStore &store;
    QStringList log;
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    FakeKeySynthesizer keys;
    FakeKeyEventSource keyEvents;
    FakeHotkeyService hotkeys;
    RecordingWindowController windows;
    ClipboardMonitor monitor;
    FocusRestoration focus;
    AccessibilityPermission permission;
    PasteService paste;

private:
    static ClipboardStore &openStore(StoreFixture &fixture, const QList<ClipItem> &history)
    {
        if (!history.isEmpty())
            fixture.writeHistory(history);
        return fixture.open();
    }
};

} // namespace Vexilo::Test
