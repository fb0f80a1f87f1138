// SPDX-License-Identifier: MIT
#include "FilePathDetector.h"

#include "PathExistence.h"
#include "TextUtils.h"

#include <QUrl>
#include <QVarLengthArray>

namespace Vexilo::ContentDetector {

namespace {

// The absolute path a line names, or nothing. Only the lines that could name a path at all are
// worth building a string for: a text of a million words has none.
std::optional<QString> candidatePath(QStringView line, const QString &homeDirectory)
{
    if (line.startsWith(u'/'))
        return line.toString();
    if (line == u"~" || line.startsWith(u"~/"))
        return homeDirectory + line.sliced(1);
    if (line.startsWith(u"file:", Qt::CaseInsensitive)) {
        const QUrl url(line.toString(), QUrl::StrictMode);
        if (url.isValid() && url.isLocalFile() && (url.host().isEmpty() || url.host() == u"localhost"))
            return url.path(QUrl::FullyDecoded);
    }
    return std::nullopt;
}

} // namespace

FilePathDetection detectFilePath(QStringView text, const QString &homeDirectory)
{
    const QStringView trimmed = TextUtils::trimmed(text);
    if (trimmed.isEmpty())
        return {};
    // Lines that could name something: non-empty, and short enough to be looked up at all.
    qsizetype start = 0;
    auto nextCandidate = [trimmed, &start](QStringView &line) {
        while (start <= trimmed.size()) {
            const qsizetype end = TextUtils::findLineBreak(trimmed, start);
            line = TextUtils::trimmedBlanks(trimmed.sliced(start, end - start));
            start = end + 1;
            if (!line.isEmpty() && line.size() < PathExistence::maxPathBytes)
                return true;
        }
        return false;
    };
    // How the paths are looked up depends on how many there are; a few are read ahead to tell.
    constexpr qsizetype lookAhead = 64;
    QVarLengthArray<QStringView, lookAhead> head;
    QStringView line;
    while (head.size() < lookAhead && nextCandidate(line))
        head.append(line);
    PathExistence existence(head.size() < lookAhead ? head.size() : trimmed.size());
    FilePathDetection result;
    // A line that repeats the one before gets its answer: texts of a million equal lines exist.
    QStringView previous;
    std::optional<QString> previousPath;
    auto keepIfExists = [&](QStringView candidate) {
        if (candidate != previous) {
            previous = candidate;
            previousPath = candidatePath(candidate, homeDirectory);
            if (previousPath && !existence.exists(*previousPath))
                previousPath.reset();
        }
        if (previousPath)
            result.paths.append(*previousPath);
    };
    for (QStringView candidate : std::as_const(head))
        keepIfExists(candidate);
    while (nextCandidate(line))
        keepIfExists(line);
    result.isFileList = !result.paths.isEmpty();
    return result;
}

} // namespace Vexilo::ContentDetector
