// SPDX-License-Identifier: MIT
#pragma once

#include "CommandRunner.h"

#include <QObject>
#include <functional>
#include <memory>

namespace Vexilo {

class AppSettings;
class ClipboardStore;
class LocalImageServer;
class OCRService;
class QRCodeService;
class UpdateService;
class Workspace;

// The commands that go through the recognition, sharing and update services: ocr, qr, share,
// unshare and check-update. Some finish later (recognition, the update check), so each answers
// through a callback.
class ServiceCommands : public QObject
{
    Q_OBJECT

public:
    struct Services
    {
        ClipboardStore *store = nullptr;
        AppSettings *settings = nullptr;
        Workspace *workspace = nullptr;
        OCRService *ocr = nullptr;
        QRCodeService *qr = nullptr;
        LocalImageServer *imageServer = nullptr; // only in the running application
        QString shortVersion; // the running version, for the update check
        qint64 build = 0;
    };
    using Reply = std::function<void(const CommandOutput &)>;

    explicit ServiceCommands(Services services, QObject *parent = nullptr);
    ~ServiceCommands() override;

    [[nodiscard]] static bool handles(const QString &command);
    void run(const QStringList &arguments, const QString &workingDirectory, Reply reply);

private:
    void recognize(const QStringList &arguments, Reply reply);
    void qrCode(const QStringList &arguments, const QString &workingDirectory, Reply reply);
    void share(const QStringList &arguments, Reply reply);
    void checkForUpdate(const QStringList &arguments, Reply reply);

    Services m_services;
    std::unique_ptr<UpdateService> m_update;
};

} // namespace Vexilo
