// SPDX-License-Identifier: MIT
#include "BenchReport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Vexilo::Bench {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(p / 100.0 * double(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

void report(const char *figure, double value, const char *unit, double target, bool atMost)
{
    const bool met = atMost ? value <= target : value >= target;
    std::printf("%-66s %10.2f %-4s (target %s %.1f %s, %s)\n", figure, value, unit, atMost ? "<=" : ">=", target, unit,
                met ? "met" : "MISSED");
    std::fflush(stdout);
}

void info(const char *figure, double value, const char *unit)
{
    std::printf("%-66s %10.2f %s\n", figure, value, unit);
    std::fflush(stdout);
}

double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace Vexilo::Bench
