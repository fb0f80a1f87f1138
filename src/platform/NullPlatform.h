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
    explicit NullKeySynthesizer(QString reason = QStringLiteral("this desktop offers no way to send keys"))
        : m_reason(std::move(reason))
    { }

    [[nodiscard]] QString unavailableReason() const override { return m_reason; }
    [[nodiscard]] bool isAvailable() const override { return false; }
    [[nodiscard]] bool modifiersHeld() const override { return false; }
    void postKey(quint16 keyCode, quint64 modifierFlags, bool down) override;

private:
    QString m_reason;
};

class NullHotkeyService : public HotkeyService
{
    Q_OBJECT

public:
    static constexpr int UnsupportedStatus = -1;

    using HotkeyService::HotkeyService;

    int registerHotkey(quint32 id, quint32 keyCode, quint32 modifiers) override;
    void unregisterHotkey(quint32 id) override;
    [[nodiscard]] bool isAvailable() const override { return false; }
};

class NullKeyEventSource : public KeyEventSource
{
    Q_OBJECT

public:
    explicit NullKeyEventSource(QString reason = QStringLiteral("this desktop offers no way to watch keys"),
                                QObject *parent = nullptr)
        : KeyEventSource(parent)
        , m_reason(std::move(reason))
    { }

    bool start() override { return false; }
    void stop() override { }
    [[nodiscard]] bool isRunning() const override { return false; }
    [[nodiscard]] bool isAvailable() const override { return false; }
    [[nodiscard]] QString unavailableReason() const override { return m_reason; }

private:
    QString m_reason;
};

} // namespace Vexilo
