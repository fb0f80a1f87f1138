// SPDX-License-Identifier: MIT
#pragma once

#include "KeySynthesizer.h"

#include <QByteArray>
#include <QMutex>

struct _XDisplay;

namespace Vexilo {

// Synthetic keys through XTest. It keeps an X connection of its own, so that it can be used from
// the paste service's background thread without touching the GUI's connection.
class X11KeySynthesizer : public KeySynthesizer
{
public:
    // An empty display name means the one in DISPLAY.
    explicit X11KeySynthesizer(const QByteArray &displayName = {});
    ~X11KeySynthesizer() override;
    X11KeySynthesizer(const X11KeySynthesizer &) = delete;
    X11KeySynthesizer &operator=(const X11KeySynthesizer &) = delete;

    [[nodiscard]] bool isAvailable() const override;
    [[nodiscard]] bool modifiersHeld() const override;
    [[nodiscard]] QString unavailableReason() const override;
    void postKey(quint16 keyCode, quint64 modifierFlags, bool down) override;

private:
    void refreshKeyboardMappingLocked() const;
    void fakeKeyLocked(unsigned long keysym, bool down) const;

    mutable QMutex m_mutex;
    _XDisplay *m_display = nullptr;
    bool m_hasXTest = false;
};

} // namespace Vexilo
