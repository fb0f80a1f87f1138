// SPDX-License-Identifier: MIT
#include "QuickSaveFileChooser.h"

#include <QDir>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QStandardPaths>
#include <QUrl>
#include <QWindow>

namespace Vexilo {

namespace {
constexpr char dialogSource[] = R"qml(
import QtQuick
import QtQuick.Dialogs
FileDialog {
    fileMode: FileDialog.SaveFile
    nameFilters: ["PNG images (*.png)"]
    defaultSuffix: "png"
}
)qml";

// Answers once, when the dialog closes, and then takes the dialog away.
class SaveDialogWatcher : public QObject
{
    Q_OBJECT

public:
    SaveDialogWatcher(QObject *dialog, SaveFileChooser::Answer answer)
        : QObject(dialog)
        , m_dialog(dialog)
        , m_answer(std::move(answer))
    { }

public Q_SLOTS:
    void accept()
    {
        const QUrl url = m_dialog->property("selectedFile").toUrl();
        finish(url.isLocalFile() ? std::optional<QString>(url.toLocalFile()) : std::nullopt);
    }
    void reject() { finish(std::nullopt); }

private:
    void finish(const std::optional<QString> &path)
    {
        if (!m_answer)
            return;
        auto answer = std::move(m_answer);
        m_answer = nullptr;
        m_dialog->deleteLater();
        answer(path);
    }

    QObject *m_dialog;
    SaveFileChooser::Answer m_answer;
};
} // namespace

QuickSaveFileChooser::QuickSaveFileChooser(std::function<QQmlEngine *()> engine,
                                           std::function<QWindow *()> parentWindow)
    : m_engine(std::move(engine))
    , m_parentWindow(std::move(parentWindow))
{ }

QuickSaveFileChooser::~QuickSaveFileChooser()
{
    delete m_dialog.data();
}

void QuickSaveFileChooser::choosePngLocation(const QString &suggestedName, Answer answer)
{
    QQmlEngine *engine = m_engine ? m_engine() : nullptr;
    if (!engine || m_dialog) {
        answer(std::nullopt);
        return;
    }
    QQmlComponent component(engine);
    component.setData(QByteArray(dialogSource), QUrl(QStringLiteral("qrc:/Vexilo/SaveDialog.qml")));
    QObject *dialog = component.create();
    if (!dialog) {
        answer(std::nullopt);
        return;
    }
    m_dialog = dialog;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString folder = QDir(pictures).exists() ? pictures : QDir::homePath();
    dialog->setProperty("currentFolder", QUrl::fromLocalFile(folder));
    dialog->setProperty("selectedFile", QUrl::fromLocalFile(folder + QLatin1Char('/') + suggestedName));
    if (QWindow *parent = m_parentWindow ? m_parentWindow() : nullptr)
        dialog->setProperty("parentWindow", QVariant::fromValue(parent));
    auto *watcher = new SaveDialogWatcher(dialog, std::move(answer));
    QObject::connect(dialog, SIGNAL(accepted()), watcher, SLOT(accept()));
    QObject::connect(dialog, SIGNAL(rejected()), watcher, SLOT(reject()));
    QMetaObject::invokeMethod(dialog, "open");
}

} // namespace Vexilo

#include "QuickSaveFileChooser.moc"
