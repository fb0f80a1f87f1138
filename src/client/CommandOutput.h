// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace Vexilo {

// Exit codes of the command-line client.
enum ExitCode : int {
    ExitOk = 0,
    ExitUsage = 1, // bad command line: message and usage on standard error
    ExitBadInput = 2, // unknown or ambiguous id, unreadable file, unknown mode
    ExitNoResult = 3, // nothing recorded or no result, with the reason on standard error
    ExitLocked = 4, // the history is owned by another process
};

// Where a command comes from, whichever process carries it out.
struct CommandContext
{
    QString input; // standard input, read once by the caller when the command takes it
    QString workingDirectory; // relative file names are the caller's
    int columns = 80; // width of the caller's terminal; 80 when the output is not a terminal

    // The context of this process: its working directory and its standard output's width.
    static CommandContext ofThisProcess(QString input = {});
};

struct CommandOutput
{
    int exitCode = ExitOk;
    QString out; // the result, for standard output
    QString err; // messages, for standard error
};

} // namespace Vexilo
