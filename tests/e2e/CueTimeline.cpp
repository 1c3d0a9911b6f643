#include "CueTimeline.h"

#include <algorithm>
#include <cmath>

#include "platform/Afx.h"

int CSignal::Index(double seconds) const {
    const long i = std::lround(seconds * rate);
    return static_cast<int>(std::clamp<long>(i, 0, static_cast<long>(samples.size())));
}

CSignal CueAsHeard(int id, int rate) {
    CSignal cue;
    CWave wave;
    if (!AfxLoadWave(id, &wave)) {
        return cue;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(wave.pcm.constData());
    auto sample = [&](int frame, int channel) {
        const int i = frame * wave.channels + channel;
        return wave.bits == 8 ? (bytes[i] - 128) / 128.0
                              : static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8) / 32768.0;
    };
    std::vector<double> mono(static_cast<size_t>(wave.Frames()));
    for (int f = 0; f < wave.Frames(); ++f) {
        for (int ch = 0; ch < wave.channels; ++ch) {
            mono[f] += sample(f, ch) / wave.channels;
        }
    }
    // Linear interpolation is close enough to the server's resampler for these low-pitched cues.
    cue.rate = rate;
    const size_t n = mono.empty() ? 0 : static_cast<size_t>(double(mono.size()) * rate / wave.rate);
    cue.samples.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const double at = double(i) * wave.rate / rate;
        const size_t k = static_cast<size_t>(at);
        const double next = k + 1 < mono.size() ? mono[k + 1] : 0.0;
        cue.samples[i] = static_cast<float>(mono[k] + (next - mono[k]) * (at - double(k)));
    }
    return cue;
}

CCueMatch FindCue(const CSignal& recording, const CSignal& cue, double opening, double from, double to) {
    CCueMatch best;
    const int length = std::min(cue.Index(opening), static_cast<int>(cue.samples.size()));
    double cueEnergy = 0;
    for (int i = 0; i < length; ++i) {
        cueEnergy += double(cue.samples[i]) * cue.samples[i];
    }
    const int first = recording.Index(from);
    const int last = std::min(recording.Index(to), static_cast<int>(recording.samples.size()) - length);
    if (length == 0 || cueEnergy <= 0 || first >= last) {
        return best;
    }
    // The recording's energy under the window, slid along.
    double windowEnergy = 0;
    for (int i = 0; i < length; ++i) {
        windowEnergy += double(recording.samples[first + i]) * recording.samples[first + i];
    }
    for (int at = first; at < last; ++at) {
        if (at > first) {
            const double out = recording.samples[at - 1], in = recording.samples[at + length - 1];
            windowEnergy = std::max(0.0, windowEnergy - out * out + in * in);
        }
        if (windowEnergy < 1e-9) {
            continue;
        }
        double dot = 0;
        for (int i = 0; i < length; ++i) {
            dot += double(recording.samples[at + i]) * cue.samples[i];
        }
        const double match = dot / std::sqrt(windowEnergy * cueEnergy);
        if (match > best.match) {
            best = {double(at) / recording.rate, match};
        }
    }
    return best;
}

double FindSwitch(const CSignal& recording, const CSignal& before, double beforeOnset, const CSignal& after,
                  double from, double to) {
    const auto& r = recording.samples;
    const int n = static_cast<int>(r.size());
    const int start = recording.Index(beforeOnset);
    const int window = std::min(static_cast<int>(after.samples.size()), recording.rate * 3 / 10);
    // err[i]: squared error of `before` alone up to sample i, summed from its onset.
    std::vector<double> err(static_cast<size_t>(n) + 1, 0.0), energy(static_cast<size_t>(n) + 1, 0.0);
    for (int i = 0; i < n; ++i) {
        const int k = i - start;
        const double expected =
            k >= 0 && k < static_cast<int>(before.samples.size()) ? before.samples[k] : 0.0;
        err[i + 1] = err[i] + (i >= start ? (r[i] - expected) * (r[i] - expected) : 0.0);
        energy[i + 1] = energy[i] + double(r[i]) * r[i];
    }
    double afterEnergy = 0;
    for (int i = 0; i < window; ++i) {
        afterEnergy += double(after.samples[i]) * after.samples[i];
    }
    double best = -1, bestError = 0;
    for (int at = std::max(recording.Index(from), start); at < std::min(recording.Index(to), n - window);
         ++at) {
        double dot = 0;
        for (int i = 0; i < window; ++i) {
            dot += double(r[at + i]) * after.samples[i];
        }
        const double error =
            (err[at] - err[start]) + (energy[at + window] - energy[at]) - 2 * dot + afterEnergy;
        if (best < 0 || error < bestError) {
            best = double(at) / recording.rate;
            bestError = error;
        }
    }
    return best;
}

double Unexplained(const CSignal& recording, const CSignal& cue, double onset, double from, double to) {
    const int start = recording.Index(onset);
    auto cueAt = [&](int i) {
        const int k = i - start;
        return k >= 0 && k < static_cast<int>(cue.samples.size()) ? double(cue.samples[k]) : 0.0;
    };
    // The cue at its own level, shifted by part of a sample through its slope: r ~ c + b * c'.
    double rr = 0, cc = 0, dd = 0, ed = 0;
    const int first = recording.Index(from), last = recording.Index(to);
    for (int i = first; i < last; ++i) {
        const double r = recording.samples[i], c = cueAt(i), d = (cueAt(i + 1) - cueAt(i - 1)) / 2;
        rr += r * r;
        cc += c * c;
        dd += d * d;
        ed += (r - c) * d;
    }
    const double b = dd > 0 ? ed / dd : 0.0;
    double residual = 0;
    for (int i = first; i < last; ++i) {
        const double e = recording.samples[i] - cueAt(i) - b * (cueAt(i + 1) - cueAt(i - 1)) / 2;
        residual += e * e;
    }
    const double scale = std::max(rr, cc);
    return scale > 0 ? residual / scale : 0.0;
}

double Loudness(const CSignal& recording, double from, double to) {
    const int first = recording.Index(from), last = recording.Index(to);
    double sum = 0;
    for (int i = first; i < last; ++i) {
        sum += double(recording.samples[i]) * recording.samples[i];
    }
    return last > first ? std::sqrt(sum / (last - first)) : 0.0;
}

namespace {

// Calls f(start, loudness) for the 10 ms windows from `from` on, half a window apart, until it
// returns true.
template <typename F> void ForEachWindow(const CSignal& recording, double from, F f) {
    const int window = recording.rate / 100;
    for (int at = recording.Index(from); at + window <= static_cast<int>(recording.samples.size());
         at += window / 2) {
        const double start = double(at) / recording.rate;
        if (f(start, Loudness(recording, start, double(at + window) / recording.rate))) {
            return;
        }
    }
}

} // namespace

double FirstSound(const CSignal& recording, double from, double level) {
    double first = -1;
    ForEachWindow(recording, from, [&](double start, double loudness) {
        first = loudness > level ? start : -1;
        return first >= 0;
    });
    return first;
}

double Loudest(const CSignal& recording, double from) {
    double loudest = 0;
    ForEachWindow(recording, from, [&](double, double loudness) {
        loudest = std::max(loudest, loudness);
        return false;
    });
    return loudest;
}
