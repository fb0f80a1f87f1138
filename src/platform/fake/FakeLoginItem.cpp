// SPDX-License-Identifier: MIT
#include "FakeLoginItem.h"

namespace Vexilo {

QString FakeLoginItem::enable()
{
    ++m_enableCalls;
    if (!m_failure.isEmpty())
        return m_failure;
    m_enabled = true;
    m_upToDate = true;
    return {};
}

QString FakeLoginItem::disable()
{
    ++m_disableCalls;
    if (!m_failure.isEmpty())
        return m_failure;
    m_enabled = false;
    return {};
}

} // namespace Vexilo
