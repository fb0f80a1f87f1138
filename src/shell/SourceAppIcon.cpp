// SPDX-License-Identifier: MIT
#include "SourceAppIcon.h"

#include "Workspace.h"

namespace Vexilo {

SourceAppIcon::SourceAppIcon(Workspace &workspace)
    : m_workspace(workspace)
{ }

std::optional<QIcon> SourceAppIcon::image(const std::optional<QString> &bundleId)
{
    if (!bundleId || bundleId->isEmpty())
        return std::nullopt;
    if (const auto it = m_cache.constFind(*bundleId); it != m_cache.constEnd())
        return *it;
    const auto path = m_workspace.applicationPath(*bundleId);
    if (!path)
        return std::nullopt;
    const QIcon icon = m_workspace.iconForApplication(*path);
    m_cache.insert(*bundleId, icon);
    return icon;
}

} // namespace Vexilo
