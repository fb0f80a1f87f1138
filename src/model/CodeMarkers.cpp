// SPDX-License-Identifier: MIT
#include "ContentDetector_p.h"

#include <algorithm>
#include <array>
#include <bit>
#include <map>
#include <queue>
#include <string_view>
#include <utility>
#include <vector>

namespace Vexilo::ContentDetector::Detail {

namespace {

// clang-format off
constexpr std::array<std::string_view, 14> swiftList{
    "import SwiftUI", "import Foundation", "func ", "var ", "let ", "struct ", "class ", "enum ",
    "guard let", "if let", "@State", "@Binding", "@Environment", "extension ",
};
constexpr std::array<std::string_view, 10> pythonList{
    "def ", "import ", "from ", "class ", "elif ", "if __name__ == '__main__':", "print(", "return ",
    "self.", "except:",
};
constexpr std::array<std::string_view, 10> javaScriptList{
    "const ", "let ", "function ", "export default", "import {", "console.log", "=>",
    "document.getElementById", "useEffect(", "useState(",
};
constexpr std::array<std::string_view, 8> sqlList{
    "SELECT ", "FROM ", "WHERE ", "INSERT INTO ", "UPDATE ", "DELETE FROM ", "CREATE TABLE ", "JOIN ",
};

// Characters outside ASCII whose upper-case form contains ASCII letters, from the Unicode case
// mappings: sharp s, dotless i, ŉ, long s, ǰ, ẖ..ẚ and the Latin ligatures ﬀ..ﬆ.
constexpr std::array<char16_t, 17> upperCaseToAscii{
    0x00DF, 0x0131, 0x0149, 0x017F, 0x01F0, 0x1E96, 0x1E97, 0x1E98, 0x1E99, 0x1E9A,
    0xFB00, 0xFB01, 0xFB02, 0xFB03, 0xFB04, 0xFB05, 0xFB06,
};
// clang-format on

template<std::size_t N>
QList<QLatin1StringView> toList(const std::array<std::string_view, N> &markers)
{
    QList<QLatin1StringView> list;
    for (std::string_view marker : markers)
        list.append(QLatin1StringView(marker.data(), qsizetype(marker.size())));
    return list;
}

int specialIndex(char16_t c)
{
    const auto *it = std::lower_bound(upperCaseToAscii.begin(), upperCaseToAscii.end(), c);
    return it != upperCaseToAscii.end() && *it == c ? int(it - upperCaseToAscii.begin()) : -1;
}

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// An Aho-Corasick automaton over ASCII with a complete transition table, used only to build the
// combined automaton below. Characters that occur in no pattern are class 0, which leads back to
// the root from every state.
struct Dfa
{
    std::array<quint8, 128> classOf{};
    std::size_t classes = 1;
    std::vector<std::size_t> next;
    std::vector<quint64> out;

    Dfa(const std::vector<std::string_view> &patterns, bool foldCase)
    {
        for (std::string_view pattern : patterns) {
            for (char ch : pattern) {
                const auto c = static_cast<unsigned char>(ch);
                if (classOf[c] == 0) {
                    classOf[c] = quint8(classes++);
                    if (foldCase && isAsciiLetter(c))
                        classOf[c ^ 0x20] = classOf[c];
                }
            }
        }
        std::vector<int> trie(classes, -1);
        out.assign(1, 0);
        for (std::size_t index = 0; index < patterns.size(); ++index) {
            std::size_t state = 0;
            for (char ch : patterns[index]) {
                const std::size_t slot = state * classes + classOf[static_cast<unsigned char>(ch)];
                if (trie[slot] < 0) {
                    trie[slot] = int(out.size());
                    out.push_back(0);
                    trie.resize(trie.size() + classes, -1);
                }
                state = std::size_t(trie[slot]);
            }
            out[state] |= quint64(1) << index;
        }
        next.assign(trie.size(), 0);
        std::vector<std::size_t> fail(out.size(), 0);
        std::queue<std::size_t> queue;
        for (std::size_t c = 0; c < classes; ++c) {
            if (trie[c] > 0) {
                next[c] = std::size_t(trie[c]);
                queue.push(next[c]);
            }
        }
        while (!queue.empty()) {
            const std::size_t state = queue.front();
            queue.pop();
            out[state] |= out[fail[state]];
            for (std::size_t c = 0; c < classes; ++c) {
                const std::size_t viaFail = next[fail[state] * classes + c];
                if (const int child = trie[state * classes + c]; child >= 0) {
                    fail[std::size_t(child)] = viaFail;
                    next[state * classes + c] = std::size_t(child);
                    queue.push(std::size_t(child));
                } else {
                    next[state * classes + c] = viaFail;
                }
            }
        }
    }

