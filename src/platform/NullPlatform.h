// SPDX-License-Identifier: MIT
#pragma once

#include "HotkeyService.h"
#include "KeyEventSource.h"
#include "KeySynthesizer.h"

// Keyboard backends for desktops that offer none of these capabilities: the application runs, it
// only cannot paste by keystroke, take global hotkeys or watch other applications' keys.
namespace Vexilo {

class NullKeySynthesizer : public KeySynthesizer
{
public:
    [[nodiscard]] bool isAvailable() const override { return false; }
    [[nodiscard]] bool modifiersHeld() const override { return false; }
    void postKey(quint16 keyCode, quint64 modifierFlags, bool down) override;
};

class NullHotkeyService : public HotkeyService
{
    Q_OBJECT

public:
    static constexpr int UnsupportedStatus = -1;

    using HotkeyService::HotkeyService;

    int registerHotkey(quint32 id, quint32 keyCode, quint32 modifiers) override;
    void unregisterHotkey(quint32 id) override;
};

class NullKeyEventSource : public KeyEventSource
{
    Q_OBJECT

public:
    using KeyEventSource::KeyEventSource;

    bool start() override { return false; }
    void stop() override { }
    [[nodiscard]] bool isRunning() const override { return false; }
    [[nodiscard]] bool isAvailable() const override { return false; }
};

} // namespace Vexilo
