// SPDX-License-Identifier: MIT
#pragma once

#include "LoginItem.h"

namespace Vexilo {

// Start at login through the XDG autostart folder: the entry "<application id>.desktop" exists while
// enabled. An entry under the old name "vexilo.desktop" that this program wrote is taken over, so that
// login never starts two.
class XdgAutostartLoginItem : public LoginItem
{
public:
    // autostartFolder defaults to $XDG_CONFIG_HOME/autostart (~/.config/autostart).
    explicit XdgAutostartLoginItem(QString executablePath, QString autostartFolder = defaultFolder());

    [[nodiscard]] static QString defaultFolder();
    [[nodiscard]] QString entryPath() const;
    [[nodiscard]] QString legacyEntryPath() const;

    [[nodiscard]] bool isEnabled() const override;
    // False while an entry of the old name is left, or while the entry starts another copy of the
    // program, unless this copy is not installed and that one is (a build folder never takes the
    // login over from an installed program).
    [[nodiscard]] bool isUpToDate() const override;
    QString enable() override;
    QString disable() override;

    // The Exec= value that runs this program, quoted as desktop entries require.
    [[nodiscard]] static QString execValue(const QString &executablePath);
    // The program an Exec= value (file-format escapes already undone) starts.
    [[nodiscard]] static QString programOf(const QString &exec);
    // Whether the program is installed: its folder is the bin/ of a prefix that holds its desktop entry.
    [[nodiscard]] static bool isInstalled(const QString &executablePath);

private:
    [[nodiscard]] bool hasLegacyEntry() const;

    QString m_executablePath;
    QString m_folder;
};

} // namespace Vexilo
