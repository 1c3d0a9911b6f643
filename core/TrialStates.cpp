#include "TrialStates.h"

#include <cstring>

namespace {

struct Tables {
    std::uint8_t count[1024]; // candidates in a mask
    std::uint8_t peers[81][20];
    std::uint8_t row[81];
    std::uint8_t col[81];
    std::uint8_t box[81];
    CandMask numeral[16]; // bit of numeral v, none for 0
    Tables() {
        for (int v = 0; v < 16; ++v) {
            numeral[v] = v >= 1 && v <= 9 ? static_cast<CandMask>(1u << v) : 0;
        }
        for (int m = 0; m < 1024; ++m) {
            count[m] = static_cast<std::uint8_t>(__builtin_popcount(static_cast<unsigned>(m)));
        }
        for (int s = 0; s < 81; ++s) {
            const int r = s / 9, c = s % 9;
            row[s] = static_cast<std::uint8_t>(r);
            col[s] = static_cast<std::uint8_t>(c);
            box[s] = static_cast<std::uint8_t>((r / 3) * 3 + c / 3);
            int n = 0;
            for (int t = 0; t < 81; ++t) {
                const int tr = t / 9, tc = t % 9;
                const bool peer = tr == r || tc == c || (tr / 3 == r / 3 && tc / 3 == c / 3);
                if (peer && t != s) {
                    peers[s][n++] = static_cast<std::uint8_t>(t);
                }
            }
        }
    }
};
const Tables kTables;

int LowBit(unsigned bits) {
    return __builtin_ctz(bits);
}

bool Single(unsigned m) {
    return m != 0 && (m & (m - 1)) == 0;
}

// Every numeral a paid empty square's row, column and box leave it; nothing for the others.
// False when a row, column or box holds a numeral twice.
bool StartFromKey(const TrialKey& key, CandMask start[81]) {
    CandMask row[9] = {}, col[9] = {}, box[9] = {};
    unsigned repeats = 0;
    for (int s = 0; s < 81; ++s) {
        const CandMask value = kTables.numeral[key.square[s] & 15];
        const CandMask grid = kTables.numeral[(key.square[s] >> 4) & 15];
        CandMask& r = row[kTables.row[s]];
        CandMask& c = col[kTables.col[s]];
        CandMask& b = box[kTables.box[s]];
        repeats |= ((r | c | b) & (value | grid)) | (value & grid);
        r = static_cast<CandMask>(r | value | grid);
        c = static_cast<CandMask>(c | value | grid);
        b = static_cast<CandMask>(b | value | grid);
    }
    if (repeats != 0) {
        return false;
    }
    for (int s = 0; s < 81; ++s) {
        const CandMask free =
            static_cast<CandMask>(~(row[kTables.row[s]] | col[kTables.col[s]] | box[kTables.box[s]]) & 0x3FE);
        start[s] = key.square[s] == 0x100 ? free : 0; // only a paid empty square has candidates
    }
    return true;
}

void FindHolders(TrialFrame& f) {
    std::memset(f.rowHold, 0, sizeof f.rowHold);
    std::memset(f.colHold, 0, sizeof f.colHold);
    for (int s = 0; s < 81; ++s) {
        const int r = kTables.row[s], c = kTables.col[s];
        for (unsigned bits = f.cand[s]; bits != 0; bits &= bits - 1) {
            const int v = LowBit(bits);
            f.rowHold[r][v] = static_cast<std::uint16_t>(f.rowHold[r][v] | (1u << c));
            f.colHold[c][v] = static_cast<std::uint16_t>(f.colHold[c][v] | (1u << r));
        }
    }
}

// The numerals some square of each row and column has among `masks`.
void Supports(const CandMask masks[81], CandMask row[9], CandMask col[9]) {
    for (int k = 0; k < 9; ++k) {
        row[k] = 0;
        col[k] = 0;
    }
    for (int s = 0; s < 81; ++s) {
        row[kTables.row[s]] = static_cast<CandMask>(row[kTables.row[s]] | masks[s]);
        col[kTables.col[s]] = static_cast<CandMask>(col[kTables.col[s]] | masks[s]);
    }
}

bool IsClean(const TrialFrame& f) {
    for (int s = 0; s < 81; ++s) {
        if (f.start[s] != 0 && f.cand[s] == 0) {
            return false;
        }
    }
    CandMask startRow[9], startCol[9], candRow[9], candCol[9];
    Supports(f.start, startRow, startCol);
    Supports(f.cand, candRow, candCol);
    for (int k = 0; k < 9; ++k) {
        if ((startRow[k] & ~candRow[k]) != 0 || (startCol[k] & ~candCol[k]) != 0) {
            return false;
        }
    }
    return true;
}

// CheckState's view of the state: an empty square without candidates is a contradiction; every
// square holding a numeral or a single candidate makes it solved.
void Summarise(TrialFrame& f) {
    bool open = false;
    f.contradiction = 0;
    for (int s = 0; s < 81; ++s) {
        if ((f.key.square[s] & 0xFF) != 0 || Single(f.cand[s])) {
            continue;
        }
        if (f.cand[s] == 0) {
            f.contradiction = 1;
            break;
        }
        open = true;
    }
    f.solved = f.contradiction == 0 && !open ? 1 : 0;
}

// The single-candidate rules in whatever order their chances come up: a square with one candidate
// takes it from every other square of its row, column and box; a numeral left to one square of a
// row or column leaves that square nothing else. Gives up as soon as the result cannot be clean.
class CPropagation {
  public:
    explicit CPropagation(TrialFrame& f) : m_f(f) { Supports(f.start, m_rowSup, m_colSup); }

