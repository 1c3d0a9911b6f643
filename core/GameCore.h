// The game core: the whole game state of one board and every operation on it (solution grid
// generator, Easy/Hard puzzle set-up with its logic solver, the player's possibles, the score).
// Plain C++, no window code and no allocation: the view inherits this class and reaches the
// screen only through the virtual hooks at the end.
#pragma once

#include "TrialStates.h"

#include <cstdint>

// The player's side of one square.
struct SquareRecord {
    int value;        // the player's numeral 1..9, or 0
    int possibles[9]; // compacted ascending, zeros after; all zero while the square holds a numeral
    int possiblesPaid;
    int fixed;
};

struct SolutionRecord {
    int solution;
    int checkValue;
};

// A swappable rectangle of the solution: four square indices.
struct RectRecord {
    int corner[4];
};

struct DeductionRecord {
    int row;
    int col;
    int value;
    int kind; // 1 single found in a row, column or square; 2 single applied to its box
};

struct BranchLevel {
    int row;
    int col;
    int count; // candidates of the square when it was pushed
    int tried; // candidates placed so far
};

struct SolverSnapshot {
    int cand[10][10][11];
    SquareRecord squares[81];
};

// Bit v set for numeral v (1..9) standing on a square as the player's or as an original number.
inline int NumeralBits(int value, int grid) {
    return (value >= 1 && value <= 9 ? 1 << value : 0) | (grid >= 1 && grid <= 9 ? 1 << grid : 0);
}

// The numerals standing in each row, column and box, gathered once for a whole-board pass.
struct HouseNumerals {
    int row[9] = {};
    int col[9] = {};
    int box[9] = {};

    void Add(int r, int c, int value, int grid) {
        const int bits = NumeralBits(value, grid);
        row[r] |= bits;
        col[c] |= bits;
        box[(r / 3) * 3 + c / 3] |= bits;
    }
    // Every numeral that the square's row, column or box already holds.
    int Used(int r, int c) const { return row[r] | col[c] | box[(r / 3) * 3 + c / 3]; }
};

class CGameCore {
  public:
    static constexpr int kSquareCount = 81;
    static constexpr int kCentre = 40;
    // No score ever comes near kHighestPoints: m_points above it is the marker of a puzzle whose
    // initial points are still to be computed (at its first paint). The set-up writes
    // kPointsMarker.
    static constexpr int kHighestPoints = 16000;
    static constexpr int kPointsMarker = 16383;
    // m_option: the home page, or the kind of puzzle on the board.
    enum : int { kOptionHome = 0, kOptionEasy = 1, kOptionHard = 2, kOptionOwnNumbers = 3 };
    static constexpr int kHistoryCapacity = 176;
    static constexpr int kBranchCapacity = 301;
    // FindRectangles keeps at most one rectangle per (row, column pair) it examines: 216 from the
    // row pairs of the bands and 54 from the column pairs of the stacks.
    static constexpr int kRectCapacity = 270;
    static constexpr int kGiveUpMark = 99;

    CGameCore();
    virtual ~CGameCore();

    // --- random numbers: a pinned linear congruential generator, so seeded runs repeat anywhere
    void Srand(unsigned seed) { m_randState = static_cast<std::uint32_t>(seed); }
    int Rand() {
        m_randState = m_randState * 214013u + 2531011u;
        return static_cast<int>((m_randState >> 16) & 0x7FFFu);
    }
    // Leaves the generator where n calls of Rand() would (jumping in log n steps).
    void SkipRands(std::uint32_t n) {
        std::uint32_t mul = 214013u, add = 2531011u;
        std::uint32_t jumpMul = 1u, jumpAdd = 0u;
        for (; n != 0; n >>= 1) {
            if (n & 1u) {
                jumpMul *= mul;
                jumpAdd = jumpAdd * mul + add;
            }
            add = (mul + 1u) * add;
            mul *= mul;
        }
        m_randState = jumpMul * m_randState + jumpAdd;
    }

    // --- square helpers
    int& GridAt(int s) { return m_grid[s / 9][s % 9]; }
    static int Mirror(int s) { return 80 - s; }

