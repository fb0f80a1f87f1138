// SPDX-License-Identifier: MIT
#include "HistoryGenerator.h"

#include "DefaultSnippets.h"

#include <QRandomGenerator>
#include <cmath>

namespace Vexilo::Bench {

namespace {
const char *const words[] = {
    "the",      "of",       "and",     "to",       "in",       "is",       "that",     "for",      "it",
    "with",     "as",       "was",     "on",       "be",       "at",       "by",       "this",     "have",
    "from",     "or",       "one",     "had",      "not",      "but",      "what",     "all",      "were",
    "when",     "we",       "there",   "can",      "an",       "your",     "which",    "their",    "said",
    "meeting",  "invoice",  "project", "deadline", "customer", "release",  "server",   "database", "report",
    "schedule", "password", "address", "thanks",   "please",   "review",   "update",   "version",  "budget",
    "quarter",  "analysis", "design",  "feedback", "contract", "shipping", "order",    "payment",  "team",
    "morning",  "tomorrow", "Monday",  "Friday",   "London",   "Berlin",   "Tokyo",    "Zürich",   "café",
    "naïve",    "résumé",   "München", "Straße",   "données",  "über",     "日本語",   "テスト",   "北京",
    "config",   "function", "return",  "variable", "kernel",   "cluster",  "pipeline", "backup",   "upgrade"};
constexpr int wordCount = int(sizeof(words) / sizeof(words[0]));

const char *const apps[][2] = {{"Firefox", "firefox"},         {"Konsole", "org.kde.konsole"},
                               {"Kate", "org.kde.kate"},       {"Slack", "slack"},
                               {"Thunderbird", "thunderbird"}, {"LibreOffice Writer", "libreoffice-writer"},
                               {"Visual Studio Code", "code"}, {"Files", "org.gnome.Nautilus"}};

const char *const codeSamples[] = {
    "func greet(name: String) -> String {\n    let message = \"Hello, \\(name)\"\n    return message\n}\n",
    "def load(path):\n    with open(path) as f:\n        return json.load(f)\n\nif __name__ == '__main__':\n    "
    "print(load('x'))\n",
    "const fetchData = async (url) => {\n  const response = await fetch(url);\n  console.log(response.status);\n  "
    "return response.json();\n};\n",
    "SELECT id, name FROM users WHERE created_at > NOW() - INTERVAL '7 days' ORDER BY name;",
    "#!/bin/bash\nset -euo pipefail\nfor f in *.log; do\n  gzip \"$f\"\ndone\n",
    "{\"name\": \"vexilo\", \"version\": \"1.0.0\", \"dependencies\": {\"qt\": \"6.4\"}}",
    ".button {\n  color: #333;\n}\n"};
constexpr int codeCount = int(sizeof(codeSamples) / sizeof(codeSamples[0]));

QUuid randomUuid(QRandomGenerator &rng)
{
    QByteArray bytes(16, Qt::Uninitialized);
    rng.fillRange(reinterpret_cast<quint32 *>(bytes.data()), 4);
    bytes[6] = char((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = char((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    return QUuid::fromRfc4122(bytes);
}

QString sentence(QRandomGenerator &rng, qsizetype length)
{
    QString text;
    text.reserve(length + 16);
    bool capital = true;
    while (text.size() < length) {
        QString word = QString::fromUtf8(words[rng.bounded(wordCount)]);
        if (capital) {
            word[0] = word[0].toUpper();
            capital = false;
        }
        text += word;
        const quint32 r = rng.bounded(100);
        if (r < 6) {
            text += QStringLiteral(". ");
            capital = true;
        } else if (r < 9) {
            text += QStringLiteral(", ");
        } else if (r < 11) {
            text += u'\n';
        } else {
            text += u' ';
        }
    }
    return text;
}
} // namespace

QString prose(qsizetype length, quint32 seed)
{
    QRandomGenerator rng(seed);
    return sentence(rng, length);
}

QList<ClipItem> generateHistory(int count, quint32 seed, double newest)
{
    QRandomGenerator rng(seed);
    QList<ClipItem> items;
    items.reserve(count + 2);
    double date = newest;
    for (int i = 0; i < count; ++i) {
        date -= rng.generateDouble() * 300.0; // a copy every few minutes, going back in time
        const quint32 kind = rng.bounded(100);
        ClipType type = ClipType::Text;
        if (kind >= 72 && kind < 82)
            type = ClipType::Code;
        else if (kind >= 82 && kind < 92)
            type = ClipType::Url;
        else if (kind >= 92 && kind < 97)
            type = ClipType::Image;
        else if (kind >= 97)
            type = ClipType::File;
        ClipItem item(randomUuid(rng), date, type, rng.bounded(2000) == 0);
        switch (type) {
        case ClipType::Text: {
            // Log-uniform lengths between 20 and 2,000 characters.
            const double length = 20.0 * std::pow(100.0, rng.generateDouble());
            item.setTextContent(sentence(rng, qsizetype(length)));
            break;
        }
        case ClipType::Code:
            item.setTextContent(QString::fromUtf8(codeSamples[rng.bounded(codeCount)]) + QString::number(i));
            item.setDetectedLanguage(QStringLiteral("code"));
            break;
        case ClipType::Url:
            item.setTextContent(QStringLiteral("https://example.org/%1/%2?id=%3")
                                    .arg(QString::fromUtf8(words[rng.bounded(wordCount)]),
                                         QString::fromUtf8(words[rng.bounded(wordCount)]))
                                    .arg(i));
            break;
        case ClipType::Image:
            item.setImageFileName(randomUuid(rng).toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png"));
            item.setImageSize(int(rng.bounded(400, 3000)), int(rng.bounded(300, 2000)));
            if (rng.bounded(2))
                item.setExtractedText(sentence(rng, rng.bounded(20, 300)));
            break;
        default: {
            QStringList paths;
            const int n = int(rng.bounded(1, 4));
            for (int p = 0; p < n; ++p)
                paths.append(QStringLiteral("/home/user/Documents/%1_%2.pdf")
                                 .arg(QString::fromUtf8(words[rng.bounded(wordCount)]))
                                 .arg(i * 10 + p));
            item.setFilePaths(paths);
            break;
        }
        }
        const auto *app = apps[rng.bounded(int(sizeof(apps) / sizeof(apps[0])))];
        item.setSourceAppName(QString::fromUtf8(app[0]));
        item.setSourceAppBundleId(QString::fromUtf8(app[1]));
        if (rng.bounded(10) == 0)
            item.setTags({QString::fromUtf8(words[rng.bounded(36, wordCount)])});
        items.append(item);
    }
    items.append(DefaultSnippets::defaults(newest - 400 * 86400.0));
    return items;
}

} // namespace Vexilo::Bench
