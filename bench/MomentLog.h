// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

namespace Vexilo::Bench {

using SteadyClock = std::chrono::steady_clock;

inline double msBetween(SteadyClock::time_point from, SteadyClock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Moments noted on one thread and read on another: when each event a watcher waits for arrived.
class MomentLog
{
public:
    void note(SteadyClock::time_point moment)
    {
        std::lock_guard lock(m_mutex);
        m_moments.push_back(moment);
    }

    [[nodiscard]] size_t count() const
    {
        std::lock_guard lock(m_mutex);
        return m_moments.size();
    }

    [[nodiscard]] std::optional<SteadyClock::time_point> at(size_t index) const
    {
        std::lock_guard lock(m_mutex);
        if (index >= m_moments.size())
            return std::nullopt;
        return m_moments[index];
    }

private:
    mutable std::mutex m_mutex;
    std::vector<SteadyClock::time_point> m_moments;
};

} // namespace Vexilo::Bench
