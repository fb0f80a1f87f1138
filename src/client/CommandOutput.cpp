// SPDX-License-Identifier: MIT
#include "CommandOutput.h"

#include <QDir>

#include <sys/ioctl.h>
#include <unistd.h>

namespace Vexilo {

CommandContext CommandContext::ofThisProcess(QString input)
{
    CommandContext context{std::move(input), QDir::currentPath(), 80};
    winsize size = {};
    if (::isatty(STDOUT_FILENO) && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        context.columns = size.ws_col;
    return context;
}

} // namespace Vexilo
