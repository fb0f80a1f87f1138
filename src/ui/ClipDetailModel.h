// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "Clock.h"
#include "FeedbackMessage.h"

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QVariant>
#include <QtQml/qqmlregistration.h>
#include <functional>
#include <optional>

namespace Vexilo {

class ClipboardStore;
class SaveFileChooser;

// Everything the detail pane shows of the store's selected clip, and what its buttons do. Display
// values are computed once per selected clip; huge clips are shown by their beginning, and their
// counts are taken off the main thread, so selecting one never stalls the window.
class ClipDetailModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the application")

    Q_PROPERTY(bool hasClip READ hasClip NOTIFY clipChanged)
    Q_PROPERTY(QString clipId READ clipId NOTIFY clipChanged)
    Q_PROPERTY(QString typeName READ typeName NOTIFY clipChanged)
    Q_PROPERTY(QString typeIcon READ typeIcon NOTIFY clipChanged)
    Q_PROPERTY(QString sourceApp READ sourceApp NOTIFY clipChanged)
    Q_PROPERTY(QString dateText READ dateText NOTIFY clipChanged)
    Q_PROPERTY(bool isText READ isText NOTIFY clipChanged)
    Q_PROPERTY(bool isCode READ isCode NOTIFY clipChanged)
    Q_PROPERTY(bool isLink READ isLink NOTIFY clipChanged)
    Q_PROPERTY(bool isImage READ isImage NOTIFY clipChanged)
    Q_PROPERTY(bool isFiles READ isFiles NOTIFY clipChanged)
    Q_PROPERTY(bool hasText READ hasText NOTIFY clipChanged)
    Q_PROPERTY(bool isPinned READ isPinned NOTIFY clipChanged)
    Q_PROPERTY(QString text READ text NOTIFY contentChanged)
    // The shown text in pieces for a list view, which lays out only those on screen.
    Q_PROPERTY(QStringList textPieces READ textPieces NOTIFY contentChanged)
    Q_PROPERTY(bool isTruncated READ isTruncated NOTIFY contentChanged)
    Q_PROPERTY(QString language READ language NOTIFY clipChanged)
    Q_PROPERTY(QString url READ url NOTIFY clipChanged)
    // [{html, lineNumbers}]: the highlighted lines in pieces, laid out only when on screen.
    Q_PROPERTY(QVariantList codePieces READ codePieces NOTIFY contentChanged)
    Q_PROPERTY(int codeShownLines READ codeShownLines NOTIFY contentChanged)
    Q_PROPERTY(QString imageFileName READ imageFileName NOTIFY clipChanged)
    Q_PROPERTY(QString imageSizeText READ imageSizeText NOTIFY clipChanged)
    Q_PROPERTY(QStringList filePaths READ filePaths NOTIFY clipChanged)
    Q_PROPERTY(QString filesCaption READ filesCaption NOTIFY clipChanged)
    Q_PROPERTY(QStringList tags READ tags NOTIFY clipChanged)
    Q_PROPERTY(QString extractedText READ extractedText NOTIFY clipChanged)
    // Counts come later than the rest for huge texts.
    Q_PROPERTY(QString countsText READ countsText NOTIFY countsChanged)
    Q_PROPERTY(QString truncationText READ truncationText NOTIFY countsChanged)
    Q_PROPERTY(QString codeHeaderText READ codeHeaderText NOTIFY countsChanged)
    Q_PROPERTY(QString codeTruncationText READ codeTruncationText NOTIFY countsChanged)
    Q_PROPERTY(QImage detailImage READ detailImage NOTIFY detailImageChanged)
    Q_PROPERTY(bool hasDetailImage READ hasDetailImage NOTIFY detailImageChanged)
    Q_PROPERTY(bool imageMissing READ imageMissing NOTIFY detailImageChanged)
    Q_PROPERTY(bool isExtractingOCR READ isExtractingOCR NOTIFY isExtractingOCRChanged)
    Q_PROPERTY(QString newTagText READ newTagText WRITE setNewTagText NOTIFY newTagTextChanged)
    Q_PROPERTY(QString feedback READ feedback NOTIFY feedbackChanged)
    Q_PROPERTY(bool codeCopied READ codeCopied NOTIFY codeCopiedChanged)
    // [{label, icon}] in button order; transform(index) takes the index.
    Q_PROPERTY(QVariantList transformModes READ transformModes CONSTANT)

public:
    using Recognizer =
        std::function<void(const QImage &, QObject *context, std::function<void(std::optional<QString>)>)>;
    using ClipWrite = std::function<void(const ClipItem &item, const std::optional<QString> &customText)>;

    struct Dependencies
    {
        ClipboardStore *store = nullptr;
        ClipWrite paste; // PasteService::pasteItem
        ClipWrite copy; // PasteService::copyToPasteboard
        std::function<void(const QString &text)> copyPlainText; // PasteService::copyPlainText
        Recognizer recognizeText; // optional: recognition then finds nothing
        std::function<void(const QString &path)> showInFileManager;
        std::function<void(const QString &url)> openUrl;
        Clock *clock = nullptr;
        SaveFileChooser *saveFileChooser = nullptr;
        std::function<qint64()> unixSeconds; // for proposed file names
    };

    // How much of a clip the pane lays out; copy, paste and transforms always use all of it.
    static constexpr qsizetype maxDisplayCharacters = 200000;
    static constexpr qsizetype textPieceSize = 3000;
    static constexpr int maxCodeLines = 300;
    static constexpr int codeLinesPerPiece = 40;
    static constexpr qsizetype maxCodeCharacters = 30000;
    // Texts up to this many UTF-8 bytes are counted at once; longer ones on a worker thread.
    static constexpr qsizetype countInlineBytes = 64 * 1024;
    static constexpr int feedbackMs = 1200;
    static constexpr int codeCopiedMs = 1000;

