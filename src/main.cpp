// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vexilo"));
    QCoreApplication::setApplicationName(QStringLiteral("Vexilo"));
    return Vexilo::CommandLine::run(QCoreApplication::arguments());
}