    // --- solution grid generator
    void GenerateSolutionGrid();
    int RunGeneratorPass(); // 1 when the pass reached the whole-grid check, 0 for a failed pass
    void MakeCandidateList();
    void RemoveExcluded(int n);
    void CopyRowSegment(int r);
    void CopyBlock(int r, int c);
    void CopyColumnSegment(int c, int r);
    void CopyColumnTop(int c);
    void BuildRowFromAbove(int src);
    void BuildRow3();
    void RunRow3Builder();
    void RepairRow4();
    void RepairRow5();
    bool TopSixRowsValid() const;
    void BuildBottomBand();
    bool GridValid() const;

    // --- puzzle set-up
    void ResetPuzzleFields();
    void PrepareNextGrid();
    void OnEasy();
    void OnHard();
    void BuildPuzzle();
    void FindRectangles();
    int CoverRectangles(); // 0 when the clue list would overflow (the set-up then starts over)
    int CheckAndAdjust();  // 1 finished, 0 when the set-up must start over
    void AddCluePair(int s);
    void RemoveCluePair(int s);

    // --- possibles, player side
    void RecomputePossibles(int r, int c, int erase);
    void CompactPossibles(int r, int c);
    void RefreshAllPossibles(int erase);

    // --- logic solver
    void ComputeAllPossibles();
    void Propagate();
    void WriteBackPossibles();
    int CheckState();
    void SaveState(int slot);
    void RestoreState(int slot);
    void RestoreSquare(int r, int c);
    int PushBranch();
    int TryNextCandidate();
    int Backtrack();
    int SearchSecondSolution();

    // --- the player's moves: the rules alone (PlayerMoves.cpp); 0 means refused, nothing changed
    // Fills an empty square or replaces a green numeral with n; 1 point.
    int PlaceNumeral(int r, int c, int n);
    // Makes possible k of a bought empty square its green numeral; 1 point. Answers the numeral.
    int ChoosePossible(int r, int c, int k);
    // Takes a green numeral away; free.
    int RemoveNumeral(int r, int c);
    // A green numeral to another square: 1 moved onto an empty one, 2 swapped with a green one.
    int MoveNumeral(int fromRow, int fromCol, int toRow, int toCol);
    // Fixes a green numeral (blue) or unfixes a blue one.
    int ToggleFixed(int r, int c);
    // Buys an empty square's possibles for 5 points; they stay up to date from then on.
    int BuyPossibles(int r, int c);
    bool HoldsFixedNumeral(int r, int c) const;
    // The list position of numeral n among the square's bought possibles, or -1.
    int PossibleIndex(int r, int c, int n) const;

    // --- score
    void ComputeInitialPoints();
    void ChargePoints(int n) { m_points -= n; }
    void SettleFinalScore(bool correct);
    int ComputePerformance();
    int HighestScore() const { return m_initialPoints - m_emptyCount; }

    // --- screen hooks (the view overrides them)
    virtual void ErasePossiblesArea(int r, int c);
    virtual void DrawSquarePossibles(int r, int c);
    virtual void BeginSetupWait();
    virtual void EndSetupWait();
    virtual void ShowPuzzleCaret();
    virtual void CreatePuzzleCaret();
    virtual void PaintBoard();

    // ===== game state =====
    int m_grid[9][9];
    SolutionRecord m_solution[81];
    SquareRecord m_squares[81];
    int m_option; // kOptionHome .. kOptionOwnNumbers
    int m_clueCount;
    int m_clueList[81];
    int m_givenCount;
    int m_points;
    int m_gridReady;
    int m_autoSolve;
    int m_maxBranch;
    int m_caretRow;
    int m_caretCol;
    int m_caretShowCount;

    // generator work areas
    int m_perm[9];
    int m_exclude[9];
    int m_colCands[9][6];
    int m_bottomCands[9][3];
    int m_rowRetry;
    int m_topErrors;
    int m_topErrorsPrev;
    int m_bandErrors;
    int m_bandErrorsSeen;
    int m_gridErrors;
    int m_gridErrorsSeen;

