// SPDX-License-Identifier: MIT
// The store's entry points for new history: text, images and file lists.
#include "ClipboardStore.h"

#include "AppSettings.h"
#include "ContentDetector.h"
#include "FilePathDetector.h"
#include "SecureMemory.h"
#include "TextUtils.h"
#include "Uuid.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QScopeGuard>
#include <cmath>

namespace Vexilo {

namespace {
void applySource(ClipItem &clip, const std::optional<SourceApplication> &sourceApp)
{
    if (!sourceApp)
        return;
    clip.setSourceAppName(sourceApp->name);
    clip.setSourceAppBundleId(sourceApp->bundleId);
}
} // namespace

// Every capture passes here first.
std::optional<CaptureResult> ClipboardStore::refusedCapture() const
{
    if (!m_historyProblem.isEmpty())
        return CaptureResult{CaptureOutcome::Unavailable, {}};
    if (m_isPaused)
        return CaptureResult{CaptureOutcome::Paused, {}};
    return std::nullopt;
}

void ClipboardStore::recordClip(const ClipItem &clip)
{
    m_items.prepend(clip);
    journalAdded(clip);
    publishPrepended(clip);
    // Selected even when the current filter or search does not list it.
    setSelectedItem(clip);
    enforceLimit();
    saveHistory();
}

CaptureResult ClipboardStore::addTextItem(const QString &text, const std::optional<SourceApplication> &sourceApp)
{
    if (const auto refused = refusedCapture())
        return *refused;
    if (TextUtils::trimmed(text).isEmpty())
        return {CaptureOutcome::Blank, {}};
    // Untrimmed, case-sensitive comparison against every clip that is not a snippet.
    QByteArray utf8 = text.toUtf8();
    const auto wipe = qScopeGuard([&utf8] { SecureMemory::wipe(utf8); });
    for (const ClipItem &item : std::as_const(m_items)) {
        if (!item.isSnippet() && item.hasTextContent() && item.textContentUtf8() == utf8)
            return {CaptureOutcome::Duplicate, item.id()};
    }

    ClipItem clip(QUuid::createUuid(), now(), ClipType::Text);
    clip.setTextContentUtf8(utf8);
    applySource(clip, sourceApp);
    const ColorDetection color = ContentDetector::detectColor(text);
    if (color.isColor)
        clip.setColorHex(color.hex);
    if (ContentDetector::isURL(text)) {
        clip.setType(ClipType::Url);
    } else if (const CodeDetection code = ContentDetector::detectCode(text); code.isCode) {
        clip.setType(ClipType::Code);
        clip.setDetectedLanguage(code.language);
    } else if (const FilePathDetection files = ContentDetector::detectFilePath(text); files.isFileList) {
        clip.setType(ClipType::File);
        clip.setFilePaths(files.paths);
    }
    recordClip(clip);
    return {CaptureOutcome::Recorded, clip.id()};
}

CaptureResult ClipboardStore::addImageItem(const QImage &image, const std::optional<SourceApplication> &sourceApp)
{
    if (const auto refused = refusedCapture())
        return *refused;
    if (image.isNull())
        return {CaptureOutcome::Failed, {}};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter encoder(&buffer, "png");
    if (!encoder.write(image))
        return {CaptureOutcome::Failed, {}};

    const QString fileName = Uuid::toText(QUuid::createUuid()) + QStringLiteral(".png");
    QFile file(imageURL(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size()) {
        log(QStringLiteral("Failed to save image clip: ") + file.errorString());
        file.remove();
        return {CaptureOutcome::Failed, {}};
    }
    file.close();

    ClipItem clip(QUuid::createUuid(), now(), ClipType::Image);
    clip.setImageFileName(fileName);
    const QSizeF points = image.deviceIndependentSize();
    clip.setImageSize(int(std::trunc(points.width())), int(std::trunc(points.height())));
    applySource(clip, sourceApp);
    recordClip(clip);
    if (autoExtractOCR())
        startRecognition(image, clip.id());
    return {CaptureOutcome::Recorded, clip.id()};
}

void ClipboardStore::startRecognition(const QImage &image, const QUuid &id)
{
    if (!m_env.recognizeText)
        return;
    m_env.recognizeText(image, this, [this, id](std::optional<QString> text) {
        if (text)
            updateExtractedText(*text, id);
    });
}

CaptureResult ClipboardStore::addFilesItem(const QStringList &paths, const std::optional<SourceApplication> &sourceApp)
{
    if (const auto refused = refusedCapture())
        return *refused;
    if (paths.isEmpty())
        return {CaptureOutcome::Blank, {}};
    for (const ClipItem &item : std::as_const(m_items)) {
        if (!item.isSnippet() && item.hasFilePaths() && item.filePaths() == paths)
            return {CaptureOutcome::Duplicate, item.id()};
    }
    ClipItem clip(QUuid::createUuid(), now(), ClipType::File);
    clip.setFilePaths(paths);
    applySource(clip, sourceApp);
    recordClip(clip);
    return {CaptureOutcome::Recorded, clip.id()};
}

void ClipboardStore::updateExtractedText(const QString &text, const QUuid &itemId)
{
    const int index = indexOf(itemId);
    if (index < 0)
        return;
    m_items[index].setExtractedText(text);
    journalUpdated(index);
    publishItems();
    refreshSelection(index);
    saveHistory();
}

} // namespace Vexilo
