#pragma once
// A piece of work and its reference measured in turns, so that a busy spell of a shared machine
// weighs on both alike; the figure that counts is the ratio of their medians.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace bench {

inline double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Milliseconds of wall time of one call.
inline double millisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Runs every work once per turn, in the order given, for `turns` turns; gives each one's times.
inline std::vector<std::vector<double>> interleavedRuns(
    int turns, const std::vector<std::function<void()>>& works) {
    std::vector<std::vector<double>> times(works.size());
    for (int turn = 0; turn < turns; ++turn) {
        for (std::size_t i = 0; i < works.size(); ++i) {
            times[i].push_back(millisecondsOf(works[i]));
        }
    }
    return times;
}

// The closing line of a goal: "<work> / <reference>  N.NNx".
inline void printGoal(const std::string& work, const std::string& reference, double ratio) {
    std::printf("%s / %s  %.2fx\n", work.c_str(), reference.c_str(), ratio);
}

}  // namespace bench
