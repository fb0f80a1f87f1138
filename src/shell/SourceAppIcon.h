// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QIcon>
#include <optional>

namespace Vexilo {

class Workspace;

// Icons of the applications clips came from, looked up once per identifier.
class SourceAppIcon
{
public:
    explicit SourceAppIcon(Workspace &workspace);

    // Nothing for an absent or unknown identifier; unknown identifiers are asked again next time.
    [[nodiscard]] std::optional<QIcon> image(const std::optional<QString> &bundleId);

private:
    Workspace &m_workspace;
    QHash<QString, QIcon> m_cache;
};

} // namespace Vexilo
