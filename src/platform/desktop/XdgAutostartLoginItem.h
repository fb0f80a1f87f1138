// SPDX-License-Identifier: MIT
#pragma once

#include "LoginItem.h"

namespace Vexilo {

// Start at login through the XDG autostart folder: the entry "vexilo.desktop" exists while enabled.
class XdgAutostartLoginItem : public LoginItem
{
public:
    // autostartFolder defaults to $XDG_CONFIG_HOME/autostart (~/.config/autostart).
    explicit XdgAutostartLoginItem(QString executablePath, QString autostartFolder = defaultFolder());

    [[nodiscard]] static QString defaultFolder();
    [[nodiscard]] QString entryPath() const;

    [[nodiscard]] bool isEnabled() const override;
    QString enable() override;
    QString disable() override;

    // The Exec= value that runs this program, quoted as desktop entries require.
    [[nodiscard]] static QString execValue(const QString &executablePath);

private:
    QString m_executablePath;
    QString m_folder;
};

} // namespace Vexilo
