// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace Vexilo::AppStorageKeys {

inline const QString autoPasteOnSelect = QStringLiteral("autoPasteOnSelect");
inline const QString playSounds = QStringLiteral("playSounds");
inline const QString maxHistoryLimit = QStringLiteral("maxHistoryLimit");
inline const QString autoExtractOCR = QStringLiteral("autoExtractOCR");
inline const QString autoClearDays = QStringLiteral("autoClearDays");
inline const QString launchAtLogin = QStringLiteral("launchAtLogin");
inline const QString maxVisibleTabs = QStringLiteral("maxVisibleTabs");
inline const QString hasCompletedOnboarding = QStringLiteral("hasCompletedOnboarding");
inline const QString listDensity = QStringLiteral("listDensity");
inline const QString snippetExpansionEnabled = QStringLiteral("snippetExpansionEnabled");
inline const QString menuBarPopoverItemCount = QStringLiteral("menuBarPopoverItemCount");
inline const QString globalHotkeyOption = QStringLiteral("globalHotkeyOption");
inline const QString ignoredAppBundleIds = QStringLiteral("ignoredAppBundleIds");
inline const QString isDetailPaneVisible = QStringLiteral("isDetailPaneVisible");
inline const QString leftPanelWidth = QStringLiteral("leftPanelWidth");
inline const QString hasShownAccessibilityPrompt = QStringLiteral("hasShownAccessibilityPrompt");
inline const QString lastUpdateCheckDate = QStringLiteral("lastUpdateCheckDate");
inline const QString skippedUpdateBuild = QStringLiteral("skippedUpdateBuild");

// The twelve registered defaults.
[[nodiscard]] QVariantMap defaultValues();

// Applications whose copies are never recorded, until the user edits the list.
[[nodiscard]] QStringList defaultIgnoredAppBundleIds();

} // namespace Vexilo::AppStorageKeys
