// SPDX-License-Identifier: MIT
#include "ClipActions.h"

#include "ClipboardStore.h"
#include "PasteService.h"

namespace Vexilo {

namespace {
std::optional<QString> customTextOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    return value.toString();
}
} // namespace

ClipActions::ClipActions(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
{ }

std::optional<ClipItem> ClipActions::clip(const QString &id) const
{
    const QUuid uuid(id);
    if (uuid.isNull())
        return std::nullopt;
    return m_deps.store->item(uuid);
}

void ClipActions::select(const QString &id)
{
    if (auto item = clip(id))
        m_deps.store->setSelectedItem(item);
}

void ClipActions::paste(const QString &id, const QVariant &customText)
{
    if (auto item = clip(id))
        m_deps.paste->pasteItem(*item, customTextOf(customText));
}

void ClipActions::copy(const QString &id, const QVariant &customText)
{
    if (auto item = clip(id))
        m_deps.paste->copyToPasteboard(*item, customTextOf(customText));
}

void ClipActions::copyPlainText(const QString &text)
{
    m_deps.paste->copyPlainText(text);
}

void ClipActions::togglePin(const QString &id)
{
    if (auto item = clip(id))
        m_deps.store->togglePin(*item);
}

void ClipActions::deleteClip(const QString &id)
{
    if (auto item = clip(id))
        m_deps.store->deleteItem(*item, true);
}

void ClipActions::addTag(const QString &id, const QString &tag)
{
    if (auto item = clip(id))
        m_deps.store->addTag(tag, *item);
}

void ClipActions::removeTag(const QString &id, const QString &tag)
{
    if (auto item = clip(id))
        m_deps.store->removeTag(tag, *item);
}

void ClipActions::removeAllTags(const QString &id)
{
    const auto item = clip(id);
    if (!item)
        return;
    // One by one, re-reading the clip, as each removal gives a new version of it.
    for (const QString &tag : item->tags()) {
        if (auto current = clip(id))
            m_deps.store->removeTag(tag, *current);
    }
}

bool ClipActions::presentQR(const QString &id)
{
    const auto item = clip(id);
    return item && m_deps.store->presentQR(*item);
}

void ClipActions::showInFileManager(const QString &path)
{
    if (m_deps.showInFileManager)
        m_deps.showInFileManager(path);
}

void ClipActions::openUrl(const QString &url)
{
    if (m_deps.openUrl)
        m_deps.openUrl(url);
}

QVariantMap ClipActions::menuState(const QString &id) const
{
    const auto item = clip(id);
    if (!item)
        return {};
    return {{QStringLiteral("hasText"), !item->textContentUtf8().isEmpty()},
            {QStringLiteral("hasExtractedText"), !item->extractedText().isEmpty()},
            {QStringLiteral("firstPath"), item->filePaths().value(0)},
            {QStringLiteral("tags"), item->tags()},
            {QStringLiteral("isPinned"), item->isPinned()}};
}

QStringList ClipActions::allTags() const
{
    return m_deps.store->allTags();
}

void ClipActions::copyTextOf(const QString &id)
{
    if (const auto item = clip(id); item && !item->textContentUtf8().isEmpty())
        m_deps.paste->copyPlainText(item->textContent());
}

void ClipActions::copyExtractedTextOf(const QString &id)
{
    if (const auto item = clip(id); item && !item->extractedText().isEmpty())
        m_deps.paste->copyPlainText(item->extractedText());
}

void ClipActions::openSettings()
{
    if (m_deps.openSettings)
        m_deps.openSettings();
}

} // namespace Vexilo
