// SPDX-License-Identifier: MIT
#include "ClipDetailModel.h"

#include "ClipboardStore.h"
#include "CodeBlockFormatter.h"
#include "ReferenceDate.h"
#include "TextExcerpt.h"

#include <QFutureWatcher>
#include <QLocale>
#include <QtConcurrent/QtConcurrentRun>

namespace Vexilo {

ClipDetailModel::ClipDetailModel(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
    , m_feedback(*m_deps.clock, feedbackMs, [this] { Q_EMIT feedbackChanged(); })
    , m_codeCopied(*m_deps.clock, codeCopiedMs, [this] { Q_EMIT codeCopiedChanged(); })
{
    Q_ASSERT(m_deps.store && m_deps.clock);
    connect(m_deps.store, &ClipboardStore::selectedItemChanged, this, &ClipDetailModel::followSelection);
    followSelection();
}

void ClipDetailModel::followSelection()
{
    const std::optional<ClipItem> previous = m_item;
    m_item = m_deps.store->selectedItem();
    if (!m_item) {
        if (previous)
            endView();
        m_text.clear();
        m_textPieces.clear();
        m_codePieces.clear();
        m_stats.reset();
        Q_EMIT clipChanged();
        Q_EMIT contentChanged();
        Q_EMIT countsChanged();
        return;
    }
    const bool textReplaced = updateDisplayText(previous);
    updateStats();
    Q_EMIT clipChanged();
    if (textReplaced)
        Q_EMIT contentChanged();
    Q_EMIT countsChanged();
    if (isImage() && m_item->hasImageFileName())
        loadDetailImage();
}

bool ClipDetailModel::updateDisplayText(const std::optional<ClipItem> &previous)
{
    // Tags, pins and recognised text change the clip but not its text: the laid-out text stays.
    if (previous && previous->id() == m_item->id() && previous->type() == m_item->type() &&
        previous->textContentUtf8().data() == m_item->textContentUtf8().data() &&
        previous->textContentUtf8().size() == m_item->textContentUtf8().size())
        return false;

    m_text.clear();
    m_textPieces.clear();
    m_textTruncated = false;
    m_codePieces.clear();
    m_codeShownLines = 0;
    m_codeMoreLines = false;
    m_codeCutInLine = false;
    if (!m_item->hasTextContent())
        return true;
    if (isCode()) {
        const TextExcerpt::Excerpt excerpt = TextExcerpt::head(m_item->textContentUtf8(), maxCodeCharacters);
        const CodeBlockFormatter::CodeBlock block =
            CodeBlockFormatter::format(excerpt.text, maxCodeLines, codeLinesPerPiece);
        for (const CodeBlockFormatter::Piece &piece : block.pieces) {
            m_codePieces.append(
                QVariantMap{{QStringLiteral("html"), piece.html}, {QStringLiteral("lineNumbers"), piece.lineNumbers}});
        }
        m_codeShownLines = block.shownLines;
        m_codeMoreLines = block.moreLines;
        m_codeCutInLine = excerpt.truncated && !block.moreLines;
        return true;
    }
    TextExcerpt::Excerpt excerpt = TextExcerpt::head(m_item->textContentUtf8(), maxDisplayCharacters);
    m_text = std::move(excerpt.text);
    if (isText())
        m_textPieces = TextExcerpt::pieces(m_text, textPieceSize);
    m_textTruncated = excerpt.truncated;
    return true;
}

ClipDetailModel::TextStats ClipDetailModel::countText(const ClipItem &item)
{
    TextStats stats{item.characterCount(), item.wordCount(), item.lineCount(), 0};
    for (const char byte : item.textContentUtf8()) {
        if ((quint8(byte) & 0xC0) != 0x80)
            ++stats.codePoints;
    }
    return stats;
}

QString ClipDetailModel::statsKey(const ClipItem &item)
{
    const QByteArrayView text = item.textContentUtf8();
    return item.idString() + u'/' + QString::number(quintptr(text.data())) + u'/' + QString::number(text.size());
}

void ClipDetailModel::updateStats()
{
    const ClipItem &item = *m_item;
    if (item.textContentUtf8().size() <= countInlineBytes) {
        m_stats = countText(item);
        return;
    }
    const QString key = statsKey(item);
    if (const CachedStats *cached = m_statsCache.object(key)) {
        m_stats = cached->stats;
        return;
    }
    m_stats.reset();
    if (m_statsInFlight.contains(key))
        return;
    m_statsInFlight.insert(key);
    // The watcher goes with this model, so a count that ends after it is simply dropped.
    auto *watcher = new QFutureWatcher<TextStats>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, key, item] {
        watcher->deleteLater();
        const TextStats stats = watcher->result();
        m_statsInFlight.remove(key);
        m_statsCache.insert(key, new CachedStats{item, stats});
        if (m_item && statsKey(*m_item) == key) {
            m_stats = stats;
            Q_EMIT countsChanged();
        }
    });
    watcher->setFuture(QtConcurrent::run([item] { return countText(item); }));
}

