// SPDX-License-Identifier: MIT
#include "PlatformServices.h"

#ifdef VEXILO_HAVE_WAYLAND
#include "WaylandPasteboard.h"
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

std::unique_ptr<PlatformServices> PlatformServices::create(const QString &executablePath)
{
    std::unique_ptr<PlatformServices> services(new PlatformServices);
    services->m_desktopFiles = std::make_unique<DesktopFiles>();
    // A Wayland compositor with data-control shows every copy without focus; otherwise Qt's clipboard,
    // which sees other applications' copies on X11 (and on Wayland only while a window has focus).
#ifdef VEXILO_HAVE_WAYLAND
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        if (auto wayland = WaylandPasteboard::create()) {
            services->m_pasteboard = std::move(wayland);
            services->m_clipboardName = QStringLiteral("Wayland data-control");
        }
    }
#endif
    if (!services->m_pasteboard) {
        services->m_pasteboard = std::make_unique<X11Pasteboard>(QGuiApplication::clipboard());
        services->m_clipboardName = QGuiApplication::platformName() == u"xcb"
            ? QStringLiteral("X11")
            : QStringLiteral("%1, only while a Vexilo window has focus").arg(QGuiApplication::platformName());
    }
    services->m_loginItem = std::make_unique<XdgAutostartLoginItem>(executablePath);
    services->m_sounds = qtSoundEffectLoader();

    if (QGuiApplication::platformName() == u"xcb")
        services->m_atoms = X11Atoms::forApplication();
    if (services->m_atoms) {
        services->m_name = QStringLiteral("x11");
        services->m_workspace = std::make_unique<X11Workspace>(services->m_atoms.get(), services->m_desktopFiles.get());
        services->m_keys = std::make_unique<X11KeySynthesizer>();
        services->m_hotkeys = std::make_unique<X11HotkeyService>();
        services->m_keyEvents = std::make_unique<X11KeyEventSource>();
        services->m_overlayWindows = std::make_unique<X11OverlayWindowSupport>(services->m_atoms.get());
    } else {
        services->m_name = QGuiApplication::platformName();
        services->m_workspace = std::make_unique<NullWorkspace>();
        services->m_keys = std::make_unique<NullKeySynthesizer>();
        services->m_hotkeys = std::make_unique<NullHotkeyService>();
        services->m_keyEvents = std::make_unique<NullKeyEventSource>();
        services->m_overlayWindows = std::make_unique<QtOverlayWindowSupport>();
    }
    return services;
}

} // namespace Vexilo
