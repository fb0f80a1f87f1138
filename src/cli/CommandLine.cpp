// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "ClipboardStore.h"
#include "CommandRunner.h"
#include "StorageLock.h"

#include <QFile>
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
    write(stderr, QStringLiteral("vexilo: ") + message + u'\n' + CommandRunner::usage());
    return ExitUsage;
}

} // namespace

int run(const QStringList &arguments)
{
    QStringList args = arguments.mid(1);
    QString dataDir;
    // Options before the command belong to the client itself.
    while (!args.isEmpty() && args.first().startsWith(u"--")) {
        const QString option = args.takeFirst();
        if (option == u"--help") {
            write(stdout, CommandRunner::usage());
            return ExitOk;
        }
        if (option == u"--data-dir") {
            if (args.isEmpty())
                return usageError(QStringLiteral("--data-dir needs a folder"));
            dataDir = args.takeFirst();
        } else if (option.startsWith(u"--data-dir=")) {
            dataDir = option.mid(11);
        } else {
            return usageError(QStringLiteral("unknown option %1").arg(option));
        }
    }
    if (args.isEmpty())
        return usageError(QStringLiteral("no command given"));
    if (!CommandRunner::isCommand(args.first()))
        return usageError(QStringLiteral("unknown command \"%1\"").arg(args.first()));
    if (args.contains(QStringLiteral("--help"))) {
        write(stdout, CommandRunner::commandUsage(args.first()));
        return ExitOk;
    }
    const StoragePaths paths =
        dataDir.isEmpty() ? StoragePaths::userDefault() : StoragePaths::forStorageDirectory(dataDir);
    StorageLock lock(paths.storageDirectory);
    if (!lock.tryLock()) {
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
    {
        ClipboardStore store(std::move(environment));
        CommandRunner runner(store);
        output = runner.run(args, readStandardInput);
        // Leaving the scope writes whatever the command (or start-up) changed, synchronously.
    }
    write(stdout, output.out);
    write(stderr, output.err);
    return output.exitCode;
}

} // namespace Vexilo::CommandLine
