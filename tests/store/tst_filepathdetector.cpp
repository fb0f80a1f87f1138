// SPDX-License-Identifier: MIT
#include "FilePathDetector.h"
#include "PathExistence.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Vexilo;
using namespace Qt::StringLiterals;

class TestFilePathDetector : public QObject
{
    Q_OBJECT

    QString expand(QString value) const { return value.replace(u"{home}"_s, home()).replace(u"{work}"_s, work()); }
    QString home() const { return m_root.filePath(u"home"_s); }
    QString work() const { return m_root.filePath(u"work"_s); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QDir root(m_root.path());
        QVERIFY(root.mkpath(u"home/Documents"_s));
        QVERIFY(root.mkpath(u"work/dir"_s));
        for (const QString &name : {u"work/file.txt"_s, u"work/dir/inner.txt"_s, u"work/caf\u00E9 1.txt"_s}) {
            QFile file(root.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::link(root.filePath(u"work/file.txt"_s), root.filePath(u"work/good-link"_s)));
        QVERIFY(QFile::link(root.filePath(u"work/gone"_s), root.filePath(u"work/broken-link"_s)));
        // Relative lines must not be found here, where an autostarted app would look for them.
        QVERIFY(QDir::setCurrent(work()));
    }

    void detection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("absolute") << u"{work}/file.txt"_s << QStringList{u"{work}/file.txt"_s};
        QTest::newRow("blanks, tabs, CR LF, order and repeats")
            << u" \t{work}/dir \t\r\n\n\u00A0{work}/file.txt\n{work}/dir"_s
            << QStringList{u"{work}/dir"_s, u"{work}/file.txt"_s, u"{work}/dir"_s};
        QTest::newRow("home") << u"~\n~/Documents\n~/missing"_s << QStringList{u"{home}"_s, u"{home}/Documents"_s};
        QTest::newRow("file URL, percent-encoded")
            << u"file://{work}/caf%C3%A9%201.txt"_s << QStringList{u"{work}/caf\u00E9 1.txt"_s};
        QTest::newRow("file URL of another host") << u"file://elsewhere{work}/file.txt"_s << QStringList();
        QTest::newRow("symlinks: good kept, broken not")
            << u"{work}/good-link\n{work}/broken-link"_s << QStringList{u"{work}/good-link"_s};
        QTest::newRow("trailing slash") << u"{work}/dir/\n{work}/file.txt/"_s << QStringList{u"{work}/dir/"_s};
        QTest::newRow("below a file") << u"{work}/file.txt/x"_s << QStringList();
        // Words and relative paths that exist in the working directory are still words.
        QTest::newRow("relative lines never")
            << u"file.txt\ndir\n./file.txt\n../work/file.txt\nDocuments"_s << QStringList();
        QTest::newRow("empty") << QString() << QStringList();
    }

    void detection()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, paths);
        for (QString &path : paths)
            path = expand(path);
        const FilePathDetection result = ContentDetector::detectFilePath(expand(text), home());
        QCOMPARE(result.paths, paths);
        QCOMPARE(result.isFileList, !paths.isEmpty());
    }

    // With many lines, directory listings answer instead of a stat() per line; the answers must be
    // the same, and only names found in a listing are confirmed.
    void listingsAgreeWithStat()
    {
        const QStringList names{
            u"file.txt"_s,  u"dir"_s,         u"dir/"_s,        u"dir/inner.txt"_s,   u"dir//inner.txt"_s,
            u"good-link"_s, u"broken-link"_s, u"FILE.TXT"_s,    u"missing"_s,         u"missing/x/y/z"_s,
            u"file.txt/"_s, u"file.txt/x"_s,  u"dir/missing"_s, u"caf\u00E9 1.txt"_s, u"dir/."_s};
        QRandomGenerator random(7);
        QStringList lines;
        for (int i = 0; i < 600; ++i)
            lines.append(work() + u'/' + names[random.bounded(int(names.size()))]);
        lines.append(u"/"_s);
        PathExistence listing(lines.size(), PathExistence::Strategy::Listings);
        PathExistence statting(lines.size(), PathExistence::Strategy::StatOnly);
        qsizetype existing = 0;
        qsizetype listedButMissing = 0;
        for (const QString &line : std::as_const(lines)) {
            struct stat info = {};
            const bool exists = ::stat(QFile::encodeName(line).constData(), &info) == 0;
            QCOMPARE(listing.exists(line), exists);
            QCOMPARE(statting.exists(line), exists);
            existing += exists;
            listedButMissing += line.endsWith(u"/broken-link"_s) || line.endsWith(u"/file.txt/"_s);
        }
        QCOMPARE(statting.statCount(), lines.size());
        QCOMPARE(listing.statCount(), existing + listedButMissing);
        QCOMPARE(ContentDetector::detectFilePath(lines.join(u'\n'), home()).paths.size(), existing);
    }

    void limits()
    {
        // A line of PATH_MAX bytes or more in UTF-8 names nothing, even when it is shorter in UTF-16.
        const QString longName = u'/' + QString(PathExistence::maxPathBytes / 3 + 1, QChar(0x20AC));
        QCOMPARE(ContentDetector::detectFilePath(QString(longName + u'\n' + work() + u"/file.txt"_s), home()).paths,
                 QStringList{work() + u"/file.txt"_s});
        // A long text of words is no list of files, and its words are not looked up.
        QString lines;
        for (int i = 0; i < 200'000; ++i)
            lines += u"line %1\n"_s.arg(i);
        QCOMPARE(ContentDetector::detectFilePath(QString(lines + work() + u"/dir/inner.txt"_s), home()).paths,
                 QStringList{work() + u"/dir/inner.txt"_s});
    }

private:
    QTemporaryDir m_root;
};

QTEST_GUILESS_MAIN(TestFilePathDetector)
#include "tst_filepathdetector.moc"
