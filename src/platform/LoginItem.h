// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace Vexilo {

// Starting the application when the user logs in.
class LoginItem
{
public:
    virtual ~LoginItem() = default;
    [[nodiscard]] virtual bool isEnabled() const = 0;
    // False when an enabled login item should be written again (it starts another copy of the program).
    [[nodiscard]] virtual bool isUpToDate() const { return true; }
    // Each returns an error description, empty on success.
    virtual QString enable() = 0;
    virtual QString disable() = 0;
};

} // namespace Vexilo
