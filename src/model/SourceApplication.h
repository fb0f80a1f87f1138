// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>

namespace Vexilo {

// The application that was in front when a clip was captured. Only its name and identifier are kept.
struct SourceApplication
{
    std::optional<QString> name;
    std::optional<QString> bundleId;
};

} // namespace Vexilo