void ClipDetailModel::loadDetailImage()
{
    const QString fileName = m_item->imageFileName();
    if (fileName == m_loadedImageName)
        return;
    // Until the new picture arrives the previous one stays, so the pane does not flash empty.
    m_loadedImageName = fileName;
    m_imageMissing = false;
    Q_EMIT detailImageChanged();
    const quint64 generation = m_viewGeneration;
    m_deps.store->loadThumbnail(fileName, 500, this, [this, fileName, generation](const QImage &image) {
        if (generation != m_viewGeneration || fileName != m_loadedImageName)
            return;
        m_detailImage = image;
        m_imageMissing = image.isNull();
        Q_EMIT detailImageChanged();
    });
}

void ClipDetailModel::endView()
{
    ++m_viewGeneration;
    m_feedback.clear();
    m_codeCopied.clear();
    setNewTagText({});
    setExtracting(false);
    m_detailImage = QImage();
    m_loadedImageName.clear();
    m_imageMissing = false;
    Q_EMIT detailImageChanged();
}

// --- display values

QString ClipDetailModel::clipId() const
{
    return m_item ? m_item->idString() : QString();
}

QString ClipDetailModel::typeName() const
{
    if (!m_item)
        return {};
    return ClipTypes::rawValue(m_item->isSnippet() ? ClipType::Snippets : m_item->type());
}

QString ClipDetailModel::typeIcon() const
{
    if (!m_item)
        return {};
    const ClipType type = m_item->isSnippet() ? ClipType::Snippets : m_item->type();
    // The header uses the outline document; the category tabs use the filled one.
    return type == ClipType::Text ? QStringLiteral("doc.text") : ClipTypes::iconName(type);
}

QString ClipDetailModel::sourceApp() const
{
    return m_item && m_item->hasSourceAppName() ? m_item->sourceAppName() : QString();
}

QString ClipDetailModel::dateText() const
{
    if (!m_item)
        return {};
    const QDateTime created = ReferenceDate::toDateTime(m_item->createdAt()).toLocalTime();
    const QLocale locale;
    return locale.toString(created.date(), QStringLiteral("MMM d, yyyy")) + QStringLiteral(" at ") +
        locale.toString(created.time(), QLocale::ShortFormat);
}

bool ClipDetailModel::isText() const
{
    return m_item && !isCode() && !isLink() && !isImage() && !isFiles();
}

QString ClipDetailModel::language() const
{
    return m_item && m_item->hasDetectedLanguage() ? m_item->detectedLanguage() : QString();
}

QString ClipDetailModel::url() const
{
    return isLink() ? m_item->textContent() : QString();
}

QString ClipDetailModel::imageFileName() const
{
    return m_item && m_item->hasImageFileName() ? m_item->imageFileName() : QString();
}

QString ClipDetailModel::imageSizeText() const
{
    if (!m_item || !m_item->imageWidth() || !m_item->imageHeight())
        return {};
    return QStringLiteral("%1 × %2 px").arg(*m_item->imageWidth()).arg(*m_item->imageHeight());
}

QStringList ClipDetailModel::filePaths() const
{
    return m_item && m_item->hasFilePaths() ? m_item->filePaths() : QStringList();
}

QString ClipDetailModel::filesCaption() const
{
    return QStringLiteral("Copied Files (%1)").arg(filePaths().size());
}

QStringList ClipDetailModel::tags() const
{
    return m_item ? m_item->tags() : QStringList();
}

QString ClipDetailModel::extractedText() const
{
    return m_item && m_item->hasExtractedText() ? m_item->extractedText() : QString();
}

QString ClipDetailModel::countsText() const
{
    if (!m_stats)
        return {};
    return QStringLiteral("%1 chars • %2 words • %3 lines")
        .arg(m_stats->characters)
        .arg(m_stats->words)
        .arg(m_stats->lines);
}

QString ClipDetailModel::truncationText() const
{
    if (!m_textTruncated)
        return {};
    return TextExcerpt::truncationLine(maxDisplayCharacters, m_stats ? m_stats->codePoints : -1,
                                       QStringLiteral("characters"));
}

QString ClipDetailModel::codeHeaderText() const
{
    if (!m_stats)
        return {};
    return QStringLiteral("%1 lines • %2 chars").arg(m_stats->lines).arg(m_stats->characters);
}

QString ClipDetailModel::codeTruncationText() const
{
    if (m_codeMoreLines)
        return TextExcerpt::truncationLine(m_codeShownLines, m_stats ? m_stats->lines : -1, QStringLiteral("lines"));
    if (m_codeCutInLine)
        return TextExcerpt::truncationLine(maxCodeCharacters, m_stats ? m_stats->codePoints : -1,
                                           QStringLiteral("characters"));
    return {};
}

QVariantList ClipDetailModel::transformModes()
{
    QVariantList modes;
    for (const TextTransformMode mode : TextTransformModes::allCases) {
        modes.append(QVariantMap{{QStringLiteral("label"), TextTransformModes::rawValue(mode)},
                                 {QStringLiteral("icon"), TextTransformModes::iconName(mode)}});
    }
    return modes;
}

void ClipDetailModel::setNewTagText(const QString &text)
{
    if (m_newTagText == text)
        return;
    m_newTagText = text;
    Q_EMIT newTagTextChanged();
}

void ClipDetailModel::setExtracting(bool extracting)
{
    if (m_isExtractingOCR == extracting)
        return;
    m_isExtractingOCR = extracting;
    Q_EMIT isExtractingOCRChanged();
}

void ClipDetailModel::showFeedback(const QString &text)
{
    m_feedback.show(text);
}

} // namespace Vexilo