    std::size_t step(std::size_t state, char16_t c) const { return c < 0x80 ? next[state * classes + classOf[c]] : 0; }
};

// Both searches in one automaton: the case-sensitive markers over the text and the SQL keywords over
// its upper-cased form (for ASCII the same as matching them in any case). States are row offsets
// into the transition table and states that report something are numbered last, so reading a
// character is one table lookup and one rarely true comparison.
class MarkerAutomaton
{
public:
    std::vector<std::string_view> patterns; // case-sensitive markers, each once
    quint64 swiftMask = 0;
    quint64 pythonMask = 0;
    quint64 javaScriptMask = 0;

    MarkerAutomaton()
    {
        auto add = [this](std::string_view marker) {
            const auto it = std::find(patterns.begin(), patterns.end(), marker);
            if (it != patterns.end())
                return quint64(1) << (it - patterns.begin());
            patterns.push_back(marker);
            return quint64(1) << (patterns.size() - 1);
        };
        for (std::string_view marker : swiftList)
            swiftMask |= add(marker);
        for (std::string_view marker : pythonList)
            pythonMask |= add(marker);
        for (std::string_view marker : javaScriptList)
            javaScriptMask |= add(marker);
        build(Dfa(patterns, false), Dfa(std::vector<std::string_view>(sqlList.begin(), sqlList.end()), true));
    }

    quint32 step(quint32 row, char16_t c) const
    {
        if (Q_LIKELY(c < 0x80))
            return m_next[row + m_classOf[c]];
        // No marker goes on past a non-ASCII character, but ß (SS) or ﬁ (FI) may go on a keyword.
        const int special = specialIndex(c);
        return special < 0 ? 0 : m_special[row / m_classes * upperCaseToAscii.size() + std::size_t(special)];
    }
    bool reports(quint32 row) const { return row >= m_firstReportingRow; }
    quint64 markers(quint32 row) const { return m_markers[row / m_classes]; }
    quint64 keywords(quint32 row) const { return m_keywords[row / m_classes]; }

private:
    void build(const Dfa &markers, const Dfa &keywords)
    {
        // Characters that both automata treat alike share a class.
        std::map<std::pair<int, int>, quint8> classIds{{{0, 0}, 0}};
        std::vector<char16_t> representative{0};
        for (char16_t c = 0; c < 0x80; ++c) {
            const auto key = std::make_pair(int(markers.classOf[c]), int(keywords.classOf[c]));
            const auto [it, added] = classIds.emplace(key, quint8(representative.size()));
            if (added)
                representative.push_back(c);
            m_classOf[c] = it->second;
        }
        m_classes = representative.size();
        // The reachable pairs of states, breadth first from the pair of roots.
        std::vector<std::pair<std::size_t, std::size_t>> pairs{{0, 0}};
        std::map<std::pair<std::size_t, std::size_t>, std::size_t> index{{{0, 0}, 0}};
        std::vector<std::size_t> next;
        std::vector<std::size_t> special;
        auto indexOf = [&](std::pair<std::size_t, std::size_t> pair) {
            const auto [it, added] = index.emplace(pair, pairs.size());
            if (added)
                pairs.push_back(pair);
            return it->second;
        };
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const auto [marker, keyword] = pairs[i];
            for (char16_t c : representative)
                next.push_back(indexOf({markers.step(marker, c), keywords.step(keyword, c)}));
            for (char16_t c : upperCaseToAscii) {
                // Keywords end in a blank, which no upper-case form contains, so none ends inside one.
                std::size_t state = keyword;
                for (QChar u : QString(QChar(c)).toUpper()) {
                    state = keywords.step(state, u.unicode());
                    Q_ASSERT(keywords.out[state] == 0);
                }
                special.push_back(indexOf({0, state}));
            }
        }
        // Renumber so that the root stays first and reporting states come last.
        const std::size_t states = pairs.size();
        std::vector<std::size_t> order;
        for (bool reporting : {false, true}) {
            for (std::size_t i = 0; i < states; ++i) {
                if ((markers.out[pairs[i].first] != 0 || keywords.out[pairs[i].second] != 0) == reporting)
                    order.push_back(i);
            }
        }
        std::vector<std::size_t> rank(states);
        for (std::size_t i = 0; i < states; ++i)
            rank[order[i]] = i;
        Q_ASSERT(states * m_classes <= 0x10000);
        m_next.resize(states * m_classes);
        m_special.resize(states * upperCaseToAscii.size());
        m_markers.resize(states);
        m_keywords.resize(states);
        m_firstReportingRow = quint32(states * m_classes);
        for (std::size_t i = 0; i < states; ++i) {
            const std::size_t old = order[i];
            m_markers[i] = markers.out[pairs[old].first];
            m_keywords[i] = keywords.out[pairs[old].second];
            if ((m_markers[i] | m_keywords[i]) != 0)
                m_firstReportingRow = std::min(m_firstReportingRow, quint32(i * m_classes));
            for (std::size_t c = 0; c < m_classes; ++c)
                m_next[i * m_classes + c] = quint16(rank[next[old * m_classes + c]] * m_classes);
            for (std::size_t k = 0; k < upperCaseToAscii.size(); ++k)
                m_special[i * upperCaseToAscii.size() + k] =
                    quint16(rank[special[old * upperCaseToAscii.size() + k]] * m_classes);
        }
    }

