// The logic solver behind the puzzle set-up: single-candidate propagation on a candidate grid with
// row and column tallies, trial placements on a branch stack, and a search for a second solution.
#include "GameCore.h"

#include <cstdint>
#include <cstring>

namespace {

// Recorded deductions are kept as bits per square (kind 1 in bits 0..9, kind 2 in bits 16..25),
// so "already recorded?" is one test instead of a search of the history.
int RecordBit(int v, int kind) {
    return 1 << (v + (kind == 2 ? 16 : 0));
}

// A set of the 81 squares (or of 81 box-order positions) that can be walked in ascending order
// while it changes.
struct SquareSet {
    std::uint64_t word[2] = {0, 0};
    void Put(int i, bool on) {
        const std::uint64_t bit = std::uint64_t{1} << (i & 63);
        if (on) {
            word[i >> 6] |= bit;
        } else {
            word[i >> 6] &= ~bit;
        }
    }
    bool Has(int i) const { return (word[i >> 6] >> (i & 63)) & 1; }
    SquareSet operator&(const SquareSet& o) const {
        SquareSet x;
        x.word[0] = word[0] & o.word[0];
        x.word[1] = word[1] & o.word[1];
        return x;
    }
    SquareSet Without(const SquareSet& o) const {
        SquareSet x;
        x.word[0] = word[0] & ~o.word[0];
        x.word[1] = word[1] & ~o.word[1];
        return x;
    }
    // Calls fn(i) for every member, ascending.
    template <typename Fn> void ForEach(Fn fn) const {
        for (int w = 0; w < 2; ++w) {
            for (std::uint64_t bits = word[w]; bits != 0; bits &= bits - 1) {
                fn(w * 64 + __builtin_ctzll(bits));
            }
        }
    }
    // The first member at or after `from`, or -1.
    int Next(int from) const {
        for (int w = from >> 6; w < 2; ++w) {
            std::uint64_t bits = word[w];
            if (w == from >> 6) {
                bits &= ~std::uint64_t{0} << (from & 63);
            }
            if (bits != 0) {
                return w * 64 + __builtin_ctzll(bits);
            }
        }
        return -1;
    }
};

struct Tables {
    int square[81]; // box-order position -> square
    int position[81];
    SquareSet row[9];
    SquareSet col[9];
    SquareSet box[9];
    Tables() {
        for (int b = 0; b < 9; ++b) {
            for (int i = 0; i < 9; ++i) {
                const int s = ((b / 3) * 3 + i / 3) * 9 + (b % 3) * 3 + i % 3;
                square[b * 9 + i] = s;
                position[s] = b * 9 + i;
                box[b].Put(s, true);
                row[b].Put(b * 9 + i, true);
                col[b].Put(i * 9 + b, true);
            }
        }
    }
};
const Tables kTables;

} // namespace

// Single-candidate propagation. The candidate grid rules are followed one for one, but the work runs
// on bit masks and the result is written to m_cand at the end. Between the rule steps only the
// squares and (row, numeral) / (column, numeral) pairs that can still fire are visited: a square's
// count always equals its number of candidates and candidates are only ever removed, so a square
// recorded once with a kind can never fire again with that kind, and a square with two or more
// candidates has no record of kind 1.
void CGameCore::Propagate() {
    SettleSolverState();
    int mask[81];
    int count[81];
    int rowTally[9][10] = {};
    int colTally[9][10] = {};
    for (int s = 0; s < 81; ++s) {
        const int* poss = m_squares[s].possibles;
        int m = 0;
        int n = 0;
        for (int p = 0; p < 9 && poss[p] != 0; ++p) {
            const int v = poss[p];
            m |= 1 << v;
            rowTally[s / 9][v] += 1;
            colTally[s % 9][v] += 1;
            n += 1;
        }
        mask[s] = m;
        count[s] = n;
    }
    RunPropagation(mask, count, rowTally, colTally, nullptr);
    CandMask result[81];
    for (int s = 0; s < kSquareCount; ++s) {
        result[s] = static_cast<CandMask>(mask[s]);
    }
    WriteCandidateGrid(result);
}

