// SPDX-License-Identifier: MIT
#include "FileDialogSaveChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QWindow>

namespace Vexilo {

FileDialogSaveChooser::FileDialogSaveChooser(std::function<void(QWindow &)> activate)
    : m_activate(std::move(activate))
{ }

FileDialogSaveChooser::~FileDialogSaveChooser()
{
    delete m_dialog.data();
}

void FileDialogSaveChooser::chooseSaveLocation(const SaveRequest &request, Answer answer)
{
    if (m_dialog) {
        // The open one keeps the keyboard; a second request is the same click twice.
        m_dialog->raise();
        answer(std::nullopt);
        return;
    }
    auto *dialog = new QFileDialog;
    m_dialog = dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setWindowTitle(QStringLiteral("Save As"));
    dialog->setDirectory(request.folder.isEmpty() ? QDir::homePath() : request.folder);
    if (!request.nameFilter.isEmpty())
        dialog->setNameFilters({request.nameFilter, QStringLiteral("All files (*)")});
    dialog->setDefaultSuffix(request.defaultSuffix);
    dialog->selectFile(request.suggestedName);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setWindowFlag(Qt::WindowStaysOnTopHint);

    auto answered = std::make_shared<Answer>(std::move(answer));
    QObject::connect(dialog, &QFileDialog::finished, dialog, [dialog, answered](int result) {
        if (!*answered)
            return;
        const QStringList files = dialog->selectedFiles();
        const Answer reply = std::exchange(*answered, nullptr);
        reply(result == QDialog::Accepted && !files.isEmpty() ? std::optional(files.first()) : std::nullopt);
    });
    QObject::connect(dialog, &QObject::destroyed, [answered] {
        if (*answered)
            std::exchange(*answered, nullptr)(std::nullopt);
    });
    dialog->open();
    if (QWindow *window = dialog->windowHandle(); window && m_activate) {
        m_activate(*window);
        QTimer::singleShot(150, window, [this, window] {
            if (!window->isActive())
                m_activate(*window);
        });
    }
}

} // namespace Vexilo
