// Per-item times in fixed memory, however many items there are: count, mean and maximum exactly;
// quantiles from a histogram whose buckets are 1/128 of an octave wide, reported at the middle of
// their bucket, so within kQuantilePrecision of the time of the item at that rank (exact below
// 128 ns).
#pragma once

#include <algorithm>
#include <cstdint>

class CTimeStats {
  public:
    static constexpr double kQuantilePrecision = 0.004; // half a bucket: 1/256 of its lower edge

    void Add(std::uint64_t nanos) {
        ++m_buckets[BucketOf(nanos)];
        m_count += 1;
        m_total += static_cast<double>(nanos);
        m_min = m_count == 1 ? nanos : std::min(m_min, nanos);
        m_max = std::max(m_max, nanos);
    }

    long long Count() const { return m_count; }
    double MeanNanos() const { return m_count == 0 ? 0.0 : m_total / static_cast<double>(m_count); }
    std::uint64_t MaxNanos() const { return m_max; }

    // The time of the item of rank round(q * (count - 1)) in ascending order (0 with no items).
    double QuantileNanos(double q) const {
        if (m_count == 0) {
            return 0.0;
        }
        const double last = static_cast<double>(m_count - 1);
        const long long rank = std::min(m_count - 1, static_cast<long long>(q * last + 0.5));
        long long seen = 0;
        for (int b = 0; b < kBuckets; ++b) {
            seen += m_buckets[b];
            if (seen > rank) {
                const double lower = static_cast<double>(LowerEdge(b));
                const double mid = b < kSub ? lower : (lower + static_cast<double>(LowerEdge(b + 1))) / 2;
                return std::clamp(mid, static_cast<double>(m_min), static_cast<double>(m_max));
            }
        }
        return static_cast<double>(m_max);
    }

  private:
    // Below 128 ns one bucket per nanosecond; above, each octave [2^e, 2^(e+1)) in 128 buckets.
    static constexpr int kSub = 128;
    static constexpr int kOctaves = 64 - 7;
    static constexpr int kBuckets = kSub + kOctaves * kSub;

    static int BucketOf(std::uint64_t nanos) {
        if (nanos < kSub) {
            return static_cast<int>(nanos);
        }
        const int e = 63 - __builtin_clzll(nanos); // 7..63
        const int sub = static_cast<int>((nanos >> (e - 7)) & (kSub - 1));
        return kSub + (e - 7) * kSub + sub;
    }
    static std::uint64_t LowerEdge(int b) {
        if (b < kSub) {
            return static_cast<std::uint64_t>(b);
        }
        const int e = (b - kSub) / kSub + 7;
        const std::uint64_t sub = static_cast<std::uint64_t>((b - kSub) % kSub);
        return e >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << e) + (sub << (e - 7));
    }

    long long m_buckets[kBuckets] = {};
    long long m_count = 0;
    double m_total = 0;
    std::uint64_t m_min = 0;
    std::uint64_t m_max = 0;
};