int CGameCore::RunPropagation(int mask[81], int count[81], int rowTally[9][10], int colTally[9][10],
                              const int* stopWhenEmptied) {
    if (stopWhenEmptied != nullptr) {
        for (int s = 0; s < 81; ++s) {
            if (stopWhenEmptied[s] != 0 && count[s] == 0) {
                return 1;
            }
        }
    }
    bool stopped = false;
    int rowOne[9] = {}; // numerals whose row tally is 1
    int colOne[9] = {};
    int recorded[81] = {};
    SquareSet nakedReady;  // count 1, no kind-1 record yet (row order)
    SquareSet boxReady;    // count 1, no kind-2 record yet (box order)
    SquareSet holders[10]; // squares that have numeral v as a candidate
    // Rows and columns changed since their hidden-single scan last found nothing to do.
    bool rowDirty[9] = {true, true, true, true, true, true, true, true, true};
    bool colDirty[9] = {true, true, true, true, true, true, true, true, true};

    auto refresh = [&](int s) {
        const bool single = count[s] == 1;
        nakedReady.Put(s, single && (mask[s] & ~recorded[s] & 0x3FE) != 0);
        boxReady.Put(kTables.position[s], single && (mask[s] & ~(recorded[s] >> 16) & 0x3FE) != 0);
    };
    auto setRowTally = [&](int r, int v, int n) {
        rowTally[r][v] = n;
        rowOne[r] = n == 1 ? rowOne[r] | (1 << v) : rowOne[r] & ~(1 << v);
    };
    auto setColTally = [&](int c, int v, int n) {
        colTally[c][v] = n;
        colOne[c] = n == 1 ? colOne[c] | (1 << v) : colOne[c] & ~(1 << v);
    };

    // Nothing is recorded yet: a square is ready for both kinds when it has a single candidate.
    for (int s = 0; s < 81; ++s) {
        for (int bits = mask[s] & 0x3FE; bits != 0; bits &= bits - 1) {
            holders[__builtin_ctz(static_cast<unsigned>(bits))].Put(s, true);
        }
        if (count[s] == 1 && (mask[s] & 0x3FE) != 0) {
            nakedReady.Put(s, true);
            boxReady.Put(kTables.position[s], true);
        }
    }
    for (int k = 0; k < 9; ++k) {
        for (int v = 1; v <= 9; ++v) {
            rowOne[k] |= rowTally[k][v] == 1 ? 1 << v : 0;
            colOne[k] |= colTally[k][v] == 1 ? 1 << v : 0;
        }
    }
    m_histCount = 0;
    m_histMark = 99;

    // The history is bounded; a deduction that cannot be recorded is not applied, which ends the
    // propagation (each square is recorded at most once per kind, so this is never reached).
    auto record = [&](int s, int v, int kind) {
        if (m_histCount >= kHistoryCapacity) {
            return false;
        }
        m_history[m_histCount++] = DeductionRecord{s / 9, s % 9, v, kind};
        recorded[s] |= RecordBit(v, kind);
        refresh(s);
        return true;
    };
    // Remove v from square (r, c) if it is a candidate there, keeping count and tallies.
    auto drop = [&](int r, int c, int v) {
        const int s = r * 9 + c;
        if (mask[s] & (1 << v)) {
            mask[s] &= ~(1 << v);
            holders[v].Put(s, false);
            rowDirty[r] = true;
            colDirty[c] = true;
            // Membership of the ready sets and of rowOne/colOne can only change at 1 or 0.
            if (--count[s] <= 1) {
                refresh(s);
                stopped = stopped || (count[s] == 0 && stopWhenEmptied != nullptr && stopWhenEmptied[s] != 0);
            }
            if (--rowTally[r][v] <= 1) {
                setRowTally(r, v, rowTally[r][v]);
            }
            if (--colTally[c][v] <= 1) {
                setColTally(c, v, colTally[c][v]);
            }
        }
    };
    // Remove v from every square of `area` except s.
    auto dropIn = [&](const SquareSet& area, int s, int v) {
        SquareSet hit = holders[v] & area;
        hit.Put(s, false);
        hit.ForEach([&](int x) { drop(x / 9, x % 9, v); });
    };
    // First candidate of square s that is not yet recorded with this kind, or 0.
    auto firstUnrecorded = [&](int s, int kind) {
        const int open = mask[s] & ~(recorded[s] >> (kind == 2 ? 16 : 0)) & 0x3FE;
        return open == 0 ? 0 : __builtin_ctz(static_cast<unsigned>(open));
    };
    // Keep a single v in square s: every other candidate goes, the count becomes 1.
    auto keepOnly = [&](int s, int v) {
        for (int others = mask[s] & ~(1 << v); others != 0; others &= others - 1) {
            drop(s / 9, s % 9, __builtin_ctz(static_cast<unsigned>(others)));
        }
        count[s] = 1;
        refresh(s);
    };
    // Numerals held by some square with two or more candidates, in row r / column c.
    auto multiInRow = [&](int r) {
        int bits = 0;
        for (int c = 0; c < 9; ++c) {
            bits |= count[r * 9 + c] >= 2 ? mask[r * 9 + c] : 0;
        }
        return bits;
    };
    auto multiInCol = [&](int c) {
        int bits = 0;
        for (int r = 0; r < 9; ++r) {
            bits |= count[r * 9 + c] >= 2 ? mask[r * 9 + c] : 0;
        }
        return bits;
    };

    while (!stopped && m_histCount != m_histMark) {
        m_histMark = m_histCount;

        // Naked singles, in row order; a square that becomes single later in the pass is taken too.
        for (int s = nakedReady.Next(0); s >= 0 && !stopped; s = s + 1 < 81 ? nakedReady.Next(s + 1) : -1) {
            const int r = s / 9;
            const int c = s % 9;
            const int v = firstUnrecorded(s, 1);
            if (v == 0 || !record(s, v, 1)) {
                continue;
            }
            dropIn(kTables.row[r], s, v);
            setRowTally(r, v, 1);
            dropIn(kTables.col[c], s, v);
            setColTally(c, v, 1);
        }

        // Hidden singles in rows: a numeral with row tally 1 whose square still has other candidates.
        for (int r = 0; r < 9 && !stopped; ++r) {
            if (!rowDirty[r]) {
                continue;
            }
            for (int v = 0; !stopped;) {
                const int hits = rowOne[r] & multiInRow(r) & ~((2 << v) - 1);
                if (hits == 0) {
                    break;
                }
                v = __builtin_ctz(static_cast<unsigned>(hits));
                int c = 0;
                while ((mask[r * 9 + c] & (1 << v)) == 0 || count[r * 9 + c] < 2) {
                    ++c;
                }
                if (record(r * 9 + c, v, 1)) {
                    keepOnly(r * 9 + c, v);
                    dropIn(kTables.col[c], r * 9 + c, v);
                    setColTally(c, v, 1);
                }
            }
            rowDirty[r] = (rowOne[r] & multiInRow(r)) != 0;
        }

        // Hidden singles in columns.
        for (int c = 0; c < 9 && !stopped; ++c) {
            if (!colDirty[c]) {
                continue;
            }
            for (int v = 0; !stopped;) {
                const int hits = colOne[c] & multiInCol(c) & ~((2 << v) - 1);
                if (hits == 0) {
                    break;
                }
                v = __builtin_ctz(static_cast<unsigned>(hits));
                int r = 0;
                while ((mask[r * 9 + c] & (1 << v)) == 0 || count[r * 9 + c] < 2) {
                    ++r;
                }
                if (record(r * 9 + c, v, 1)) {
                    keepOnly(r * 9 + c, v);
                    dropIn(kTables.row[r], r * 9 + c, v);
                    setRowTally(r, v, 1);
                }
            }
            colDirty[c] = (colOne[c] & multiInCol(c)) != 0;
        }

        // Singles applied to their boxes, boxes in order and their squares row by row.
        for (int pos = boxReady.Next(0); pos >= 0 && !stopped;
             pos = pos + 1 < 81 ? boxReady.Next(pos + 1) : -1) {
            const int s = kTables.square[pos];
            const int r = s / 9;
            const int c = s % 9;
            const int v = firstUnrecorded(s, 2);
            if (v == 0 || !record(s, v, 2)) {
                continue;
            }
            // Squares holding v have candidates, so "still has candidates" needs no extra test.
            dropIn(kTables.box[(r / 3) * 3 + c / 3].Without(kTables.row[r]).Without(kTables.col[c]), s, v);
        }
    }

    return stopped ? 1 : 0;
}