    bool Eliminate(int t, int v) {
        const unsigned bit = 1u << v;
        CandMask& m = m_f.cand[t];
        if ((m & bit) == 0) {
            return true;
        }
        m = static_cast<CandMask>(m & ~bit);
        if (m == 0) {
            if (m_f.start[t] != 0) {
                return false;
            }
        } else if (Single(m)) {
            Push(t);
        }
        return DropHolder(t, v);
    }

    // The square now holds a numeral: it has no candidates any more.
    bool ClearSquare(int s) {
        for (unsigned bits = m_f.cand[s]; bits != 0; bits &= bits - 1) {
            if (!DropHolder(s, LowBit(bits))) {
                return false;
            }
        }
        m_f.cand[s] = 0;
        return true;
    }

    // Every rule that applies to the state as it is (for a state not propagated before).
    void PushAllChances() {
        for (int s = 0; s < 81; ++s) {
            if (Single(m_f.cand[s])) {
                Push(s);
            }
        }
        for (int k = 0; k < 9; ++k) {
            for (int v = 1; v <= 9; ++v) {
                if (Single(m_f.rowHold[k][v])) {
                    Push(kRowEvent + k * 16 + v);
                }
                if (Single(m_f.colHold[k][v])) {
                    Push(kColEvent + k * 16 + v);
                }
            }
        }
    }

    bool Run() {
        while (m_top > 0) {
            const int e = m_stack[--m_top];
            const bool ok = e < kRowEvent   ? ApplySingle(e)
                            : e < kColEvent ? ApplyHidden(e - kRowEvent, true)
                                            : ApplyHidden(e - kColEvent, false);
            if (!ok) {
                return false;
            }
        }
        return true;
    }

  private:
    static constexpr int kRowEvent = 256;
    static constexpr int kColEvent = 512;

    // Each square becomes single at most once and each row or column numeral drops to one holder
    // at most once, so 81 + 162 events fit.
    void Push(int e) { m_stack[m_top++] = static_cast<std::uint16_t>(e); }

    bool DropHolder(int t, int v) {
        const int r = kTables.row[t], c = kTables.col[t];
        const unsigned bit = 1u << v;
        std::uint16_t& rh = m_f.rowHold[r][v];
        rh = static_cast<std::uint16_t>(rh & ~(1u << c));
        if (rh == 0) {
            if ((m_rowSup[r] & bit) != 0) {
                return false;
            }
        } else if (Single(rh)) {
            Push(kRowEvent + r * 16 + v);
        }
        std::uint16_t& ch = m_f.colHold[c][v];
        ch = static_cast<std::uint16_t>(ch & ~(1u << r));
        if (ch == 0) {
            if ((m_colSup[c] & bit) != 0) {
                return false;
            }
        } else if (Single(ch)) {
            Push(kColEvent + c * 16 + v);
        }
        return true;
    }

