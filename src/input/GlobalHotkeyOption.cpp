// SPDX-License-Identifier: MIT
#include "GlobalHotkeyOption.h"

#include "KeyCodes.h"

namespace Vexilo::GlobalHotkeyOptions {

QString rawValue(GlobalHotkeyOption option)
{
    switch (option) {
    case GlobalHotkeyOption::OptionV:
        return QStringLiteral("\u2325 + V");
    case GlobalHotkeyOption::OptionSpace:
        return QStringLiteral("\u2325 + Space");
    }
    return {};
}

std::optional<GlobalHotkeyOption> fromRawValue(QStringView raw)
{
    for (const GlobalHotkeyOption option : allCases) {
        if (raw == rawValue(option))
            return option;
    }
    return std::nullopt;
}

QString displayLabel(GlobalHotkeyOption option)
{
    switch (option) {
    case GlobalHotkeyOption::OptionV:
        return QStringLiteral("Alt+V");
    case GlobalHotkeyOption::OptionSpace:
        return QStringLiteral("Alt+Space");
    }
    return {};
}

quint32 keyCode(GlobalHotkeyOption option)
{
    return option == GlobalHotkeyOption::OptionSpace ? KeyCodes::Space : KeyCodes::V;
}

quint32 modifiers(GlobalHotkeyOption option)
{
    Q_UNUSED(option)
    return KeyCodes::OptionModifier;
}

} // namespace Vexilo::GlobalHotkeyOptions