// The candidate grid of a propagated state: counts, candidates, and the row and column tallies,
// which the propagation keeps equal to the number of squares holding each candidate.
void CGameCore::WriteCandidateGrid(const CandMask mask[81]) {
    std::memset(m_cand, 0, sizeof m_cand);
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            int* cell = m_cand[r][c];
            const int m = mask[r * 9 + c];
            cell[0] = CandCount(static_cast<CandMask>(m));
            for (int v = 1; v <= 9; ++v) {
                const int has = (m >> v) & 1;
                cell[v] = has * v;
                m_cand[r][9][v] += has;
                m_cand[9][c][v] += has;
            }
        }
    }
}

void CGameCore::WriteBackPossibles() {
    SettleSolverState();
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            int* poss = m_squares[r * 9 + c].possibles;
            for (int p = 0; p < 9; ++p) {
                poss[p] = 0;
            }
            if (m_cand[r][c][0] > 0) {
                int out = 0;
                for (int v = 1; v <= 9; ++v) {
                    if (m_cand[r][c][v] != 0) {
                        poss[out++] = v;
                    }
                }
            }
        }
    }
}

int CGameCore::CheckState() {
    if (m_solverPending == kStateNotSolved || m_solverPending == kStateUnknown) {
        ResolveSolverState();
    }
    if (m_solverPending == kStateContradiction) {
        m_solved = 0;
        return 1;
    }
    if (m_solverPending == kStateKept) {
        const TrialFrame& kept = m_trialStates.Top();
        m_solved = kept.solved;
        return kept.contradiction;
    }
    m_solved = 0;
    bool allSettled = true;
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            if (m_squares[r * 9 + c].value > 0 || m_grid[r][c] > 0 || m_cand[r][c][0] == 1) {
                continue;
            }
            if (m_cand[r][c][0] == 0) {
                return 1;
            }
            allSettled = false;
        }
    }
    if (allSettled) {
        m_solved = 1;
    }
    return 0;
}

