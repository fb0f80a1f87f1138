// SPDX-License-Identifier: MIT
#include "SceneFactory.h"

#include "AppIconProvider.h"
#include "ClipActions.h"
#include "ClipDetailModel.h"
#include "ClipListModel.h"
#include "ClipListState.h"
#include "ClipThumbnailProvider.h"
#include "ClipboardStore.h"
#include "DesktopAppearance.h"
#include "MainViewModel.h"
#include "MenuBarPopoverModel.h"
#include "OnboardingModel.h"
#include "PasteService.h"
#include "QRCodeService.h"
#include "QRSheetModel.h"
#include "SettingsViewModel.h"
#include "ShortcutsCheatsheet.h"
#include "SnippetsManagerModel.h"
#include "UiEngineSetup.h"

#include <QDateTime>
#include <QQmlEngine>

namespace Vexilo::SceneFactory {

void prepareEngine(QQmlEngine &engine, const SceneServices &services)
{
    UiEngineSetup::prepare(engine);
    ClipThumbnailProvider::install(engine, *services.store);
    engine.addImageProvider(QStringLiteral("appicon"), new AppIconProvider(services.applicationIcon));
}

QVariantMap createViewModels(const SceneServices &services, QObject *parent)
{
    ClipboardStore &store = *services.store;
    PasteService *paste = services.paste;
    const auto unixSeconds = [] { return QDateTime::currentSecsSinceEpoch(); };
    const auto copyPlainText = [paste](const QString &text) { paste->copyPlainText(text); };

    auto *actions =
        new ClipActions({&store, paste, services.showInFileManager, services.openUrl, services.openSettings}, parent);

    ClipDetailModel::Dependencies detail;
    detail.store = &store;
    detail.paste = [paste](const ClipItem &item, const std::optional<QString> &text) { paste->pasteItem(item, text); };
    detail.copy = [paste](const ClipItem &item, const std::optional<QString> &text) {
        paste->copyToPasteboard(item, text);
    };
    detail.copyPlainText = copyPlainText;
    detail.recognizeText = services.recognizeText;
    detail.showInFileManager = services.showInFileManager;
    detail.openUrl = services.openUrl;
    detail.clock = services.clock;
    detail.saveFileChooser = services.saveFileChooser;
    detail.unixSeconds = unixSeconds;

    QRSheetModel::Dependencies qr;
    qr.store = &store;
    qr.qrPayload = services.qrPayload;
    qr.generateQRCode = &QRCodeService::generateQRCode;
    qr.copyPlainText = copyPlainText;
    qr.copyImage = services.copyImage;
    qr.clock = services.clock;
    qr.saveFileChooser = services.saveFileChooser;
    qr.unixSeconds = unixSeconds;

    return {
        {QStringLiteral("store"), QVariant::fromValue<QObject *>(&store)},
        {QStringLiteral("main"), QVariant::fromValue<QObject *>(new MainViewModel(store, *services.settings, parent))},
        {QStringLiteral("listModel"), QVariant::fromValue<QObject *>(new ClipListModel(store, services.clock, parent))},
        {QStringLiteral("listState"), QVariant::fromValue<QObject *>(new ClipListState(store, parent))},
        {QStringLiteral("actions"), QVariant::fromValue<QObject *>(actions)},
        {QStringLiteral("detail"), QVariant::fromValue<QObject *>(new ClipDetailModel(detail, parent))},
        {QStringLiteral("qrSheet"), QVariant::fromValue<QObject *>(new QRSheetModel(qr, parent))},
        {QStringLiteral("snippets"), QVariant::fromValue<QObject *>(new SnippetsManagerModel(store, *paste, parent))},
        {QStringLiteral("onboarding"),
         QVariant::fromValue<QObject *>(new OnboardingModel(*services.hotkeys, *services.permission, store, parent))},
        {QStringLiteral("cheatsheet"),
         QVariant::fromValue<QObject *>(new ShortcutsCheatsheet(services.hotkeys, parent))},
        {QStringLiteral("appearance"), QVariant::fromValue<QObject *>(services.appearance)},
    };
}

QVariantMap createPopoverModels(const SceneServices &services, QObject *parent)
{
    PasteService *paste = services.paste;
    MenuBarPopoverModel::Dependencies popover;
    popover.store = services.store;
    popover.clock = services.clock;
    popover.copy = [paste](const ClipItem &item) { paste->copyToPasteboard(item, std::nullopt); };
    popover.openMainApp = services.openMainApp;
    popover.openSettings = services.openSettingsFromPopover;
    popover.checkForUpdates = services.checkForUpdatesFromPopover;
    popover.quit = services.quit;
    popover.dismiss = services.dismissPopover;
    return {
        {QStringLiteral("popover"), QVariant::fromValue<QObject *>(new MenuBarPopoverModel(popover, parent))},
        {QStringLiteral("appearance"), QVariant::fromValue<QObject *>(services.appearance)},
    };
}

QVariantMap createSettingsModels(const SceneServices &services, QObject *parent)
{
    SettingsViewModel::Dependencies settings;
    settings.store = services.store;
    settings.hotkeys = services.hotkeys;
    settings.permission = services.permission;
    settings.exporter = services.exporter;
    settings.alerts = services.alerts;
    settings.setLaunchAtLogin = services.setLaunchAtLogin;
    settings.checkForUpdates = services.checkForUpdates;
    settings.runningApplicationIds = services.runningApplicationIds;
    settings.versionText = services.versionText;
    settings.storageFolder = services.storageFolder;
    return {
        {QStringLiteral("settings"), QVariant::fromValue<QObject *>(new SettingsViewModel(settings, parent))},
        {QStringLiteral("cheatsheet"),
         QVariant::fromValue<QObject *>(new ShortcutsCheatsheet(services.hotkeys, parent))},
        {QStringLiteral("appearance"), QVariant::fromValue<QObject *>(services.appearance)},
    };
}

} // namespace Vexilo::SceneFactory