    bool ApplySingle(int t) {
        const unsigned m = m_f.cand[t];
        if (!Single(m)) {
            return true; // emptied since (that gave up already, unless the square now holds a numeral)
        }
        const int v = LowBit(m);
        const int r = kTables.row[t], c = kTables.col[t];
        for (unsigned bits = m_f.rowHold[r][v] & ~(1u << c); bits != 0; bits &= bits - 1) {
            if (!Eliminate(r * 9 + LowBit(bits), v)) {
                return false;
            }
        }
        for (unsigned bits = m_f.colHold[c][v] & ~(1u << r); bits != 0; bits &= bits - 1) {
            if (!Eliminate(LowBit(bits) * 9 + c, v)) {
                return false;
            }
        }
        const int top = (r / 3) * 3;
        const unsigned boxCols = (7u << ((c / 3) * 3)) & ~(1u << c);
        for (int rr = top; rr < top + 3; ++rr) {
            if (rr == r) {
                continue;
            }
            for (unsigned bits = m_f.rowHold[rr][v] & boxCols; bits != 0; bits &= bits - 1) {
                if (!Eliminate(rr * 9 + LowBit(bits), v)) {
                    return false;
                }
            }
        }
        return true;
    }

    // A numeral left to one square of row (or column) k: the square keeps only that numeral.
    bool ApplyHidden(int e, bool row) {
        const int k = e / 16, v = e % 16;
        const unsigned h = row ? m_f.rowHold[k][v] : m_f.colHold[k][v];
        if (!Single(h)) {
            return true;
        }
        const int t = row ? k * 9 + LowBit(h) : LowBit(h) * 9 + k;
        for (unsigned others = m_f.cand[t] & ~(1u << v); others != 0; others &= others - 1) {
            if (!Eliminate(t, LowBit(others))) {
                return false;
            }
        }
        return true;
    }

    TrialFrame& m_f;
    CandMask m_rowSup[9];
    CandMask m_colSup[9];
    std::uint16_t m_stack[256];
    int m_top = 0;
};

// Naked singles alone, on masks: every square that has one candidate takes it from its peers
// (`stack` holds the singles to apply). True as soon as an empty square (per key) has none left.
bool EmptiedByNakedSingles(CandMask masks[81], const TrialKey& key, int stack[81], int top) {
    while (top > 0) {
        const int t = stack[--top];
        const unsigned m = masks[t];
        if (!Single(m)) {
            continue;
        }
        for (int u : kTables.peers[t]) {
            if ((masks[u] & m) == 0) {
                continue;
            }
            masks[u] = static_cast<CandMask>(masks[u] & ~m);
            if (masks[u] == 0) {
                if ((key.square[u] & 0xFF) == 0) {
                    return true;
                }
            } else if (Single(masks[u])) {
                stack[top++] = u;
            }
        }
    }
    return false;
}

} // namespace

int CandCount(CandMask m) {
    return kTables.count[m & 1023];
}

int NthCandidate(CandMask m, int k) {
    unsigned bits = m;
    for (int i = 0; i < k && bits != 0; ++i) {
        bits &= bits - 1;
    }
    return bits == 0 ? 0 : LowBit(bits);
}

CTrialStates::CTrialStates() : m_depth(0) {
    std::memset(m_frames, 0, sizeof m_frames);
}

// A slot above the top. When the stack is full, only the top is kept (moved to the bottom).
TrialFrame& CTrialStates::NextSlot() {
    if (m_depth == kFrames) {
        std::memcpy(&m_frames[0], &m_frames[kFrames - 1], sizeof m_frames[0]);
        m_depth = 1;
    }
    return m_frames[m_depth];
}

bool CTrialStates::Find(const TrialKey& key) {
    for (int back = 1; back <= 2 && back <= m_depth; ++back) {
        if (std::memcmp(&m_frames[m_depth - back].key, &key, sizeof key) == 0) {
            m_depth -= back - 1;
            return true;
        }
    }
    return false;
}

bool CTrialStates::ChildOfTop(const TrialKey& key, int& square, int& value) const {
    if (m_depth == 0) {
        return false;
    }
    const TrialFrame& p = Top();
    int found = -1;
    for (int w = 0; w < 84; w += 4) {
        std::uint64_t a, b;
        std::memcpy(&a, &p.key.square[w], sizeof a);
        std::memcpy(&b, &key.square[w], sizeof b);
        if (a == b) {
            continue;
        }
        for (int s = w; s < w + 4; ++s) {
            if (p.key.square[s] != key.square[s]) {
                if (found >= 0) {
                    return false;
                }
                found = s;
            }
        }
    }
    if (found < 0 || found > 80) {
        return false;
    }
    const int before = p.key.square[found], after = key.square[found];
    const int v = after & 15;
    if ((before & 15) != 0 || (before & ~15) != (after & ~15) || v == 0 || CandCount(p.cand[found]) < 2 ||
        (p.cand[found] & (1u << v)) == 0) {
        return false;
    }
    square = found;
    value = v;
    return true;
}

