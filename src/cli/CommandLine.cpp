// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "ClipboardStore.h"
#include "CommandCatalog.h"
#include "CommandRunner.h"
#include "HistoryFile.h"
#include "InstanceClient.h"
#include "InstanceProtocol.h"
#include "NullWorkspace.h"
#include "OCRService.h"
#include "QRCodeService.h"
#include "ServiceCommands.h"
#include "StorageLock.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace Vexilo::CommandLine {

namespace {

void write(FILE *stream, const QString &text)
{
    if (text.isEmpty())
        return;
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

QString readStandardInput()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(in.readAll());
}

int usageError(const QString &message)
{
    write(stderr, QStringLiteral("vexilo: ") + message + u'\n' + CommandCatalog::usage());
    return ExitUsage;
}

} // namespace

int run(const Options &options, const QString &shortVersion, qint64 build)
{
    if (!options.error.isEmpty())
        return usageError(options.error);
    if (options.help) {
        write(stdout, CommandCatalog::help());
        return ExitOk;
    }
    if (options.version) {
        write(stdout, QStringLiteral("vexilo %1\n").arg(shortVersion));
        return ExitOk;
    }
    const QStringList &args = options.command;
    if (args.isEmpty())
        return usageError(QStringLiteral("no command given"));
    if (!CommandCatalog::isCommand(args.first()))
        return usageError(QStringLiteral("unknown command \"%1\"").arg(args.first()));
    if (args.contains(QStringLiteral("--help"))) {
        write(stdout, CommandCatalog::commandUsage(args.first()));
        return ExitOk;
    }

    const StoragePaths paths = options.dataDirectory.isEmpty()
        ? StoragePaths::userDefault()
        : StoragePaths::forStorageDirectory(options.dataDirectory);

    // Standard input is read here, once, whoever carries the command out.
    QString input;
    if (CommandCatalog::readsStandardInput(args))
        input = readStandardInput();

    // The running application owns the history: it carries the command out.
    const InstanceClient client(InstanceProtocol::socketPath());
    if (const auto problem = client.folderProblem()) {
        write(stderr,
              QStringLiteral("vexilo: not using the socket folder %1: %2\n")
                  .arg(QFileInfo(InstanceProtocol::socketPath()).absolutePath(), *problem));
    }
    const CommandContext context = CommandContext::ofThisProcess(input);
    if (const auto output = client.runCommand(args, context, paths.storageDirectory)) {
        write(stdout, output->out);
        write(stderr, output->err);
        return output->exitCode;
    }

    // A history that cannot be read is not touched, not even by the lock file beside it.
    if (const auto problem = HistoryFile::unreadableReason(paths.historyFile())) {
        if (const auto refused = CommandRunner::refusal(args.first(), *problem)) {
            write(stderr, refused->err);
            return refused->exitCode;
        }
    }

    StorageLock lock(paths.storageDirectory);
    if (!CommandCatalog::isApplicationCommand(args.first()) && !lock.tryLock()) {
        write(stderr, QStringLiteral("vexilo: ") + lock.errorString() + u'\n');
        return ExitLocked;
    }

    auto settings = AppSettings::openUserSettings();
    settings->registerDefaults(AppStorageKeys::defaultValues());
    StoreEnvironment environment;
    environment.paths = paths;
    environment.settings = settings.get();
    environment.log = standardErrorLog();
    CommandOutput output;
    if (CommandCatalog::isApplicationCommand(args.first())) {
        output = {ExitNoResult, {}, QStringLiteral("vexilo: Vexilo is not running; start it first\n")};
    } else if (ServiceCommands::handles(args.first())) {
        ClipboardStore store(std::move(environment));
        if (auto refused = CommandRunner::refusal(args.first(), store.historyProblem())) {
            write(stderr, refused->err);
            return refused->exitCode;
        }
        NullWorkspace workspace;
        OCRService ocr(standardErrorLog());
        // Without the application there is no image server: image clips cannot be shared from here.
        QRCodeService qr([](const ClipItem &) { return std::optional<QString>(); });
        ServiceCommands commands({&store, settings.get(), &workspace, &ocr, &qr, nullptr, shortVersion, build});
        QEventLoop loop;
        bool done = false;
        commands.run(args, QDir::currentPath(), [&](const CommandOutput &result) {
            output = result;
            done = true;
            loop.quit();
        });
        if (!done)
            loop.exec();
    } else {
        ClipboardStore store(std::move(environment));
        CommandRunner runner(store);
        output = runner.run(args, context);
        // Leaving the scope writes whatever the command (or start-up) changed, synchronously.
    }
    write(stdout, output.out);
    write(stderr, output.err);
    return output.exitCode;
}

} // namespace Vexilo::CommandLine
