// SPDX-License-Identifier: MIT
#pragma once

#include "LoginItem.h"

namespace Vexilo {

// A login item that lives in memory; tests can make enabling or disabling fail.
class FakeLoginItem : public LoginItem
{
public:
    // From now on enable() and disable() fail with this description (empty: they succeed).
    void setFailure(const QString &error) { m_failure = error; }
    [[nodiscard]] int enableCalls() const { return m_enableCalls; }
    [[nodiscard]] int disableCalls() const { return m_disableCalls; }

    // Until the next enable(), the item counts as out of date.
    void setOutOfDate() { m_upToDate = false; }

    [[nodiscard]] bool isEnabled() const override { return m_enabled; }
    [[nodiscard]] bool isUpToDate() const override { return m_upToDate; }
    QString enable() override;
    QString disable() override;

private:
    bool m_enabled = false;
    bool m_upToDate = true;
    QString m_failure;
    int m_enableCalls = 0;
    int m_disableCalls = 0;
};

} // namespace Vexilo
