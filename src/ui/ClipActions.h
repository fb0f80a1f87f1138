// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QObject>
#include <QVariant>
#include <QtQml/qqmlregistration.h>
#include <functional>
#include <optional>

namespace Vexilo {

class ClipboardStore;
class PasteService;

// What the views do to a clip, by its id: the one place where QML reaches the store and the paste
// service, so that the views stay free of rules.
class ClipActions : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the application")

public:
    struct Dependencies
    {
        ClipboardStore *store = nullptr;
        PasteService *paste = nullptr;
        // Opens a folder or file in the file manager, and an address in the browser.
        std::function<void(const QString &path)> showInFileManager;
        std::function<void(const QString &url)> openUrl;
        // Opens the settings window (another window's job); optional.
        std::function<void()> openSettings;
    };

    explicit ClipActions(Dependencies dependencies, QObject *parent = nullptr);

    Q_INVOKABLE void select(const QString &id);
    Q_INVOKABLE void paste(const QString &id, const QVariant &customText = {});
    Q_INVOKABLE void copy(const QString &id, const QVariant &customText = {});
    Q_INVOKABLE void copyPlainText(const QString &text);
    Q_INVOKABLE void togglePin(const QString &id);
    Q_INVOKABLE void deleteClip(const QString &id);
    Q_INVOKABLE void addTag(const QString &id, const QString &tag);
    Q_INVOKABLE void removeTag(const QString &id, const QString &tag);
    Q_INVOKABLE void removeAllTags(const QString &id);
    Q_INVOKABLE bool presentQR(const QString &id);
    Q_INVOKABLE void showInFileManager(const QString &path);
    Q_INVOKABLE void openUrl(const QString &url);
    Q_INVOKABLE void openSettings();
    // What a clip's context menu offers: hasText, hasExtractedText, firstPath, tags, isPinned.
    Q_INVOKABLE [[nodiscard]] QVariantMap menuState(const QString &id) const;
    Q_INVOKABLE [[nodiscard]] QStringList allTags() const;
    Q_INVOKABLE void copyTextOf(const QString &id);
    Q_INVOKABLE void copyExtractedTextOf(const QString &id);

    [[nodiscard]] std::optional<ClipItem> clip(const QString &id) const;

private:
    Dependencies m_deps;
};

} // namespace Vexilo
