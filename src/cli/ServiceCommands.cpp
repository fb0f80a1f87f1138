// SPDX-License-Identifier: MIT
#include "ServiceCommands.h"

#include "StrictInteger.h"

#include "ArgumentList.h"
#include "ClipboardStore.h"
#include "CommandCatalog.h"
#include "LocalImageServer.h"
#include "OCRService.h"
#include "QRCodeService.h"
#include "UpdatePrompt.h"
#include "UpdateService.h"

#include <QDir>
#include <QPointer>

namespace Vexilo {

namespace {

CommandOutput failure(int code, const QString &message)
{
    return {code, {}, QStringLiteral("vexilo: ") + message + u'\n'};
}

CommandOutput usageError(const QString &command, const QString &message)
{
    return {ExitUsage, {}, QStringLiteral("vexilo: ") + message + u'\n' + CommandCatalog::commandUsage(command)};
}

// Collects the alerts of a user-initiated check as text, unanswered: nothing is downloaded or
// skipped from a terminal.
class TextUpdatePrompt : public UpdatePrompt
{
public:
    void showAlert(const QString &title, const QString &message, const QStringList &,
                   std::function<void(int)> done) override
    {
        text += title + u'\n' + message + u'\n';
        done(-1);
    }
    QString text;
};

} // namespace

ServiceCommands::ServiceCommands(Services services, QObject *parent)
    : QObject(parent)
    , m_services(services)
{ }

ServiceCommands::~ServiceCommands() = default;

bool ServiceCommands::handles(const QString &command)
{
    return command == u"ocr" || command == u"qr" || command == u"share" || command == u"unshare" ||
        command == u"check-update";
}

void ServiceCommands::run(const QStringList &arguments, const QString &workingDirectory, Reply reply)
{
    const QString command = arguments.value(0);
    if (command == u"ocr")
        return recognize(arguments, std::move(reply));
    if (command == u"qr")
        return qrCode(arguments, workingDirectory, std::move(reply));
    if (command == u"share" || command == u"unshare")
        return share(arguments, std::move(reply));
    if (command == u"check-update")
        return checkForUpdate(arguments, std::move(reply));
    reply(usageError({}, QStringLiteral("unknown command \"%1\"").arg(command)));
}

void ServiceCommands::recognize(const QStringList &arguments, Reply reply)
{
    if (arguments.size() != 2)
        return reply(usageError(arguments.value(0), QStringLiteral("ocr needs one clip id")));
    CommandOutput error;
    const auto item = CommandRunner(*m_services.store).findClip(arguments.at(1), error);
    if (!item)
        return reply(error);
    if (item->type() != ClipType::Image || !item->hasImageFileName())
        return reply(failure(ExitBadInput, QStringLiteral("only image clips hold text to recognise")));
    const QImage image = m_services.store->loadImage(item->imageFileName());
    if (image.isNull())
        return reply(failure(ExitBadInput, QStringLiteral("the image file of this clip is missing or unreadable")));
    const QUuid id = item->id();
    QPointer<ClipboardStore> store(m_services.store);
    m_services.ocr->extractText(image, this, [store, id, reply](std::optional<QString> text) {
        if (!text)
            return reply(failure(ExitNoResult, QStringLiteral("no text was recognised in the image")));
        if (store)
            store->updateExtractedText(*text, id);
        reply({ExitOk, *text + u'\n', {}});
    });
}

void ServiceCommands::qrCode(const QStringList &arguments, const QString &workingDirectory, Reply reply)
{
    ArgumentList args(arguments.mid(1), {QStringLiteral("png"), QStringLiteral("size")});
    if (!args.parse())
        return reply(usageError(QStringLiteral("qr"), args.errorString()));
    if (const QString unknown = args.unknownFlag({}); !unknown.isEmpty())
        return reply(usageError(QStringLiteral("qr"), QStringLiteral("unknown option --%1").arg(unknown)));
    if (args.positional().size() != 1 || !args.value(QStringLiteral("png")))
        return reply(usageError(QStringLiteral("qr"), QStringLiteral("qr needs one clip id and --png FILE")));
    int size = 280;
    if (const auto text = args.value(QStringLiteral("size"))) {
        const std::optional<qint64> parsed = parseStrictInteger(*text);
        size = parsed && *parsed >= 21 && *parsed <= 4096 ? int(*parsed) : 0;
        if (size == 0)
            return reply(usageError(QStringLiteral("qr"), QStringLiteral("--size needs a number from 21 to 4096")));
    }
    CommandOutput error;
    const auto item = CommandRunner(*m_services.store).findClip(args.positional().first(), error);
    if (!item)
        return reply(error);
    if (item->type() == ClipType::Image && !m_services.imageServer)
        return reply(
            failure(ExitNoResult, QStringLiteral("an image is shared by the running application; start it first")));
    const QString payload = m_services.qr->qrPayload(*item);
    if (payload.isEmpty())
        return reply(failure(ExitNoResult, QStringLiteral("this clip has nothing to share")));
    const QImage code = QRCodeService::generateQRCode(payload, size);
    if (code.isNull())
        return reply(failure(ExitNoResult, QStringLiteral("the clip is too long for a QR code")));
    const QString file = QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(*args.value(QStringLiteral("png"))));
    if (!code.save(file, "PNG"))
        return reply(failure(ExitBadInput, QStringLiteral("could not write %1").arg(file)));
    reply({ExitOk, payload + u'\n', {}});
}

void ServiceCommands::share(const QStringList &arguments, Reply reply)
{
    const QString command = arguments.value(0);
    if (!m_services.imageServer)
        return reply(failure(ExitNoResult, QStringLiteral("sharing needs the running application; start it first")));
    if (command == u"unshare") {
        if (arguments.size() != 1)
            return reply(usageError(command, QStringLiteral("unshare takes no arguments")));
        m_services.store->dismissQR();
        m_services.imageServer->stop();
        return reply({ExitOk, {}, {}});
    }
    if (arguments.size() != 2)
        return reply(usageError(command, QStringLiteral("share needs one clip id")));
    CommandOutput error;
    const auto item = CommandRunner(*m_services.store).findClip(arguments.at(1), error);
    if (!item)
        return reply(error);
    if (item->type() != ClipType::Image)
        return reply(failure(ExitBadInput,
                             QStringLiteral("only image clips are shared this way; \"vexilo qr\" "
                                            "shows the others as a QR code")));
    const auto url = m_services.imageServer->shareURL(*item);
    if (!url)
        return reply(failure(ExitNoResult, QStringLiteral("this computer has no network address a phone could reach")));
    reply({ExitOk, *url + u'\n', {}});
}

void ServiceCommands::checkForUpdate(const QStringList &arguments, Reply reply)
{
    if (arguments.size() != 1)
        return reply(usageError(arguments.value(0), QStringLiteral("check-update takes no arguments")));
    if (m_update)
        return reply(failure(ExitNoResult, QStringLiteral("an update check is already running")));
    auto prompt = std::make_shared<TextUpdatePrompt>();
    UpdateService::Environment environment;
    environment.shortVersion = m_services.shortVersion;
    environment.build = m_services.build;
    environment.settings = m_services.settings;
    environment.workspace = m_services.workspace;
    environment.prompt = prompt.get();
    m_update = std::make_unique<UpdateService>(environment);
    connect(m_update.get(), &UpdateService::checkFinished, this, [this, prompt, reply] {
        // Deleted once its signal has been delivered, not inside it.
        m_update.release()->deleteLater();
        reply({ExitOk, prompt->text, {}});
    });
    m_update->checkForUpdates(true);
}

} // namespace Vexilo