// CheckState's m_solved without its answer. A clue removal needs no more than this, and a state
// known not to be solved then needs no settling.
void CGameCore::NoteSolved() {
    if (m_solverPending == kStateContradiction || m_solverPending == kStateNotSolved) {
        m_solved = 0;
        return;
    }
    CheckState();
}

void CGameCore::SaveState(int slot) {
    if (slot != 0) {
        return;
    }
    SettleSolverState();
    std::memcpy(m_savedState.cand, m_cand, sizeof m_cand);
    std::memcpy(m_savedState.squares, m_squares, sizeof m_squares);
}

void CGameCore::RestoreState(int slot) {
    if (slot != 0) {
        return;
    }
    std::memcpy(m_cand, m_savedState.cand, sizeof m_cand);
    std::memcpy(m_squares, m_savedState.squares, sizeof m_squares);
    m_solverPending = kStateWritten;
    m_trialKeyCurrent = false;
}

// The full rebuild: the possibles the refresh would give each paid square (the numerals its row,
// column and box leave), the stored ones of the others, then propagation. With
// stopAtContradiction it answers 1 as soon as an empty square has no candidate left (CheckState's
// contradiction); otherwise out holds the result and it answers 0.
int CGameCore::FullRebuildMasks(CandMask out[81], bool stopAtContradiction) {
    HouseNumerals houses;
    for (int s = 0; s < kSquareCount; ++s) {
        houses.Add(s / 9, s % 9, m_squares[s].value, m_grid[s / 9][s % 9]);
    }
    int mask[81];
    int count[81];
    int emptied[81];
    int rowTally[9][10] = {};
    int colTally[9][10] = {};
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            const int s = r * 9 + c;
            const SquareRecord& sq = m_squares[s];
            const bool empty = sq.value <= 0 && m_grid[r][c] <= 0;
            int m = 0;
            int n = 0;
            if (sq.possiblesPaid > 0) {
                if (empty) {
                    m = ~houses.Used(r, c) & 0x3FE;
                    for (int bits = m; bits != 0; bits &= bits - 1) {
                        const int v = __builtin_ctz(static_cast<unsigned>(bits));
                        rowTally[r][v] += 1;
                        colTally[c][v] += 1;
                        n += 1;
                    }
                }
            } else {
                // Entry by entry, as the propagation reads a stored list.
                const int* poss = sq.possibles;
                for (int p = 0; p < 9 && poss[p] != 0; ++p) {
                    m |= 1 << poss[p];
                    rowTally[r][poss[p]] += 1;
                    colTally[c][poss[p]] += 1;
                    n += 1;
                }
            }
            mask[s] = m;
            count[s] = n;
            emptied[s] = empty ? 1 : 0;
        }
    }
    if (RunPropagation(mask, count, rowTally, colTally, stopAtContradiction ? emptied : nullptr) != 0) {
        return 1;
    }
    for (int s = 0; s < kSquareCount; ++s) {
        out[s] = static_cast<CandMask>(mask[s]);
    }
    return 0;
}

