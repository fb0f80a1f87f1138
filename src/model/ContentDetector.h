// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace Vexilo {

struct ColorValue
{
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    friend bool operator==(const ColorValue &, const ColorValue &) = default;
};

struct ColorDetection
{
    bool isColor = false;
    std::optional<QString> hex; // upper case, "#" and 3, 6 or 8 digits
    std::optional<ColorValue> color;
};

struct UrlDetection
{
    bool isUrl = false;
    QUrl url;
};

struct CodeDetection
{
    bool isCode = false;
    std::optional<QString> language; // "json", "html", "swift", "python", "javascript", "sql", "bash", "css", "code"
};

// Classification of copied text. Every test trims the text itself and runs in time linear in its
// length, because it runs on the capture path for every copy, however large.
namespace ContentDetector {

[[nodiscard]] ColorDetection detectColor(QStringView text);
[[nodiscard]] std::optional<ColorValue> nsColorFromHex(QStringView hex);
[[nodiscard]] UrlDetection detectURL(QStringView text);
// detectURL(text).isUrl without building the URL, which for a link of megabytes costs far more
// than telling that it is one.
[[nodiscard]] bool isURL(QStringView text);
[[nodiscard]] CodeDetection detectCode(QStringView text);

} // namespace ContentDetector

} // namespace Vexilo
