// cellwright-gen --stats: its fixed-size accumulator against the exact figures of sorted times.
#include "TimeStats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

// The figure the tool printed when it kept every time: the item of rank round(q * (n - 1)).
double ExactQuantile(std::vector<std::uint64_t> v, double q) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return static_cast<double>(v[std::min(n - 1, static_cast<size_t>(q * static_cast<double>(n - 1) + 0.5))]);
}

TEST(TimeStats, FiguresAgreeWithSortedTimesWithinTheStatedPrecision) {
    std::mt19937_64 random(7);
    // A few fast items, most around 100 us, a heavy tail up to a second (log-uniform in parts).
    std::lognormal_distribution<double> body(std::log(100e3), 0.6);
    std::uniform_real_distribution<double> tail(std::log(1e6), std::log(1e9));
    for (size_t n : {1u, 2u, 3u, 10u, 1000u, 200000u}) {
        SCOPED_TRACE(n);
        auto stats = std::make_unique<CTimeStats>();
        std::vector<std::uint64_t> times;
        double total = 0;
        for (size_t i = 0; i < n; ++i) {
            const double x = i % 50 == 49 ? std::exp(tail(random)) : body(random);
            const auto t = static_cast<std::uint64_t>(x);
            times.push_back(t);
            total += static_cast<double>(t);
            stats->Add(t);
        }
        EXPECT_EQ(stats->Count(), static_cast<long long>(n));
        EXPECT_DOUBLE_EQ(stats->MeanNanos(), total / static_cast<double>(n));
        EXPECT_EQ(stats->MaxNanos(), *std::max_element(times.begin(), times.end()));
        for (double q : {0.0, 0.5, 0.9, 0.99, 0.999, 1.0}) {
            const double exact = ExactQuantile(times, q);
            EXPECT_NEAR(stats->QuantileNanos(q), exact, exact * CTimeStats::kQuantilePrecision) << "q " << q;
        }
    }
}

TEST(TimeStats, EdgesOfTheRange) {
    auto stats = std::make_unique<CTimeStats>();
    EXPECT_EQ(stats->Count(), 0);
    EXPECT_EQ(stats->QuantileNanos(0.5), 0.0);
    EXPECT_EQ(stats->MeanNanos(), 0.0);

    for (std::uint64_t t : {5u, 7u, 127u}) { // exact below 128 ns
        stats->Add(t);
    }
    EXPECT_EQ(stats->QuantileNanos(0.0), 5.0);
    EXPECT_EQ(stats->QuantileNanos(0.5), 7.0);
    EXPECT_EQ(stats->QuantileNanos(1.0), 127.0);

    const std::uint64_t huge = ~std::uint64_t{0} - 5; // the top octave
    stats->Add(huge);
    stats->Add(huge);
    EXPECT_EQ(stats->MaxNanos(), huge);
    EXPECT_NEAR(stats->QuantileNanos(1.0), static_cast<double>(huge), static_cast<double>(huge) * 0.004);
    // However many items: the histogram is all there is.
    EXPECT_LT(sizeof(CTimeStats), 128u * 1024u);
}

} // namespace