// What the refresh of the paid squares, Propagate and WriteBackPossibles would write.
void CGameCore::FullRebuild() {
    CandMask mask[81];
    FullRebuildMasks(mask, false);
    m_solverPending = kStateWritten;
    WriteCandidateGrid(mask);
    WriteBackPossibles();
}

bool CGameCore::BuildTrialKey(TrialKey& key) const {
    bool usable = true;
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
            const SquareRecord& sq = m_squares[r * 9 + c];
            const unsigned value = static_cast<unsigned>(sq.value);
            const unsigned grid = static_cast<unsigned>(m_grid[r][c]);
            const bool paid = sq.possiblesPaid > 0;
            usable = usable && value <= 9 && grid <= 9 && (paid || sq.possibles[0] == 0);
            key.square[r * 9 + c] = static_cast<std::uint16_t>(value | grid << 4 | (paid ? 0x100u : 0u));
        }
    }
    key.square[81] = key.square[82] = key.square[83] = 0;
    return usable;
}

// Recomputing the solver state: "refresh the paid squares, Propagate, WriteBackPossibles". During
// the set-up the trial search asks for the same states again and again (every candidate tried at
// a level starts from the level's state) and for states one placement away from a kept one; those
// come from m_trialStates, and a state is written out only when something reads it.
void CGameCore::RecomputeSolverState(int changedSquare) {
    m_pendingSquare = -1;
    if (m_solverDeferred == 0) {
        FullRebuild();
        return;
    }
    // A trial placement or its removal changes one value: only that entry of the key is read again.
    bool usable = false;
    if (changedSquare >= 0 && m_trialKeyCurrent) {
        const unsigned value = static_cast<unsigned>(m_squares[changedSquare].value);
        m_trialKey.square[changedSquare] =
            static_cast<std::uint16_t>((m_trialKey.square[changedSquare] & ~15u) | (value & 15u));
        usable = value <= 9;
        if (usable && m_diagVerifySolver != 0) {
            TrialKey fresh;
            m_diagSolverMismatches +=
                BuildTrialKey(fresh) && std::memcmp(&fresh, &m_trialKey, sizeof fresh) == 0 ? 0 : 1;
        }
    } else {
        usable = BuildTrialKey(m_trialKey);
    }
    m_trialKeyCurrent = usable;
    if (!usable) {
        FullRebuild();
        return;
    }
    int square = 0;
    int value = 0;
    if (m_trialStates.Find(m_trialKey)) {
        m_solverPending = kStateKept;
    } else if (m_trialStates.ChildOfTop(m_trialKey, square, value)) {
        const TrialFrame& parent = m_trialStates.Top();
        if ((parent.deadEnds[square] >> value) & 1) {
            m_solverPending = kStateContradiction;
        } else if (parent.clean && m_trialStates.PushChild(m_trialKey, square, value)) {
            m_solverPending = kStateKept;
        } else if (m_trialStates.ChildEmptiedBySingles(square, value)) {
            m_trialStates.Top().deadEnds[square] |= static_cast<CandMask>(1u << value);
            m_solverPending = kStateContradiction;
        } else {
            // A clean parent whose child does not end clean: the full propagation's result is not
            // clean either, so not solved. From a parent that is not clean nothing is known.
            m_solverPending = parent.clean ? kStateNotSolved : kStateUnknown;
            m_pendingSquare = square;
            m_pendingValue = value;
        }
    } else {
        switch (m_trialStates.PushFromStart(m_trialKey)) {
        case CTrialStates::kKept:
            m_solverPending = kStateKept;
            break;
        case CTrialStates::kNotClean:
            m_solverPending = kStateNotSolved;
            break;
        case CTrialStates::kRepeats:
            m_trialKeyCurrent = false;
            FullRebuild();
            return;
        }
    }
    if (m_diagVerifySolver != 0) {
        VerifySolverState();
    }
}

