// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"
#include "Clock.h"
#include "FeedbackMessage.h"

#include <QImage>
#include <QObject>
#include <QtQml/qqmlregistration.h>
#include <functional>

namespace Vexilo {

class ClipboardStore;
class SaveFileChooser;

// The QR sharing sheet of the store's active QR clip: the text its code carries, the code itself,
// and copying or saving either. The payload is taken anew each time the sheet opens, so an image
// clip's code always carries the current share token.
class QRSheetModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Provided by the application")

    Q_PROPERTY(bool active READ active NOTIFY sheetChanged)
    Q_PROPERTY(QString content READ content NOTIFY sheetChanged)
    Q_PROPERTY(QString title READ title NOTIFY sheetChanged)
    Q_PROPERTY(QString subtitle READ subtitle NOTIFY sheetChanged)
    Q_PROPERTY(QImage qrImage READ qrImage NOTIFY sheetChanged)
    Q_PROPERTY(bool hasQRImage READ hasQRImage NOTIFY sheetChanged)
    Q_PROPERTY(bool copiedFeedback READ copiedFeedback NOTIFY copiedFeedbackChanged)
    Q_PROPERTY(bool copiedContentFeedback READ copiedContentFeedback NOTIFY copiedContentFeedbackChanged)

public:
    struct Dependencies
    {
        ClipboardStore *store = nullptr;
        std::function<QString(const ClipItem &)> qrPayload; // QRCodeService::qrPayload
        // Renders text as a QR code of size × size pixels; QRCodeService::generateQRCode by default.
        std::function<QImage(const QString &text, int size)> generateQRCode;
        // Sound, write and acknowledgement: the copy is not recorded as a clip (PasteService::copyPlainText).
        std::function<void(const QString &text)> copyPlainText;
        // Sound and write, not acknowledged: the monitor records the code as a new image clip.
        std::function<void(const QImage &image)> copyImage;
        Clock *clock = nullptr;
        SaveFileChooser *saveFileChooser = nullptr;
        std::function<qint64()> unixSeconds; // for proposed file names
    };

    static constexpr int displaySize = 280;
    static constexpr int saveSize = 1024;
    static constexpr int feedbackMs = 1000;

    explicit QRSheetModel(Dependencies dependencies, QObject *parent = nullptr);

    [[nodiscard]] bool active() const { return m_item.has_value(); }
    [[nodiscard]] const QString &content() const { return m_content; }
    [[nodiscard]] const QString &title() const { return m_title; }
    [[nodiscard]] const QString &subtitle() const { return m_subtitle; }
    [[nodiscard]] const QImage &qrImage() const { return m_qrImage; }
    [[nodiscard]] bool hasQRImage() const { return !m_qrImage.isNull(); }
    [[nodiscard]] bool copiedFeedback() const { return m_copied.isShown(); }
    [[nodiscard]] bool copiedContentFeedback() const { return m_copiedContent.isShown(); }

    Q_INVOKABLE void copyEncodedContent();
    Q_INVOKABLE void copyQRImage();
    Q_INVOKABLE void saveQRImage();
    Q_INVOKABLE void dismiss();

Q_SIGNALS:
    void sheetChanged();
    void copiedFeedbackChanged();
    void copiedContentFeedbackChanged();

private:
    void followActiveItem();

    Dependencies m_deps;
    std::optional<ClipItem> m_item;
    QString m_content;
    QString m_title;
    QString m_subtitle;
    QImage m_qrImage;
    FeedbackMessage m_copied;
    FeedbackMessage m_copiedContent;
};

} // namespace Vexilo
