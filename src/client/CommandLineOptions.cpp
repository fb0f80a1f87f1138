// SPDX-License-Identifier: MIT
#include "CommandLineOptions.h"

namespace Vexilo::CommandLine {

Options parse(const QStringList &arguments)
{
    Options options;
    QStringList args = arguments.mid(1);
    // Options before the command belong to the client itself.
    while (!args.isEmpty() && args.first().startsWith(u"--")) {
        const QString option = args.takeFirst();
        if (option == u"--help") {
            options.help = true;
        } else if (option == u"--version") {
            options.version = true;
        } else if (option == u"--data-dir") {
            if (args.isEmpty()) {
                options.error = QStringLiteral("--data-dir needs a folder");
                return options;
            }
            options.dataDirectory = args.takeFirst();
        } else if (option.startsWith(u"--data-dir=")) {
            options.dataDirectory = option.mid(11);
        } else {
            options.error = QStringLiteral("unknown option %1").arg(option);
            return options;
        }
    }
    options.command = args;
    return options;
}

} // namespace Vexilo::CommandLine