// Runs the full propagation for a state that is only partly known, as far as CheckState needs it.
void CGameCore::ResolveSolverState() {
    CandMask mask[81];
    if (FullRebuildMasks(mask, true) != 0) {
        m_solverPending = kStateContradiction;
        if (m_pendingSquare >= 0) {
            m_trialStates.Top().deadEnds[m_pendingSquare] |= static_cast<CandMask>(1u << m_pendingValue);
        }
    } else {
        m_trialStates.PushExact(m_trialKey, mask);
        m_solverPending = kStateKept;
    }
    m_pendingSquare = -1;
    if (m_diagVerifySolver != 0) {
        VerifySolverState();
    }
}

// Whatever settles the state is about to read or write the squares (or the state is written out,
// which writes their possibles), so the kept key is read afresh at the next rebuild.
void CGameCore::SettleSolverState() {
    m_trialKeyCurrent = false;
    if (m_solverPending == kStateWritten) {
        return;
    }
    if (m_solverPending == kStateKept) {
        m_solverPending = kStateWritten;
        WriteCandidateGrid(m_trialStates.Top().cand);
        WriteBackPossibles();
        return;
    }
    FullRebuild();
}

// The k-th entry (from 0) of square s's possibles as the write-back leaves them.
int CGameCore::ListedPossible(int s, int k) {
    if (m_solverPending == kStateKept) {
        return NthCandidate(m_trialStates.Top().cand[s], k);
    }
    SettleSolverState();
    return m_squares[s].possibles[k];
}

