// SPDX-License-Identifier: MIT
#include "RelativeTime.h"

#include "ReferenceDate.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace Vexilo::RelativeTime {

namespace {

enum class Unit { Year, Month, Week, Day, Hour, Minute, Second };

// Beyond this the dates no longer fit QDateTime's millisecond range; nobody reads such ages.
constexpr double maxSeconds = 1.0e13;

QString unitText(Unit unit, qint64 count)
{
    switch (unit) {
    case Unit::Year:
        return QStringLiteral("yr.");
    case Unit::Month:
        return QStringLiteral("mo.");
    case Unit::Week:
        return QStringLiteral("wk.");
    case Unit::Day:
        return count == 1 ? QStringLiteral("day") : QStringLiteral("days");
    case Unit::Hour:
        return QStringLiteral("hr.");
    case Unit::Minute:
        return QStringLiteral("min.");
    case Unit::Second:
        return QStringLiteral("sec.");
    }
    return {};
}

// Whole calendar steps from `from` towards `to` (months, or years when stepMonths is 12) that do not
// overshoot `to`. Anchoring at `from` matches how a calendar counts the components between two dates,
// so Mar 31 back one month is Feb 29/28.
qint64 wholeCalendarSteps(const QDateTime &from, const QDateTime &to, int stepMonths)
{
    const bool forward = to >= from;
    const int direction = forward ? 1 : -1;
    const auto reached = [&](qint64 steps) {
        const QDateTime stepped = from.addMonths(int(steps * stepMonths * direction));
        return forward ? stepped <= to : stepped >= to;
    };
    const QDate a = from.date();
    const QDate b = to.date();
    const qint64 monthSpan = std::abs(qint64(b.year() - a.year()) * 12 + (b.month() - a.month()));
    qint64 steps = monthSpan / stepMonths + 1;
    while (steps > 0 && !reached(steps))
        --steps;
    return steps;
}

} // namespace

QString abbreviated(double date, double now)
{
    double delta = date - now;
    if (!std::isfinite(delta))
        delta = 0;
    delta = std::clamp(delta, -maxSeconds, maxSeconds);
    const double clampedNow = std::clamp(now, -maxSeconds, maxSeconds);

    const QDateTime from = ReferenceDate::toDateTime(clampedNow);
    const QDateTime to = ReferenceDate::toDateTime(clampedNow + delta);
    const auto seconds = qint64(std::abs(delta)); // truncated toward zero

    Unit unit = Unit::Second;
    qint64 count = seconds;
    if (const qint64 years = wholeCalendarSteps(from, to, 12); years > 0) {
        unit = Unit::Year;
        count = years;
    } else if (const qint64 months = wholeCalendarSteps(from, to, 1); months > 0) {
        unit = Unit::Month;
        count = months;
    } else if (seconds >= 7 * 86400) {
        unit = Unit::Week;
        count = seconds / (7 * 86400);
    } else if (seconds >= 86400) {
        unit = Unit::Day;
        count = seconds / 86400;
    } else if (seconds >= 3600) {
        unit = Unit::Hour;
        count = seconds / 3600;
    } else if (seconds >= 60) {
        unit = Unit::Minute;
        count = seconds / 60;
    }

    const QString number = QLocale(QLocale::English, QLocale::UnitedStates).toString(count);
    const QString phrase = number + u' ' + unitText(unit, count);
    // Less than a second either way reads as "in 0 sec.", the form used for the present moment.
    if (delta < 0 && count > 0)
        return phrase + QStringLiteral(" ago");
    return QStringLiteral("in ") + phrase;
}

} // namespace Vexilo::RelativeTime