    std::array<quint8, 128> m_classOf{};
    std::size_t m_classes = 1;
    quint32 m_firstReportingRow = 0;
    std::vector<quint16> m_next;
    std::vector<quint16> m_special;
    std::vector<quint64> m_markers;
    std::vector<quint64> m_keywords;
};

const MarkerAutomaton &markerAutomaton()
{
    static const MarkerAutomaton automaton;
    return automaton;
}

constexpr std::size_t laneCount = 4;
constexpr qsizetype parallelThreshold = 4096;

template<std::size_t N>
constexpr std::size_t longest(const std::array<std::string_view, N> &markers)
{
    std::size_t length = 0;
    for (std::string_view marker : markers)
        length = std::max(length, marker.size());
    return length;
}

// Enough characters to bring the automaton into the state it would be in after the whole text.
constexpr qsizetype longestMarker =
    qsizetype(std::max({longest(swiftList), longest(pythonList), longest(javaScriptList), longest(sqlList)}));

// One reader of the text: its state and what it has found so far.
struct Lane
{
    quint32 row = 0;
    quint64 markers = 0;
    quint64 keywords = 0;

    void read(const MarkerAutomaton &automaton, const char16_t *data, qsizetype size)
    {
        for (qsizetype i = 0; i < size; ++i)
            feed(automaton, data[i]);
    }

    void feed(const MarkerAutomaton &automaton, char16_t c)
    {
        row = automaton.step(row, c);
        if (Q_UNLIKELY(automaton.reports(row))) {
            markers |= automaton.markers(row);
            keywords |= automaton.keywords(row);
        }
    }
};

int distinct(quint64 found, quint64 mask)
{
    return std::popcount(found & mask);
}

} // namespace

MarkerScores scoreMarkers(QStringView text, MarkerScan scan)
{
    const MarkerAutomaton &automaton = markerAutomaton();
    const bool stopAtSwift = scan == MarkerScan::StopAtSwift;
    const char16_t *data = text.utf16();
    const qsizetype n = text.size();
    std::array<Lane, laneCount> lanes{};
    auto swiftFound = [&] {
        quint64 found = 0;
        for (const Lane &lane : lanes)
            found |= lane.markers;
        return distinct(found, automaton.swiftMask) >= 2;
    };

    if (n < parallelThreshold) {
        lanes[0].read(automaton, data, n);
    } else {
        // Four slices are read at once, which keeps four independent chains of table lookups in
        // flight. Each slice starts a marker length early: from there on its automaton is in the
        // state it would have reached from the start of the text, and whatever it reports before
        // is a real occurrence all the same.
        std::array<const char16_t *, laneCount> begin{};
        std::array<qsizetype, laneCount> length{};
        const qsizetype slice = n / qsizetype(laneCount);
        for (std::size_t k = 0; k < laneCount; ++k) {
            const qsizetype from = std::max<qsizetype>(0, qsizetype(k) * slice - longestMarker);
            const qsizetype to = k + 1 == laneCount ? n : qsizetype(k + 1) * slice;
            begin[k] = data + from;
            length[k] = to - from;
        }
        const qsizetype common = *std::min_element(length.begin(), length.end());
        constexpr qsizetype block = 0x10000;
        for (qsizetype at = 0; at < common; at += block) {
            const qsizetype end = std::min(common, at + block);
            for (qsizetype i = at; i < end; ++i) {
                lanes[0].feed(automaton, begin[0][i]);
                lanes[1].feed(automaton, begin[1][i]);
                lanes[2].feed(automaton, begin[2][i]);
                lanes[3].feed(automaton, begin[3][i]);
            }
            if (stopAtSwift && swiftFound())
                break;
        }
        if (!(stopAtSwift && swiftFound())) {
            for (std::size_t k = 0; k < laneCount; ++k)
                lanes[k].read(automaton, begin[k] + common, length[k] - common);
        }
    }
    quint64 markers = 0;
    quint64 keywords = 0;
    for (const Lane &lane : lanes) {
        markers |= lane.markers;
        keywords |= lane.keywords;
    }
    MarkerScores scores;
    scores.swift = distinct(markers, automaton.swiftMask);
    scores.python = distinct(markers, automaton.pythonMask);
    scores.javascript = distinct(markers, automaton.javaScriptMask);
    scores.sql = std::popcount(keywords);
    return scores;
}

QList<QLatin1StringView> swiftMarkers()
{
    return toList(swiftList);
}

QList<QLatin1StringView> pythonMarkers()
{
    return toList(pythonList);
}

QList<QLatin1StringView> javaScriptMarkers()
{
    return toList(javaScriptList);
}

QList<QLatin1StringView> sqlKeywords()
{
    return toList(sqlList);
}

bool upperCaseContainsAscii(char32_t c)
{
    return c < 0x10000 && specialIndex(char16_t(c)) >= 0;
}

} // namespace Vexilo::ContentDetector::Detail