    explicit ClipDetailModel(Dependencies dependencies, QObject *parent = nullptr);

    [[nodiscard]] bool hasClip() const { return m_item.has_value(); }
    [[nodiscard]] QString clipId() const;
    [[nodiscard]] QString typeName() const;
    [[nodiscard]] QString typeIcon() const;
    [[nodiscard]] QString sourceApp() const;
    [[nodiscard]] QString dateText() const;
    [[nodiscard]] bool isText() const;
    [[nodiscard]] bool isCode() const { return m_item && m_item->type() == ClipType::Code && !m_item->isSnippet(); }
    [[nodiscard]] bool isLink() const { return m_item && m_item->type() == ClipType::Url && !m_item->isSnippet(); }
    [[nodiscard]] bool isImage() const { return m_item && m_item->type() == ClipType::Image && !m_item->isSnippet(); }
    [[nodiscard]] bool isFiles() const { return m_item && m_item->type() == ClipType::File && !m_item->isSnippet(); }
    [[nodiscard]] bool hasText() const { return m_item && m_item->hasTextContent(); }
    [[nodiscard]] bool isPinned() const { return m_item && m_item->isPinned(); }
    [[nodiscard]] const QString &text() const { return m_text; }
    [[nodiscard]] const QStringList &textPieces() const { return m_textPieces; }
    [[nodiscard]] bool isTruncated() const { return m_textTruncated; }
    [[nodiscard]] QString language() const;
    [[nodiscard]] QString url() const;
    [[nodiscard]] const QVariantList &codePieces() const { return m_codePieces; }
    [[nodiscard]] int codeShownLines() const { return m_codeShownLines; }
    [[nodiscard]] QString imageFileName() const;
    [[nodiscard]] QString imageSizeText() const;
    [[nodiscard]] QStringList filePaths() const;
    [[nodiscard]] QString filesCaption() const;
    [[nodiscard]] QStringList tags() const;
    [[nodiscard]] QString extractedText() const;
    [[nodiscard]] QString countsText() const;
    [[nodiscard]] QString truncationText() const;
    [[nodiscard]] QString codeHeaderText() const;
    [[nodiscard]] QString codeTruncationText() const;
    [[nodiscard]] const QImage &detailImage() const { return m_detailImage; }
    [[nodiscard]] bool hasDetailImage() const { return !m_detailImage.isNull(); }
    [[nodiscard]] bool imageMissing() const { return m_imageMissing; }
    [[nodiscard]] bool isExtractingOCR() const { return m_isExtractingOCR; }
    [[nodiscard]] const QString &newTagText() const { return m_newTagText; }
    void setNewTagText(const QString &text);
    [[nodiscard]] const QString &feedback() const { return m_feedback.text(); }
    [[nodiscard]] bool codeCopied() const { return m_codeCopied.isShown(); }
    [[nodiscard]] static QVariantList transformModes();

    // customText: a string pastes or copies that text instead of the clip's content.
    Q_INVOKABLE void paste(const QVariant &customText = {});
    Q_INVOKABLE void copy(const QVariant &customText = {});
    Q_INVOKABLE void togglePin();
    Q_INVOKABLE void deleteClip();
    Q_INVOKABLE void presentQR();
    Q_INVOKABLE void transform(int modeIndex);
    Q_INVOKABLE void submitNewTag();
    Q_INVOKABLE void removeTag(const QString &tag);
    Q_INVOKABLE void extractText();
    Q_INVOKABLE void copyExtractedText();
    Q_INVOKABLE void pasteExtractedText();
    Q_INVOKABLE void copyCode();
    Q_INVOKABLE void saveImage();
    Q_INVOKABLE void showInFileManager(const QString &path);
    Q_INVOKABLE void openLink();

    void showFeedback(const QString &text);

Q_SIGNALS:
    void clipChanged();
    // The shown text or code; not sent for edits that leave them as they are (tags, pins).
    void contentChanged();
    void countsChanged();
    void detailImageChanged();
    void isExtractingOCRChanged();
    void newTagTextChanged();
    void feedbackChanged();
    void codeCopiedChanged();

private:
    struct TextStats
    {
        qint64 characters = 0;
        qint64 words = 0;
        qint64 lines = 0;
        qint64 codePoints = 0; // what the display limit counts
    };
    // A clip's counts, kept while the clip (and so its text's memory) is held here.
    struct CachedStats
    {
        ClipItem clip;
        TextStats stats;
    };

    void followSelection();
    // False when the shown text stays as it was.
    bool updateDisplayText(const std::optional<ClipItem> &previous);
    void updateStats();
    void loadDetailImage();
    void setExtracting(bool extracting);
    void endView();
    [[nodiscard]] static TextStats countText(const ClipItem &item);
    [[nodiscard]] static QString statsKey(const ClipItem &item);

    Dependencies m_deps;
    std::optional<ClipItem> m_item;
    QString m_text;
    QStringList m_textPieces;
    bool m_textTruncated = false;
    QVariantList m_codePieces;
    int m_codeShownLines = 0;
    bool m_codeMoreLines = false;
    bool m_codeCutInLine = false;
    std::optional<TextStats> m_stats;
    QCache<QString, CachedStats> m_statsCache{4};
    QSet<QString> m_statsInFlight;

    QImage m_detailImage;
    QString m_loadedImageName; // the file detailImage was loaded for, or is loading
    bool m_imageMissing = false;
    quint64 m_viewGeneration = 0; // bumped when the view ends; late results of an older view are dropped
    bool m_isExtractingOCR = false;
    QString m_newTagText;
    FeedbackMessage m_feedback;
    FeedbackMessage m_codeCopied;
};

} // namespace Vexilo
