// SPDX-License-Identifier: MIT
#include "CommandRunner.h"

#include "ArgumentList.h"
#include "ClipFormat.h"
#include "ClipJson.h"
#include "ClipboardStore.h"
#include "CommandCatalog.h"
#include "StrictInteger.h"
#include "TextTransformMode.h"
#include "Uuid.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <climits>

namespace Vexilo {

namespace {

CommandOutput usageError(const QString &command, const QString &message)
{
    return {ExitUsage,
            {},
            QStringLiteral("vexilo: ") + message + u'\n' +
                (command.isEmpty() ? CommandCatalog::usage() : CommandCatalog::commandUsage(command))};
}

CommandOutput failure(int code, const QString &message)
{
    return {code, {}, QStringLiteral("vexilo: ") + message + u'\n'};
}

CommandOutput result(const QString &text)
{
    return {ExitOk, text, {}};
}

QString withNewline(const QString &text)
{
    return text.endsWith(u'\n') ? text : text + u'\n';
}

// Resolves a full id in any case or a unique prefix of at least six hex digits.
struct Lookup
{
    std::optional<ClipItem> item;
    CommandOutput error;
};

Lookup lookUp(const ClipboardStore &store, const QString &idText)
{
    if (const auto full = Uuid::parse(idText)) {
        if (auto item = store.item(*full))
            return {item, {}};
        return {std::nullopt, failure(ExitBadInput, QStringLiteral("no clip has the id %1").arg(idText))};
    }
    QString digits = idText;
    digits.remove(u'-');
    digits = digits.toLower();
    bool hex = !digits.isEmpty();
    for (QChar c : std::as_const(digits))
        hex = hex && ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'));
    if (!hex || digits.size() < 6 || digits.size() > 32)
        return {std::nullopt,
                failure(ExitBadInput,
                        QStringLiteral("\"%1\" is not a clip id (a full id or at least 6 of its first hex digits)")
                            .arg(idText))};
    std::optional<ClipItem> found;
    int matches = 0;
    for (const ClipItem &item : store.items()) {
        if (item.id().toString(QUuid::Id128).startsWith(digits)) {
            found = item;
            ++matches;
        }
    }
    if (matches == 1)
        return {found, {}};
    if (matches == 0)
        return {std::nullopt, failure(ExitBadInput, QStringLiteral("no clip has an id starting with %1").arg(idText))};
    return {std::nullopt,
            failure(ExitBadInput,
                    QStringLiteral("the id prefix %1 matches %2 clips; give more digits").arg(idText).arg(matches))};
}

QString captureFailure(CaptureOutcome outcome)
{
    switch (outcome) {
    case CaptureOutcome::Paused:
        return QStringLiteral("recording is paused; nothing was recorded");
    case CaptureOutcome::Blank:
        return QStringLiteral("the text is empty or only white space; nothing was recorded");
    case CaptureOutcome::Duplicate:
        return QStringLiteral("the history already holds this; nothing was recorded");
    case CaptureOutcome::Failed:
        return QStringLiteral("the clip could not be recorded");
    case CaptureOutcome::Unavailable:
        return QStringLiteral("the history cannot be read; nothing was recorded");
    case CaptureOutcome::Recorded:
        break;
    }
    return {};
}

CommandOutput captureOutput(const CaptureResult &capture)
{
    if (!capture.recorded())
        return failure(ExitNoResult, captureFailure(capture.outcome));
    return result(Uuid::toText(capture.id) + u'\n');
}

} // namespace

CommandRunner::CommandRunner(ClipboardStore &store)
    : m_store(store)
{ }

std::optional<CommandOutput> CommandRunner::refusal(const QString &command, const QString &historyProblem)
{
    if (historyProblem.isEmpty() || !CommandCatalog::usesHistory(command))
        return std::nullopt;
    return failure(ExitBadInput, QStringLiteral("cannot read the history file ") + historyProblem);
}

std::optional<ClipItem> CommandRunner::findClip(const QString &idText, CommandOutput &error) const
{
    Lookup lookup = lookUp(m_store, idText);
    if (!lookup.item)
        error = lookup.error;
    return lookup.item;
}

CommandOutput CommandRunner::run(const QStringList &arguments, const CommandContext &context)
{
    const QDir base(context.workingDirectory.isEmpty() ? QDir::currentPath() : context.workingDirectory);
    auto resolve = [&base](const QString &path) { return QDir::cleanPath(base.absoluteFilePath(path)); };
    if (arguments.isEmpty())
        return usageError({}, QStringLiteral("no command given"));
    const QString command = arguments.first();
    if (!CommandCatalog::isCommand(command))
        return usageError({}, QStringLiteral("unknown command \"%1\"").arg(command));
    if (CommandCatalog::isApplicationCommand(command))
        return failure(ExitNoResult, QStringLiteral("Vexilo is not running; start it first"));
    if (auto refused = refusal(command, m_store.historyProblem()))
        return *refused;

    QStringList valueOptions;
    if (command == u"list")
        valueOptions = {QStringLiteral("limit"), QStringLiteral("category"), QStringLiteral("tag"),
                        QStringLiteral("search")};
    else if (command == u"snippet")
        valueOptions = {QStringLiteral("title"), QStringLiteral("shortcut"), QStringLiteral("tags")};
    ArgumentList args(arguments.mid(1), valueOptions);
    if (!args.parse())
        return usageError(command, args.errorString());
    if (args.hasFlag(QStringLiteral("help")))
        return result(CommandCatalog::commandUsage(command));

    QStringList allowedFlags;
    if (command == u"list")
        allowedFlags = {QStringLiteral("json"), QStringLiteral("ids")};
    else if (command == u"show" || command == u"snippets")
        allowedFlags = {QStringLiteral("json")};
    else if (command == u"clear")
        allowedFlags = {QStringLiteral("all")};
    if (const QString unknown = args.unknownFlag(allowedFlags); !unknown.isEmpty())
        return usageError(command, QStringLiteral("unknown option --%1").arg(unknown));

    const QStringList &pos = args.positional();
    auto expectCount = [&](qsizetype minimum, qsizetype maximum) -> std::optional<CommandOutput> {
        if (pos.size() < minimum)
            return usageError(command, QStringLiteral("missing argument"));
        if (maximum >= 0 && pos.size() > maximum)
            return usageError(command, QStringLiteral("too many arguments"));
        return std::nullopt;
    };
    const bool json = args.hasFlag(QStringLiteral("json"));

    if (command == u"list") {
        if (auto error = expectCount(0, 0))
            return *error;
        ClipType category = ClipType::All;
        if (const auto name = args.value(QStringLiteral("category"))) {
            const auto parsed = ClipTypes::fromLabel(*name);
            if (!parsed)
                return failure(ExitBadInput, QStringLiteral("unknown category \"%1\"").arg(*name));
            category = *parsed;
        }
        int limit = -1;
        if (const auto text = args.value(QStringLiteral("limit"))) {
            const std::optional<qint64> parsed = parseStrictInteger(*text);
            limit = parsed && *parsed >= 0 ? int(std::min<qint64>(*parsed, INT_MAX)) : -1;
            if (limit < 0)
                return usageError(command, QStringLiteral("--limit needs a number of 0 or more"));
        }
        // A query of its own: the filter the user sees in the application is left alone.
        QList<ClipItem> listed = m_store.filteredList(category, args.value(QStringLiteral("tag")),
                                                      args.value(QStringLiteral("search")).value_or(QString()));
        if (limit >= 0 && listed.size() > limit)
            listed.resize(limit);
        if (json)
            return result(QString::fromUtf8(ClipJson::encodeHistory(listed)) + u'\n');
        if (args.hasFlag(QStringLiteral("ids"))) {
            // Whole ids, which stay unique however long the history grows; the title helps to pick one.
            QString lines;
            for (const ClipItem &item : std::as_const(listed))
                lines += Uuid::toText(item.id()) + u'\t' + ClipFormat::fitted(item.previewTitle(), 60) + u'\n';
            return result(lines);
        }
        CommandOutput output = result(ClipFormat::listLines(listed, context.columns));
        if (listed.isEmpty())
            output.err = m_store.count(ClipType::All) == 0 && category == ClipType::All
                ? QStringLiteral("The history is empty.\n")
                : QStringLiteral("No clips match.\n");
        return output;
    }

    if (command == u"snippets") {
        if (auto error = expectCount(0, 0))
            return *error;
        const QList<ClipItem> snippets = m_store.snippets();
        if (json)
            return result(QString::fromUtf8(ClipJson::encodeHistory(snippets)) + u'\n');
        CommandOutput output = result(ClipFormat::snippetLines(snippets, context.columns));
        if (snippets.isEmpty())
            output.err = QStringLiteral("There are no snippets.\n");
        return output;
    }

    if (command == u"add") {
        if (auto error = expectCount(0, 1))
            return *error;
        const QString text = pos.isEmpty() || pos.first() == u"-" ? context.input : pos.first();
        return captureOutput(m_store.addTextItem(text));
    }

    if (command == u"add-image") {
        if (auto error = expectCount(1, 1))
            return *error;
        QImageReader reader(resolve(pos.first()));
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (image.isNull())
            return failure(ExitBadInput,
                           QStringLiteral("cannot read the image %1: %2").arg(pos.first(), reader.errorString()));
        return captureOutput(m_store.addImageItem(image));
    }

    if (command == u"add-files") {
        if (auto error = expectCount(1, -1))
            return *error;
        QStringList paths;
        for (const QString &path : pos) {
            const QFileInfo info(resolve(path));
            if (!info.exists())
                return failure(ExitBadInput, QStringLiteral("no such file or folder: %1").arg(path));
            paths.append(info.absoluteFilePath());
        }
        return captureOutput(m_store.addFilesItem(paths));
    }

    if (command == u"export") {
        if (auto error = expectCount(2, 2))
            return *error;
        const QString format = pos.at(0).toLower();
        if (format != u"json" && format != u"markdown")
            return usageError(command, QStringLiteral("the format is json or markdown"));
        const QString target = resolve(pos.at(1));
        const auto written = format == u"json" ? m_store.exportAsJSON(target) : m_store.exportAsMarkdown(target);
        if (!written)
            return failure(ExitBadInput, QStringLiteral("could not write %1").arg(pos.at(1)));
        return result(*written + u'\n');
    }

    if (command == u"clear") {
        if (auto error = expectCount(0, 0))
            return *error;
        const int before = m_store.storedItemCount();
        m_store.clearHistory(!args.hasFlag(QStringLiteral("all")));
        return result(QStringLiteral("Removed %1 clips.\n").arg(before - m_store.storedItemCount()));
    }

    if (command == u"snippet") {
        if (pos.isEmpty() || pos.first() != u"add")
            return usageError(command, QStringLiteral("the only snippet command is \"snippet add\""));
        if (pos.size() > 2)
            return usageError(command, QStringLiteral("too many arguments"));
        const auto title = args.value(QStringLiteral("title"));
        if (!title || title->trimmed().isEmpty())
            return usageError(command, QStringLiteral("a snippet needs --title"));
        const QString text = pos.size() < 2 || pos.at(1) == u"-" ? context.input : pos.at(1);
        const QUuid id =
            m_store.createSnippet(*title, text, args.value(QStringLiteral("shortcut")),
                                  ClipboardStore::parseTags(args.value(QStringLiteral("tags")).value_or(QString())));
        return result(Uuid::toText(id) + u'\n');
    }

    // The remaining commands name a clip.
    const bool twoArguments = command == u"tag" || command == u"untag" || command == u"transform";
    if (auto error = expectCount(twoArguments ? 2 : 1, twoArguments ? 2 : 1))
        return *error;
    const QString idText = command == u"transform" ? pos.at(1) : pos.at(0);
    std::optional<TextTransformMode> mode;
    if (command == u"transform") {
        mode = TextTransformModes::fromCaseName(pos.at(0));
        if (!mode)
            mode = TextTransformModes::fromRawValue(pos.at(0));
        if (!mode)
            return failure(ExitBadInput, QStringLiteral("unknown transform \"%1\"").arg(pos.at(0)));
    }
    const Lookup lookup = lookUp(m_store, idText);
    if (!lookup.item)
        return lookup.error;
    const ClipItem &item = *lookup.item;

    if (command == u"show") {
        if (json)
            return result(QString::fromUtf8(ClipJson::encodeItem(item)) + u'\n');
        return result(ClipFormat::details(item));
    }
    if (command == u"pin" || command == u"unpin") {
        const bool pin = command == u"pin";
        if (item.isPinned() != pin)
            m_store.togglePin(item);
        return result({});
    }
    if (command == u"tag") {
        if (ClipboardStore::normalizeTag(pos.at(1)).isEmpty())
            return failure(ExitBadInput, QStringLiteral("the tag is empty once \"#\" and blanks are removed"));
        m_store.addTag(pos.at(1), item);
        return result({});
    }
    if (command == u"untag") {
        m_store.removeTag(pos.at(1), item);
        return result({});
    }
    if (command == u"delete") {
        m_store.deleteItem(item, false);
        return result({});
    }
    if (command == u"transform") {
        const auto transformed = item.transformedText(*mode);
        if (!transformed) {
            return failure(ExitNoResult,
                           item.hasTextContent() ? QStringLiteral("Not a valid Base64 string")
                                                 : QStringLiteral("the clip has no text to transform"));
        }
        return result(withNewline(*transformed));
    }
    return usageError({}, QStringLiteral("unknown command \"%1\"").arg(command));
}

} // namespace Vexilo
