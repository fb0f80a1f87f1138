// SPDX-License-Identifier: MIT
#include "QRSheetModel.h"

#include "ClipboardStore.h"
#include "QRCodeService.h"
#include "SaveFileChooser.h"

#include <QBuffer>
#include <QDateTime>
#include <QSaveFile>

namespace Vexilo {

QRSheetModel::QRSheetModel(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
    , m_copied(*m_deps.clock, feedbackMs, [this] { Q_EMIT copiedFeedbackChanged(); })
    , m_copiedContent(*m_deps.clock, feedbackMs, [this] { Q_EMIT copiedContentFeedbackChanged(); })
{
    Q_ASSERT(m_deps.store && m_deps.clock);
    if (!m_deps.generateQRCode)
        m_deps.generateQRCode = [](const QString &text, int size) { return QRCodeService::generateQRCode(text, size); };
    connect(m_deps.store, &ClipboardStore::activeQRCodeItemChanged, this, &QRSheetModel::followActiveItem);
    followActiveItem();
}

void QRSheetModel::followActiveItem()
{
    m_item = m_deps.store->activeQRCodeItem();
    // A sheet that closes, or opens for another clip, starts without the old confirmations.
    m_copied.clear();
    m_copiedContent.clear();
    m_content.clear();
    m_title.clear();
    m_subtitle.clear();
    m_qrImage = QImage();
    if (m_item) {
        m_content = m_deps.qrPayload ? m_deps.qrPayload(*m_item) : QString();
        m_title = QRCodeService::qrTitle(*m_item);
        m_subtitle = QRCodeService::qrSubtitle(*m_item);
        if (!m_content.isEmpty())
            m_qrImage = m_deps.generateQRCode(m_content, displaySize);
    }
    Q_EMIT sheetChanged();
}

void QRSheetModel::copyEncodedContent()
{
    if (m_content.isEmpty() || !m_deps.copyPlainText)
        return;
    m_deps.copyPlainText(m_content);
    m_copiedContent.show(QStringLiteral("Copied to clipboard"));
}

void QRSheetModel::copyQRImage()
{
    if (m_qrImage.isNull() || !m_deps.copyImage)
        return;
    m_deps.copyImage(m_qrImage);
    m_copied.show(QStringLiteral("Copied!"));
}

void QRSheetModel::saveQRImage()
{
    if (m_content.isEmpty() || !m_deps.saveFileChooser)
        return;
    const QImage image = m_deps.generateQRCode(m_content, saveSize);
    if (image.isNull())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return;
    const qint64 seconds = m_deps.unixSeconds ? m_deps.unixSeconds() : QDateTime::currentSecsSinceEpoch();
    m_deps.saveFileChooser->choosePngLocation(QStringLiteral("qrcode_%1.png").arg(seconds),
                                              [png](const std::optional<QString> &path) {
                                                  if (!path)
                                                      return;
                                                  // Failures are silent: the user sees no file.
                                                  QSaveFile file(*path);
                                                  if (file.open(QIODevice::WriteOnly) && file.write(png) == png.size())
                                                      file.commit();
                                              });
}

void QRSheetModel::dismiss()
{
    m_deps.store->dismissQR();
}

} // namespace Vexilo
