// SPDX-License-Identifier: MIT
#pragma once

#include "KeySynthesizer.h"

#include <QList>
#include <QMutex>
#include <atomic>

class QThread;

namespace Vexilo {

// Records synthetic keys instead of sending them. Safe to post from any thread.
class FakeKeySynthesizer : public KeySynthesizer
{
public:
    struct PostedKey
    {
        quint16 keyCode = 0;
        quint64 modifierFlags = 0;
        bool down = false;
        QThread *thread = nullptr; // the thread that posted it
        bool modifiersHeld = false; // whether the user held a modifier at that moment
    };

    void setAvailable(bool available) { m_available = available; }
    // The user presses or releases modifier keys.
    void setModifiersHeld(bool held) { m_modifiersHeld = held; }

    [[nodiscard]] QList<PostedKey> postedKeys() const;
    [[nodiscard]] int postedKeyCount() const;
    // "<code>:<flags in hex>:down|up" per posted key, for compact comparisons.
    [[nodiscard]] QStringList postedKeySummary() const;
    [[nodiscard]] int modifierQueries() const { return m_modifierQueries; }
    void clear();

    [[nodiscard]] bool isAvailable() const override { return m_available; }
    [[nodiscard]] bool modifiersHeld() const override;
    void postKey(quint16 keyCode, quint64 modifierFlags, bool down) override;

private:
    std::atomic<bool> m_available = true;
    std::atomic<bool> m_modifiersHeld = false;
    mutable std::atomic<int> m_modifierQueries = 0;
    mutable QMutex m_mutex;
    QList<PostedKey> m_posted;
};

} // namespace Vexilo
