// SPDX-License-Identifier: MIT
#include "HistoryExporter.h"

#include "ClipboardStore.h"
#include "HistoryExport.h"
#include "SaveFileChooser.h"

#include <QDir>
#include <QStandardPaths>

namespace Vexilo {

namespace {
QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}
} // namespace

HistoryExporter::HistoryExporter(ClipboardStore &store, SaveFileChooser &chooser, std::function<qint64()> unixSeconds)
    : m_store(store)
    , m_chooser(chooser)
    , m_unixSeconds(std::move(unixSeconds))
{ }

void HistoryExporter::exportAsJSON(Done done)
{
    SaveRequest request;
    request.suggestedName = HistoryExport::defaultJsonFileName(m_unixSeconds());
    request.nameFilter = QStringLiteral("JSON files (*.json)");
    request.defaultSuffix = QStringLiteral("json");
    request.folder = documentsFolder();
    m_chooser.chooseSaveLocation(request, [this, done = std::move(done)](const std::optional<QString> &path) {
        const std::optional<QString> saved = path ? m_store.exportAsJSON(*path) : std::nullopt;
        if (done)
            done(saved, path && !saved);
    });
}

void HistoryExporter::exportAsMarkdown(Done done)
{
    SaveRequest request;
    request.suggestedName = HistoryExport::defaultMarkdownFileName(m_unixSeconds());
    request.defaultSuffix = QStringLiteral("md");
    request.folder = documentsFolder();
    m_chooser.chooseSaveLocation(request, [this, done = std::move(done)](const std::optional<QString> &path) {
        const std::optional<QString> saved = path ? m_store.exportAsMarkdown(*path) : std::nullopt;
        if (done)
            done(saved, path && !saved);
    });
}

} // namespace Vexilo
