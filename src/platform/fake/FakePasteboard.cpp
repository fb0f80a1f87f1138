// SPDX-License-Identifier: MIT
#include "FakePasteboard.h"

namespace Vexilo {

namespace {
const QString plainText = QStringLiteral("text/plain");
}

void FakePasteboard::setContents(const Contents &contents, bool announce)
{
    replace(contents, announce);
}

void FakePasteboard::setText(const QString &text, const QStringList &extraTypes)
{
    Contents contents;
    contents.types = QStringList{plainText} + extraTypes;
    contents.string = text;
    replace(contents);
}

QStringList FakePasteboard::types() const
{
    ++m_contentReads;
    return m_contents.types;
}

QStringList FakePasteboard::fileUrlPaths() const
{
    ++m_contentReads;
    return m_contents.fileUrlPaths;
}

std::optional<QStringList> FakePasteboard::legacyFileNames() const
{
    ++m_contentReads;
    return m_contents.legacyFileNames;
}

QList<QImage> FakePasteboard::images() const
{
    ++m_contentReads;
    return m_contents.images;
}

std::optional<QString> FakePasteboard::string() const
{
    ++m_contentReads;
    return m_contents.string;
}

// Like a desktop clipboard, every write is a replacement that moves the count and notifies.
void FakePasteboard::clearContents()
{
    m_writes.append(QStringLiteral("clear"));
    replace({});
}

void FakePasteboard::setString(const QString &text)
{
    m_writes.append(QStringLiteral("string:") + text);
    Contents contents;
    contents.types = {plainText};
    contents.string = text;
    replace(contents);
}

void FakePasteboard::writeFileUrls(const QStringList &paths)
{
    m_writes.append(QStringLiteral("files:") + paths.join(u'|'));
    Contents contents;
    contents.types = {QStringLiteral("text/uri-list")};
    contents.fileUrlPaths = paths;
    replace(contents);
}

void FakePasteboard::writeImage(const QImage &image)
{
    m_writes.append(QStringLiteral("image:%1x%2").arg(image.width()).arg(image.height()));
    Contents contents;
    contents.types = {QStringLiteral("image/png")};
    contents.images = {image};
    replace(contents);
}

void FakePasteboard::replace(const Contents &contents, bool announce)
{
    m_contents = contents;
    ++m_changeCount;
    if (announce)
        Q_EMIT changed();
}

} // namespace Vexilo
