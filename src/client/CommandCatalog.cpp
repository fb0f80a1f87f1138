// SPDX-License-Identifier: MIT
#include "CommandCatalog.h"

#include "ArgumentList.h"

namespace Vexilo::CommandCatalog {

namespace {

struct CommandHelp
{
    const char *name;
    const char *synopsis;
    const char *description;
};

const CommandHelp commands[] = {
    {"list", "list [--json|--ids] [--limit N] [--category NAME] [--tag TAG] [--search TEXT]",
     "List clips, pinned first, then newest first. NAME is a category: All, Pinned, Snippets, Text, Image, "
     "Links, Code, Files. --ids prints each clip's full id and a tab before its title, one clip a line, for "
     "scripts and shell completion."},
    {"show", "show ID [--json]", "Show one clip with its derived texts."},
    {"add", "add [TEXT]", "Record TEXT as a new clip (standard input when TEXT is absent or \"-\"); prints its id."},
    {"add-image", "add-image FILE", "Record the image in FILE as a new clip; prints its id."},
    {"add-files", "add-files PATH...", "Record a list of files as a new clip; prints its id."},
    {"pin", "pin ID", "Pin a clip."},
    {"unpin", "unpin ID", "Unpin a clip."},
    {"tag", "tag ID TAG", "Add a tag to a clip."},
    {"untag", "untag ID TAG", "Remove a tag from a clip."},
    {"delete", "delete ID", "Delete a clip (no undo)."},
    {"clear", "clear [--all]", "Remove every clip that is not pinned; with --all, pinned clips too. Snippets stay."},
    {"transform", "transform MODE ID",
     "Print the clip's text converted by MODE: uppercase, lowercase, titleCase, trimWhitespace, singleLine, "
     "jsonEscaped, urlEncoded, base64Encoded, base64Decoded (or their labels)."},
    {"export", "export json|markdown FILE", "Write the whole history to FILE."},
    {"snippet", "snippet add --title T [--shortcut S] [--tags \"a, b\"] [TEXT]",
     "Create a snippet (text from standard input when TEXT is absent or \"-\"); prints its id."},
    {"snippets", "snippets [--json]", "List the snippets."},
    {"ocr", "ocr ID", "Recognise the text in an image clip now, keep it with the clip and print it."},
    {"qr", "qr ID --png FILE [--size N]",
     "Print what the clip's QR code carries and write the code as a PNG image of N by N pixels (280)."},
    {"share", "share ID",
     "Share an image clip with a phone on this network; prints its address (needs the running application)."},
    {"unshare", "unshare", "Stop sharing (needs the running application)."},
    {"check-update", "check-update", "Look for a newer version of Vexilo and print what was found."},
    {"paste", "paste ID", "Paste a clip into the window that was in front before (needs the running application)."},
    {"paste-slot", "paste-slot N",
     "Paste the N-th newest clip (1 to 9), as Ctrl+Alt+N does; for a desktop's own key bindings (needs the "
     "running application)."},
    {"toggle", "toggle", "Show or hide the history window (needs the running application)."},
    {"pause", "pause", "Pause recording (needs the running application)."},
    {"resume", "resume", "Resume recording (needs the running application)."},
    {"status", "status", "Whether Vexilo is recording, the clip count, hotkeys and keyboard access."},
    {"quit", "quit", "Quit the running application, saving the history first."},
};

const char *const applicationCommands[] = {"paste",  "paste-slot", "toggle", "pause",  "resume",
                                           "status", "quit",       "share",  "unshare"};
// Commands that neither read nor change the history, so they work while it cannot be read.
const char *const commandsWithoutHistory[] = {"toggle", "pause", "resume", "status", "quit", "unshare", "check-update"};

const CommandHelp *findCommand(const QString &name)
{
    for (const CommandHelp &command : commands) {
        if (name == QLatin1StringView(command.name))
            return &command;
    }
    return nullptr;
}

} // namespace

bool isCommand(const QString &name)
{
    return findCommand(name) != nullptr;
}

bool usesHistory(const QString &name)
{
    for (const char *command : commandsWithoutHistory) {
        if (name == QLatin1StringView(command))
            return false;
    }
    return isCommand(name);
}

bool isApplicationCommand(const QString &name)
{
    for (const char *command : applicationCommands) {
        if (name == QLatin1StringView(command))
            return true;
    }
    return false;
}

QString usage()
{
    QString text = QStringLiteral("Usage: vexilo [--data-dir DIR] COMMAND [ARGUMENTS]\n\nCommands:\n");
    for (const CommandHelp &command : commands)
        text += QStringLiteral("  ") + QLatin1StringView(command.synopsis) + u'\n';
    text += QStringLiteral("\nRun \"vexilo COMMAND --help\" for details of one command.\n");
    return text;
}

QString help()
{
    QString text = QStringLiteral(
        "Usage: vexilo [--data-dir DIR] [COMMAND [ARGUMENTS]]\n"
        "Records what you copy into a local history and puts clips back. Without a command, vexilo starts the "
        "application in the system tray (or brings the running one forward); with one, it works on the history, "
        "through the running application when there is one.\n\n"
        "Options:\n"
        "  --data-dir DIR  work on the history in DIR instead of the application's\n"
        "  --help          print this help; \"vexilo COMMAND --help\" describes one command\n"
        "  --version       print the version\n\n"
        "Commands:\n");
    for (const CommandHelp &command : commands)
        text += QStringLiteral("  ") + QLatin1StringView(command.synopsis) + u'\n';
    text += QStringLiteral("\nExit status:\n"
                           "  0  done\n"
                           "  1  usage error\n"
                           "  2  bad input, or a history file that cannot be read\n"
                           "  3  nothing recorded, or no result\n"
                           "  4  the history is in use by another process\n");
    return text;
}

QString commandUsage(const QString &name)
{
    const CommandHelp *command = findCommand(name);
    if (!command)
        return usage();
    return QStringLiteral("Usage: vexilo ") + QLatin1StringView(command->synopsis) + QStringLiteral("\n\n") +
        QLatin1StringView(command->description) + u'\n';
}

bool readsStandardInput(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return false;
    const QString &command = arguments.first();
    if (command == u"add") {
        ArgumentList args(arguments.mid(1), {});
        return args.parse() && (args.positional().isEmpty() || args.positional().first() == u"-");
    }
    if (command == u"snippet") {
        ArgumentList args(arguments.mid(1),
                          {QStringLiteral("title"), QStringLiteral("shortcut"), QStringLiteral("tags")});
        return args.parse() && !args.positional().isEmpty() && args.positional().first() == u"add" &&
            (args.positional().size() < 2 || args.positional().at(1) == u"-");
    }
    return false;
}

} // namespace Vexilo::CommandCatalog
