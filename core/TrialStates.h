// The solver states the set-up's trial search keeps, so that a rebuild it asks for again, or one
// that only places one more numeral, costs a lookup or a short propagation instead of a full one.
//
// Why a short propagation may stand in for the full one: the rebuild's single-candidate rules only
// ever remove candidates. Call a propagated state clean when every square that started with
// candidates still has one and every numeral that some square of a row (column) started with is
// still a candidate somewhere in that row (column). A clean state in which no rule applies is the
// one and only result of the rules from that start, in whatever order they run; so when the
// propagation here, run in its own order from the kept state, ends clean, it has the result the
// full propagation gives. When it does not end clean, the state is left to the full propagation,
// whose order then decides the result.
#pragma once

#include <cstdint>

// Candidates of a square: bit v set when numeral v (1..9) is one.
using CandMask = std::uint16_t;

// A rebuild's whole input, per square: the player's value (bits 0-3), the original number (bits
// 4-7) and the paid flag (bit 8). Unpaid squares have no stored possibles (see BuildTrialKey).
struct TrialKey {
    std::uint16_t square[84]; // 84 so that keys compare as whole 64-bit words; the last 3 are 0
};

struct TrialFrame {
    TrialKey key;
    CandMask start[81];           // the candidates the propagation starts from
    CandMask cand[81];            // its result
    std::uint16_t rowHold[9][10]; // [row][v]: bit c set when square (row, c) has candidate v
    std::uint16_t colHold[9][10]; // [column][v]: bit r set when square (r, column) has candidate v
    CandMask deadEnds[81];        // bit v: placing v on this square is known to give a contradiction
    CandMask singles[81];         // start after naked singles alone (worked out when first needed)
    int singlesKnown;             // 0 not yet, 1 in singles, -1 they empty a square already
    bool clean;
    int solved;        // what CheckState sets m_solved to in this state
    int contradiction; // and what it answers
};

int CandCount(CandMask m);
// The k-th candidate (from 0, ascending), or 0 when there are no more.
int NthCandidate(CandMask m, int k);

class CTrialStates {
  public:
    // Enough for every square of a board placed one by one, plus removals kept on top.
    static constexpr int kFrames = 64;

    CTrialStates();
    void Clear() { m_depth = 0; }
    int Depth() const { return m_depth; }
    TrialFrame& Top() { return m_frames[m_depth - 1]; }
    const TrialFrame& Top() const { return m_frames[m_depth - 1]; }

    // The kept state for this input, looked for in the top two, which become the top (the state
    // above is dropped). False when neither has it.
    bool Find(const TrialKey& key);
    // True when key is the top state's input with numeral value placed on a square that had two or
    // more candidates there, value among them.
    bool ChildOfTop(const TrialKey& key, int& square, int& value) const;
    // The propagation from the top state with that numeral placed; kept on top when it ends clean.
    bool PushChild(const TrialKey& key, int square, int value);
    // The propagation from the start that key gives; kept on top when it ends clean (kKept).
    // kRepeats for an input whose rows, columns or boxes hold a numeral twice, which is left alone.
    enum StartResult { kKept, kNotClean, kRepeats };
    StartResult PushFromStart(const TrialKey& key);
    // Keeps a result computed elsewhere (the full propagation) on top.
    void PushExact(const TrialKey& key, const CandMask cand[81]);
    // True when naked singles alone, from the top state's start with that numeral placed, leave an
    // empty square without candidates: then so does the full propagation. False says nothing.
    bool ChildEmptiedBySingles(int square, int value);

  private:
    TrialFrame& NextSlot();
    TrialFrame m_frames[kFrames];
    int m_depth;
};