bool CTrialStates::PushChild(const TrialKey& key, int square, int value) {
    TrialFrame& f = NextSlot();
    const TrialFrame& p = m_frames[m_depth - 1];
    f.key = key;
    std::memcpy(f.start, p.start, sizeof f.start);
    std::memcpy(f.cand, p.cand, sizeof f.cand);
    std::memcpy(f.rowHold, p.rowHold, sizeof f.rowHold);
    std::memcpy(f.colHold, p.colHold, sizeof f.colHold);
    const CandMask keep = static_cast<CandMask>(~(1u << value));
    f.start[square] = 0;
    for (int u : kTables.peers[square]) {
        f.start[u] &= keep;
    }
    // The parent is a propagated state, so only what the placement changes can set rules going.
    CPropagation prop(f);
    if (!prop.ClearSquare(square)) {
        return false;
    }
    for (int u : kTables.peers[square]) {
        if (!prop.Eliminate(u, value)) {
            return false;
        }
    }
    if (!prop.Run()) {
        return false;
    }
    std::memset(f.deadEnds, 0, sizeof f.deadEnds);
    f.singlesKnown = 0;
    f.clean = true;
    Summarise(f);
    ++m_depth;
    return true;
}

CTrialStates::StartResult CTrialStates::PushFromStart(const TrialKey& key) {
    TrialFrame& f = NextSlot();
    f.key = key;
    if (!StartFromKey(key, f.start)) {
        return kRepeats;
    }
    std::memcpy(f.cand, f.start, sizeof f.cand);
    FindHolders(f);
    CPropagation prop(f);
    prop.PushAllChances();
    if (!prop.Run()) {
        return kNotClean;
    }
    std::memset(f.deadEnds, 0, sizeof f.deadEnds);
    f.singlesKnown = 0;
    f.clean = true;
    Summarise(f);
    ++m_depth;
    return kKept;
}

// Why this holds: let F be the full propagation's result and suppose it empties no empty square.
// Each step of a naked-singles run from a state that contains F removes only what F lacks too (a
// square with one candidate there has the same one in F, whose peers F has cleared of it). Both the
// run that gives the parent's `singles` and the run here go from states containing F (the placed
// square keeps two or more candidates in the parent's run, as it has in the parent's state), so F
// lies inside the state where an empty square ran out of candidates: a contradiction. The parent's
// own full propagation must not empty a square for that, or it is not inside its singles run.
bool CTrialStates::ChildEmptiedBySingles(int square, int value) {
    TrialFrame& p = Top();
    if (p.contradiction != 0) {
        return false;
    }
    int stack[81];
    if (p.singlesKnown == 0) {
        std::memcpy(p.singles, p.start, sizeof p.singles);
        int top = 0;
        for (int s = 0; s < 81; ++s) {
            if (Single(p.singles[s])) {
                stack[top++] = s;
            }
        }
        p.singlesKnown = EmptiedByNakedSingles(p.singles, p.key, stack, top) ? -1 : 1;
    }
    if (p.singlesKnown < 0) {
        return false;
    }
    CandMask masks[81];
    std::memcpy(masks, p.singles, sizeof masks);
    TrialKey key = p.key;
    key.square[square] = static_cast<std::uint16_t>(key.square[square] | value);
    masks[square] = 0;
    const CandMask bit = static_cast<CandMask>(1u << value);
    int top = 0;
    for (int u : kTables.peers[square]) {
        if ((masks[u] & bit) == 0) {
            continue;
        }
        masks[u] = static_cast<CandMask>(masks[u] & ~bit);
        if (masks[u] == 0) {
            if ((key.square[u] & 0xFF) == 0) {
                return true;
            }
        } else if (Single(masks[u])) {
            stack[top++] = u;
        }
    }
    return EmptiedByNakedSingles(masks, key, stack, top);
}

void CTrialStates::PushExact(const TrialKey& key, const CandMask cand[81]) {
    TrialFrame& f = NextSlot();
    f.key = key;
    StartFromKey(key, f.start);
    std::memcpy(f.cand, cand, sizeof f.cand);
    FindHolders(f);
    std::memset(f.deadEnds, 0, sizeof f.deadEnds);
    f.singlesKnown = 0;
    f.clean = IsClean(f);
    Summarise(f);
    ++m_depth;
}
