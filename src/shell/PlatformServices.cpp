// SPDX-License-Identifier: MIT
#include "PlatformServices.h"

#ifdef VEXILO_HAVE_WAYLAND
#include "WaylandKeySynthesizer.h"
#include "WaylandPasteboard.h"
#include "WaylandWorkspace.h"
#endif

#include "DesktopFiles.h"
#include "NullPlatform.h"
#include "NullWorkspace.h"
#include "OverlayWindowSupport.h"
#include "QtSoundEffect.h"
#include "X11Atoms.h"
#include "X11HotkeyService.h"
#include "X11KeyEventSource.h"
#include "X11KeySynthesizer.h"
#include "X11OverlayWindowSupport.h"
#include "X11Pasteboard.h"
#include "X11Workspace.h"
#include "XdgAutostartLoginItem.h"

#include <QGuiApplication>

namespace Vexilo {

PlatformServices::PlatformServices() = default;
PlatformServices::~PlatformServices() = default;

namespace {

// The compositors that tile every window that does not ask for a fixed size.
bool isTilingCompositor()
{
    if (!qEnvironmentVariableIsEmpty("SWAYSOCK") || !qEnvironmentVariableIsEmpty("HYPRLAND_INSTANCE_SIGNATURE"))
        return true;
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower();
    return desktop.contains(u"sway") || desktop.contains(u"hyprland") || desktop.contains(u"river");
}

} // namespace

std::unique_ptr<PlatformServices> PlatformServices::create(const QString &executablePath, LogSink log)
{
    std::unique_ptr<PlatformServices> services(new PlatformServices);
    services->m_desktopFiles = std::make_unique<DesktopFiles>();
    const bool onX11 = QGuiApplication::platformName() == u"xcb";
    const bool onWayland = QGuiApplication::platformName() == u"wayland";
    // A Wayland compositor with data-control shows every copy without focus; otherwise Qt's clipboard,
    // which sees other applications' copies on X11 (and on Wayland only while a window has focus).
#ifdef VEXILO_HAVE_WAYLAND
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        if (auto wayland = WaylandPasteboard::create(log)) {
            services->m_pasteboard = std::move(wayland);
            services->m_clipboardName = QStringLiteral("Wayland data-control");
        }
    }
#endif
    if (!services->m_pasteboard) {
        services->m_pasteboard = std::make_unique<X11Pasteboard>(QGuiApplication::clipboard());
        services->m_clipboardName = onX11 ? QStringLiteral("X11")
            : onWayland
            ? QStringLiteral("Wayland, only while a Vexilo window has focus (the compositor offers no "
                             "zwlr_data_control_manager_v1)")
            : QStringLiteral("%1, only while a Vexilo window has focus").arg(QGuiApplication::platformName());
    }
    services->m_loginItem = std::make_unique<XdgAutostartLoginItem>(executablePath);
    services->m_sounds = qtSoundEffectLoader();
    services->m_name = QGuiApplication::platformName();

    if (onX11)
        services->m_atoms = X11Atoms::forApplication();
    if (services->m_atoms) {
        services->m_name = QStringLiteral("x11");
        services->m_windowsName = QStringLiteral("X11 (EWMH)");
        services->m_workspace = std::make_unique<X11Workspace>(services->m_atoms.get(), services->m_desktopFiles.get());
        services->m_keys = std::make_unique<X11KeySynthesizer>();
        services->m_hotkeys = std::make_unique<X11HotkeyService>();
        services->m_keyEvents = std::make_unique<X11KeyEventSource>();
        services->m_overlayWindows = std::make_unique<X11OverlayWindowSupport>(services->m_atoms.get());
        return services;
    }
#ifdef VEXILO_HAVE_WAYLAND
    if (onWayland) {
        if (auto workspace = WaylandWorkspace::create(services->m_desktopFiles.get(), log)) {
            services->m_workspace = std::move(workspace);
            services->m_windowsName = QStringLiteral("Wayland foreign-toplevel");
        }
        services->m_keys = WaylandKeySynthesizer::create(log);
    }
#endif
    if (!services->m_workspace) {
        services->m_workspace = std::make_unique<NullWorkspace>();
        services->m_windowsName = onWayland
            ? QStringLiteral("not known (the compositor offers no zwlr_foreign_toplevel_manager_v1): clips carry no "
                             "source application and pastes go to the window in front")
            : QStringLiteral("not known on this desktop");
    }
    if (!services->m_keys)
        services->m_keys = std::make_unique<NullKeySynthesizer>();
    services->m_hotkeys = std::make_unique<NullHotkeyService>();
    services->m_keyEvents = onWayland ? std::make_unique<NullKeyEventSource>(QStringLiteral(
                                            "Wayland lets no application watch the keys typed in other applications"))
                                      : std::make_unique<NullKeyEventSource>();
    services->m_overlayWindows = std::make_unique<QtOverlayWindowSupport>(onWayland && isTilingCompositor());
    return services;
}

} // namespace Vexilo
