// SPDX-License-Identifier: MIT
// The detail pane's buttons.
#include "ClipDetailModel.h"

#include "ClipboardStore.h"
#include "SaveFileChooser.h"
#include "TextUtils.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QtConcurrent/QtConcurrentRun>

namespace Vexilo {

namespace {

std::optional<QString> optionalText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    return std::nullopt;
}

// The stored file as it is when it already is a PNG (the usual case), else re-encoded; the pane's
// picture only when the file cannot be read. Empty when nothing can be encoded.
QByteArray pngData(const QString &sourcePath, const QImage &fallback)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    QFile source(sourcePath);
    QByteArray bytes;
    if (!sourcePath.isEmpty() && source.open(QIODevice::ReadOnly))
        bytes = source.readAll();
    if (bytes.startsWith(signature))
        return bytes;
    QImage image = QImage::fromData(bytes);
    if (image.isNull())
        image = fallback;
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return {};
    return encoded;
}

} // namespace

void ClipDetailModel::paste(const QVariant &customText)
{
    if (m_item && m_deps.paste)
        m_deps.paste(*m_item, optionalText(customText));
}

void ClipDetailModel::copy(const QVariant &customText)
{
    if (m_item && m_deps.copy)
        m_deps.copy(*m_item, optionalText(customText));
}

void ClipDetailModel::togglePin()
{
    if (m_item)
        m_deps.store->togglePin(*m_item);
}

void ClipDetailModel::deleteClip()
{
    if (m_item)
        m_deps.store->deleteItem(*m_item, true);
}

void ClipDetailModel::presentQR()
{
    if (m_item && !m_deps.store->presentQR(*m_item))
        showFeedback(QStringLiteral("No content to generate QR code."));
}

void ClipDetailModel::transform(int modeIndex)
{
    if (!m_item || modeIndex < 0 || modeIndex >= int(TextTransformModes::allCases.size()))
        return;
    const TextTransformMode mode = TextTransformModes::allCases.at(modeIndex);
    // The whole text, not the part the pane shows.
    const std::optional<QString> result = m_item->transformedText(mode);
    if (!result) {
        if (mode == TextTransformMode::Base64Decoded)
            showFeedback(QStringLiteral("Not a valid Base64 string"));
        return;
    }
    copy(*result);
    showFeedback(QStringLiteral("Copied as ") + TextTransformModes::rawValue(mode));
}

void ClipDetailModel::submitNewTag()
{
    if (!m_item)
        return;
    const QStringView tag = TextUtils::trimmed(m_newTagText);
    // A blank entry adds nothing and stays in the field for the user to fix.
    if (tag.isEmpty())
        return;
    m_deps.store->addTag(tag.toString(), *m_item);
    setNewTagText({});
}

void ClipDetailModel::removeTag(const QString &tag)
{
    if (m_item)
        m_deps.store->removeTag(tag, *m_item);
}

void ClipDetailModel::extractText()
{
    if (!m_item || !m_item->hasImageFileName() || m_detailImage.isNull() || m_isExtractingOCR)
        return;
    setExtracting(true);
    auto done = [this, id = m_item->id(), generation = m_viewGeneration](const std::optional<QString> &text) {
        if (generation != m_viewGeneration)
            return;
        if (text && !text->isEmpty()) {
            m_deps.store->updateExtractedText(*text, id);
            setExtracting(false);
            showFeedback(QStringLiteral("OCR Recognition Complete"));
        } else {
            setExtracting(false);
            showFeedback(QStringLiteral("No readable text found in image"));
        }
    };
    if (!m_deps.recognizeText) {
        done(std::nullopt);
        return;
    }
    m_deps.recognizeText(m_detailImage, this, std::move(done));
}

void ClipDetailModel::copyExtractedText()
{
    const QString text = extractedText();
    if (text.isEmpty() || !m_deps.copyPlainText)
        return;
    m_deps.copyPlainText(text);
    showFeedback(QStringLiteral("Copied Extracted Text"));
}

void ClipDetailModel::pasteExtractedText()
{
    const QString text = extractedText();
    if (!text.isEmpty())
        paste(text);
}

void ClipDetailModel::copyCode()
{
    if (!m_item || !m_deps.copyPlainText)
        return;
    m_deps.copyPlainText(m_item->textContent());
    m_codeCopied.show(QStringLiteral("Copied"));
}

void ClipDetailModel::saveImage()
{
    if (!m_item || !m_item->hasImageFileName() || m_detailImage.isNull() || !m_deps.saveFileChooser)
        return;
    // The stored file, not the pane's scaled-down picture: saving must not lose resolution.
    const QString sourcePath = m_deps.store->imageURL(m_item->imageFileName());
    const QImage fallback = m_detailImage;
    const qint64 seconds = m_deps.unixSeconds ? m_deps.unixSeconds() : QDateTime::currentSecsSinceEpoch();
    m_deps.saveFileChooser->choosePngLocation(
        QStringLiteral("clip_%1.png").arg(seconds), [sourcePath, fallback](const std::optional<QString> &path) {
            if (!path)
                return;
            // Reading and encoding a large picture stays off the main thread.
            (void)QtConcurrent::run([sourcePath, fallback, target = *path] {
                const QByteArray png = pngData(sourcePath, fallback);
                if (png.isEmpty())
                    return;
                QSaveFile file(target);
                if (file.open(QIODevice::WriteOnly) && file.write(png) == png.size())
                    file.commit();
            });
        });
}

void ClipDetailModel::showInFileManager(const QString &path)
{
    if (m_deps.showInFileManager)
        m_deps.showInFileManager(path);
}

void ClipDetailModel::openLink()
{
    if (isLink() && m_deps.openUrl)
        m_deps.openUrl(m_item->textContent().trimmed());
}

} // namespace Vexilo
