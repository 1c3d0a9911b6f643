// Independent checks for the core tests: grid validity, a small exhaustive solution counter and a
// single-candidate solver. Written apart from the core on purpose, so that they can catch its faults.
#pragma once

#include <array>

namespace sudoku_check {

using Board = std::array<int, 81>;

inline int BoxOf(int s) {
    return (s / 27) * 3 + (s % 9) / 3;
}

// Every row, column and box holds 1..9 exactly once.
inline bool IsValidSolution(const Board& g) {
    for (int k = 0; k < 9; ++k) {
        int row = 0, col = 0, box = 0;
        for (int i = 0; i < 9; ++i) {
            const int rv = g[k * 9 + i], cv = g[i * 9 + k];
            const int bv = g[((k / 3) * 3 + i / 3) * 9 + (k % 3) * 3 + i % 3];
            if (rv < 1 || rv > 9 || cv < 1 || cv > 9 || bv < 1 || bv > 9) {
                return false;
            }
            row |= 1 << rv;
            col |= 1 << cv;
            box |= 1 << bv;
        }
        if (row != 0x3FE || col != 0x3FE || box != 0x3FE) {
            return false;
        }
    }
    return true;
}

// Numerals not yet used in the row, column and box of s.
inline int Allowed(const Board& g, int s) {
    int used = 0;
    for (int t = 0; t < 81; ++t) {
        if (g[t] != 0 && (t / 9 == s / 9 || t % 9 == s % 9 || BoxOf(t) == BoxOf(s))) {
            used |= 1 << g[t];
        }
    }
    return 0x3FE & ~used;
}

// Number of solutions, counting no further than `limit`.
inline int CountSolutions(Board& g, int limit = 2) {
    int best = -1, bestMask = 0, bestCount = 10;
    for (int s = 0; s < 81; ++s) {
        if (g[s] != 0) {
            continue;
        }
        const int m = Allowed(g, s);
        const int n = __builtin_popcount(static_cast<unsigned>(m));
        if (n < bestCount) {
            best = s;
            bestMask = m;
            bestCount = n;
        }
        if (n == 0) {
            return 0;
        }
    }
    if (best < 0) {
        return 1;
    }
    int found = 0;
    for (int v = 1; v <= 9 && found < limit; ++v) {
        if (bestMask & (1 << v)) {
            g[best] = v;
            found += CountSolutions(g, limit - found);
        }
    }
    g[best] = 0;
    return found;
}

// Fills squares by naked and hidden singles (rows, columns, boxes) until stuck; true when full.
inline bool SolveBySingles(Board& g) {
    for (bool progress = true; progress;) {
        progress = false;
        for (int s = 0; s < 81; ++s) {
            if (g[s] == 0) {
                const int m = Allowed(g, s);
                if (__builtin_popcount(static_cast<unsigned>(m)) == 1) {
                    g[s] = __builtin_ctz(static_cast<unsigned>(m));
                    progress = true;
                }
            }
        }
        for (int unit = 0; unit < 27; ++unit) {
            for (int v = 1; v <= 9; ++v) {
                int where = -1, places = 0;
                bool present = false;
                for (int i = 0; i < 9; ++i) {
                    const int s = unit < 9 ? unit * 9 + i
                                  : unit < 18
                                      ? i * 9 + (unit - 9)
                                      : (((unit - 18) / 3) * 3 + i / 3) * 9 + ((unit - 18) % 3) * 3 + i % 3;
                    if (g[s] == v) {
                        present = true;
                    } else if (g[s] == 0 && (Allowed(g, s) & (1 << v))) {
                        where = s;
                        ++places;
                    }
                }
                if (!present && places == 1) {
                    g[where] = v;
                    progress = true;
                }
            }
        }
    }
    for (int v : g) {
        if (v == 0) {
            return false;
        }
    }
    return true;
}

} // namespace sudoku_check