    // set-up tables
    int m_subsets[8][126]; // [size][pattern]: nine cell flags, bit i = cell i of a box
    int m_subsetCount[8];
    RectRecord m_rects[kRectCapacity];
    int m_rectCount;
    int m_clueUsage[81];
    int m_giveUp;

    // solver
    int m_cand[10][10][11];
    // The deductions of the last full propagation; a state taken from a kept one leaves them as
    // they are (nothing reads them but tests).
    DeductionRecord m_history[kHistoryCapacity];
    int m_histCount;
    int m_histMark;
    BranchLevel m_branch[kBranchCapacity];
    int m_branchDepth;
    int m_searchPos;
    int m_solved;
    int m_lastBranchSquare; // the square the last successful PushBranch chose
    SolverSnapshot m_savedState;

    // The set-up's solver states (TrialStates.h); 0 makes every rebuild a full one, as the
    // procedure is written: the reference they are checked against.
    int m_solverShortcuts;

    // score
    int m_initialPoints;
    int m_emptyCount;
    int m_performance;

    // diagnostics only (cellwright-gen --stats); cumulative, never reset by the game
    long long m_diagGeneratorPasses;
    long long m_diagSetupStartOvers;
    int m_diagReductionRemovals; // clues the last Hard reduction took away for good
    // When 1, every state the set-up's solver takes from a kept one, or does not settle, is checked
    // against a full rebuild, and disagreements are counted.
    int m_diagVerifySolver;
    long long m_diagSolverMismatches;

    // Whether this build checks the core's internal preconditions (debug and sanitizer builds).
    static bool ChecksPreconditions();
    // The precondition of the one rebuild per clue pair: no unpaid square has stored possibles.
    bool UnpaidPossiblesEmpty() const;

  private:
    std::uint32_t m_randState;

    void BeginEasy();
    void BeginHard();
    int ChooseClues(); // steps up to the clue grid; 0 when the clue list would overflow
    int StartOver();   // 0 when there is no Easy/Hard set-up to run again
    void ResetSolver();
    int AdjustClues();
    // With changedSquare, the caller changed nothing since the last rebuild but that square's value.
    void RecomputeSolverState(int changedSquare = -1);
    // Propagation from a candidate grid: per square its candidate bits and count, per row and
    // column the tally of each numeral (all updated in place). With stopWhenEmptied (flags per
    // square) it stops as soon as a flagged square loses its last candidate and answers 1.
    int RunPropagation(int mask[81], int count[81], int rowTally[9][10], int colTally[9][10],
                       const int* stopWhenEmptied);
    int FullRebuildMasks(CandMask out[81], bool stopAtContradiction);
    void FullRebuild();
    void WriteCandidateGrid(const CandMask mask[81]);

    // While CheckAndAdjust runs with shortcuts, the solver state may be kept in m_trialStates or
    // only partly known instead of written to m_cand and the possibles; everything that reads
    // those settles it first.
    enum SolverPending {
        kStateWritten,       // m_cand and the possibles hold it
        kStateKept,          // the top kept state holds it
        kStateContradiction, // CheckState would answer 1
        kStateNotSolved,     // not solved by single-candidate steps
        kStateUnknown,
    };
    bool BuildTrialKey(TrialKey& key) const;
    void SettleSolverState();
    void ResolveSolverState();
    void NoteSolved();
    int ListedPossible(int s, int k);
    void VerifySolverState();
    CTrialStates m_trialStates;
    TrialKey m_trialKey;    // input of the last rebuild
    bool m_trialKeyCurrent; // m_trialKey still describes the board (nothing else wrote to it since)
    int m_solverDeferred;
    int m_solverPending;
    int m_pendingSquare; // a trial placement on the top kept state not settled yet: its square, or -1
    int m_pendingValue;
    int RunBranchSearch();
    int ReduceClues();
    void GiveUpSetup();
    int ClueListIndex(int s) const;
    int ClueListPartner(int i) const;
    void DeleteClueEntry(int i);
    void AppendFillerPairs(int count);
};
