// SPDX-License-Identifier: MIT
#include "FrontEnd.h"

#include "CommandCatalog.h"
#include "CommandLineOptions.h"
#include "CommandOutput.h"
#include "InstanceClient.h"
#include "InstanceProtocol.h"
#include "StoragePaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sys/mman.h>
#include <unistd.h>

namespace Vexilo::FrontEnd {

namespace {

void write(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int usageError(const QString &message)
{
    write(stderr, (QStringLiteral("vexilo: ") + message + u'\n' + CommandCatalog::usage()).toUtf8());
    return ExitUsage;
}

QByteArray readStandardInput()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    return in.readAll();
}

// The full program beside this one.
QByteArray fullProgram()
{
    char self[4096];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return QByteArrayLiteral("vexilo-app");
    self[length] = '\0';
    return QFileInfo(QString::fromLocal8Bit(self)).absolutePath().toLocal8Bit() + "/vexilo-app";
}

// Puts bytes already taken from standard input back where the full program will read them.
bool restoreStandardInput(const QByteArray &input)
{
    const int fd = ::memfd_create("vexilo-input", 0);
    if (fd < 0)
        return false;
    for (qsizetype done = 0; done < input.size();) {
        const ssize_t n = ::write(fd, input.constData() + done, size_t(input.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        done += n;
    }
    const bool ok = ::lseek(fd, 0, SEEK_SET) == 0 && ::dup2(fd, STDIN_FILENO) == STDIN_FILENO;
    ::close(fd);
    return ok;
}

// Replaces this process by the full program with the same arguments; returns only on failure.
int handOver(char *argv[], const std::optional<QByteArray> &input)
{
    if (input && !restoreStandardInput(*input)) {
        write(stderr, QByteArrayLiteral("vexilo: cannot pass standard input on: ") + std::strerror(errno) + '\n');
        return ExitBadInput;
    }
    const QByteArray program = fullProgram();
    argv[0] = const_cast<char *>(program.constData());
    ::execv(program.constData(), argv);
    write(stderr, QByteArrayLiteral("vexilo: cannot start ") + program + ": " + std::strerror(errno) + '\n');
    return ExitUsage;
}

} // namespace

int run(int argc, char *argv[])
{
    std::optional<QByteArray> input;
    {
        QCoreApplication app(argc, argv);
        const CommandLine::Options options = CommandLine::parse(QCoreApplication::arguments());
        if (!options.error.isEmpty())
            return usageError(options.error);
        if (options.help) {
            write(stdout, CommandCatalog::help().toUtf8());
            return ExitOk;
        }
        if (options.version) {
            write(stdout, QByteArrayLiteral("vexilo " VEXILO_VERSION "\n"));
            return ExitOk;
        }
        const QStringList &args = options.command;
        // Without a command this is the application itself.
        if (args.isEmpty())
            return handOver(argv, std::nullopt);
        if (!CommandCatalog::isCommand(args.first()))
            return usageError(QStringLiteral("unknown command \"%1\"").arg(args.first()));
        if (args.contains(QStringLiteral("--help"))) {
            write(stdout, CommandCatalog::commandUsage(args.first()).toUtf8());
            return ExitOk;
        }

        const StoragePaths paths = options.dataDirectory.isEmpty()
            ? StoragePaths::userDefault()
            : StoragePaths::forStorageDirectory(options.dataDirectory);
        // Read once, whoever carries the command out.
        if (CommandCatalog::readsStandardInput(args))
            input = readStandardInput();

        const InstanceClient client(InstanceProtocol::socketPath());
        const QString text = input ? QString::fromUtf8(*input) : QString();
        if (const auto output = client.runCommand(args, CommandContext::ofThisProcess(text), paths.storageDirectory)) {
            write(stdout, output->out.toUtf8());
            write(stderr, output->err.toUtf8());
            return output->exitCode;
        }
    }
    // No application, or one on another history folder: the full program works on the files.
    return handOver(argv, input);
}

} // namespace Vexilo::FrontEnd
