// SPDX-License-Identifier: MIT
#pragma once

#include "WindowController.h"

#include <QStringList>

namespace Vexilo::Test {

// Records what the input services asked of the windows, in order.
class RecordingWindowController : public WindowController
{
public:
    void toggleHud() override
    {
        calls.append(QStringLiteral("toggleHud"));
        hudVisible = !hudVisible;
    }
    void showHud() override
    {
        calls.append(QStringLiteral("showHud"));
        hudVisible = true;
    }
    void hideHud() override
    {
        calls.append(QStringLiteral("hideHud"));
        hudVisible = false;
    }
    [[nodiscard]] bool isMainInterfaceVisible() const override { return hudVisible; }
    void dismissMainInterface() override
    {
        calls.append(QStringLiteral("dismissMainInterface"));
        hudVisible = false;
    }
    void hideApplication() override { calls.append(QStringLiteral("hideApplication")); }

    QStringList calls;
    bool hudVisible = false;
};

} // namespace Vexilo::Test
