// SPDX-License-Identifier: MIT
#include "AppVersion.h"
#include "Application.h"
#include "CommandLine.h"

#include <QCoreApplication>

#include <csignal>

int main(int argc, char *argv[])
{
    // A file-size limit must fail a write (and keep the old history), not end the process.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const auto options = Vexilo::CommandLine::parse(arguments);
    // Without a command, `vexilo` is the application itself.
    if (options.error.isEmpty() && !options.help && !options.version && options.command.isEmpty())
        return Vexilo::Application::exec(argc, argv, options.dataDirectory);

    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vexilo"));
    QCoreApplication::setApplicationName(QStringLiteral("Vexilo"));
    return Vexilo::CommandLine::run(options, Vexilo::AppVersion::shortVersion(), Vexilo::AppVersion::build());
}