// Diagnostics: what the state stands for against a full rebuild (which also rewrites the history).
void CGameCore::VerifySolverState() {
    if (m_solverPending == kStateWritten || m_solverPending == kStateUnknown) {
        return;
    }
    CandMask full[81];
    FullRebuildMasks(full, false);
    bool contradiction = false;
    bool open = false;
    for (int s = 0; s < kSquareCount; ++s) {
        if (m_squares[s].value > 0 || m_grid[s / 9][s % 9] > 0 || CandCount(full[s]) == 1) {
            continue;
        }
        contradiction = contradiction || full[s] == 0;
        open = true;
    }
    bool agrees = true;
    if (m_solverPending == kStateKept) {
        agrees = std::memcmp(full, m_trialStates.Top().cand, sizeof full) == 0;
    } else if (m_solverPending == kStateContradiction) {
        agrees = contradiction;
    } else if (m_solverPending == kStateNotSolved) {
        agrees = open;
    }
    m_diagSolverMismatches += agrees ? 0 : 1;
}

void CGameCore::RestoreSquare(int r, int c) {
    SquareRecord& sq = m_squares[r * 9 + c];
    if (sq.value != 0) {
        sq.value = 0;
        RecomputeSolverState(r * 9 + c);
    }
}

void CGameCore::ResetSolver() {
    m_branchDepth = 0;
    m_searchPos = 0;
    m_solved = 0;
}

int CGameCore::PushBranch() {
    if (m_branchDepth > kBranchCapacity - 1) {
        return -1;
    }
    if (m_solverPending != kStateKept) {
        SettleSolverState();
    }
    const CandMask* kept = m_solverPending == kStateKept ? m_trialStates.Top().cand : nullptr;
    auto countAt = [&](int s) { return kept != nullptr ? CandCount(kept[s]) : m_cand[s / 9][s % 9][0]; };
    const int start = m_searchPos;
    for (;;) {
        const int n = countAt(m_searchPos);
        if (n >= 2 && n <= m_maxBranch) {
            break;
        }
        m_searchPos = m_searchPos == 80 ? 0 : m_searchPos + 1;
        if (m_searchPos == start) {
            return 0;
        }
    }
    const int s = m_searchPos;
    m_branch[m_branchDepth] = BranchLevel{s / 9, s % 9, countAt(s), 0};
    m_lastBranchSquare = s;
    m_searchPos = m_searchPos == 80 ? 0 : m_searchPos + 1;
    m_branchDepth += 1;
    return 1;
}

int CGameCore::TryNextCandidate() {
    if (m_branchDepth < 1) {
        return 0;
    }
    BranchLevel& top = m_branch[m_branchDepth - 1];
    top.tried += 1;
    RestoreSquare(top.row, top.col);
    const int s = top.row * 9 + top.col;
    m_squares[s].value = top.tried <= 9 ? ListedPossible(s, top.tried - 1) : 0;
    RecomputeSolverState(s);
    return top.tried <= top.count ? 1 : 0;
}

int CGameCore::Backtrack() {
    if (m_branchDepth == 0) {
        return 0;
    }
    RestoreSquare(m_branch[m_branchDepth - 1].row, m_branch[m_branchDepth - 1].col);
    while (m_branch[m_branchDepth - 1].tried >= m_branch[m_branchDepth - 1].count) {
        m_branchDepth -= 1;
        if (m_branchDepth == 0) {
            return 0;
        }
        RestoreSquare(m_branch[m_branchDepth - 1].row, m_branch[m_branchDepth - 1].col);
    }
    return 1;
}

int CGameCore::SearchSecondSolution() {
    if (Backtrack() == 0) {
        return 1;
    }
    int pushed = 1;
    for (;;) {
        bool exhausted = TryNextCandidate() == 0;
        if (!exhausted) {
            int contradiction = CheckState();
            while (contradiction == 1) {
                if (TryNextCandidate() == 0) {
                    pushed = PushBranch();
                    if (pushed != 1) {
                        return pushed == 0 ? 1 : -1;
                    }
                } else {
                    contradiction = CheckState();
                }
            }
            if (m_solved == 1) {
                return 0;
            }
            continue;
        }
        pushed = PushBranch();
        if (pushed != 1) {
            return pushed == 0 ? 1 : -1;
        }
    }
}
