// SPDX-License-Identifier: MIT
// The client's argument parsing on arbitrary arguments (NUL-separated in the input). Whatever it
// accepts must read the same once written back in its plainest form.
#include "ArgumentList.h"
#include "CommandCatalog.h"
#include "CommandLineOptions.h"

#include <cstdlib>

using namespace Vexilo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList arguments =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)).split(QChar(0));
    const CommandLine::Options options = CommandLine::parse(arguments);
    if (options.error.isEmpty()) {
        QStringList plain{QStringLiteral("vexilo")};
        if (options.help)
            plain << QStringLiteral("--help");
        if (!options.dataDirectory.isEmpty())
            plain << QStringLiteral("--data-dir") << options.dataDirectory;
        const CommandLine::Options again = CommandLine::parse(plain + options.command);
        if (!again.error.isEmpty() || again.help != options.help || again.dataDirectory != options.dataDirectory ||
            again.command != options.command)
            std::abort();
    }
    (void)CommandCatalog::readsStandardInput(options.command);

    const QStringList valueOptions{QStringLiteral("title"), QStringLiteral("tags")};
    // The flags in order of first appearance, "help" aside.
    auto flagsOf = [](const ArgumentList &list) {
        QStringList flags;
        for (QString flag; !(flag = list.unknownFlag(flags)).isEmpty();)
            flags << flag;
        return flags;
    };
    ArgumentList args(arguments, valueOptions);
    if (!args.parse())
        return 0;
    QStringList plain = args.hasFlag(QStringLiteral("help")) ? QStringList{QStringLiteral("--help")} : QStringList();
    for (const QString &flag : flagsOf(args))
        plain << QStringLiteral("--") + flag;
    for (const QString &name : valueOptions) {
        if (const std::optional<QString> value = args.value(name))
            plain << QStringLiteral("--") + name + u'=' + *value;
    }
    ArgumentList again(plain + QStringList{QStringLiteral("--")} + args.positional(), valueOptions);
    if (!again.parse() || again.positional() != args.positional() || flagsOf(again) != flagsOf(args) ||
        again.value(valueOptions[0]) != args.value(valueOptions[0]) ||
        again.value(valueOptions[1]) != args.value(valueOptions[1]))
        std::abort();
    return 0;
}
