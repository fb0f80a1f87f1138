// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace Vexilo {

class GlobalHotkeyManager;

// The keyboard shortcuts of the help popover and the settings, as label and key text, with the HUD
// hotkey following the user's choice.
class ShortcutsCheatsheet : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the application")
    // One map per row: label, keys.
    Q_PROPERTY(QVariantList rows READ rows NOTIFY rowsChanged)

public:
    struct Row
    {
        QString label;
        QString keys;
    };
    // Stands for the HUD hotkey, whichever the user chose.
    static inline const QString currentHotkeyPlaceholder = QStringLiteral("varies");
    [[nodiscard]] static const QList<Row> &table();

    // Without a hotkey manager the default hotkey is shown.
    explicit ShortcutsCheatsheet(GlobalHotkeyManager *hotkeys, QObject *parent = nullptr);

    [[nodiscard]] QList<Row> resolvedRows() const;
    [[nodiscard]] QVariantList rows() const;

Q_SIGNALS:
    void rowsChanged();

private:
    QPointer<GlobalHotkeyManager> m_hotkeys;
};

} // namespace Vexilo
