#include "GameCore.h"

#include <cstring>
#include <ctime>

CGameCore::CGameCore() {
    // Value-initialise every table first so that no field is ever read uninitialised, then give the
    // game fields their documented starting values.
    std::memset(m_grid, 0, sizeof m_grid);
    std::memset(m_solution, 0, sizeof m_solution);
    std::memset(m_squares, 0, sizeof m_squares);
    std::memset(m_clueList, 0, sizeof m_clueList);
    std::memset(m_perm, 0, sizeof m_perm);
    std::memset(m_exclude, 0, sizeof m_exclude);
    std::memset(m_colCands, 0, sizeof m_colCands);
    std::memset(m_bottomCands, 0, sizeof m_bottomCands);
    std::memset(m_rects, 0, sizeof m_rects);
    std::memset(m_clueUsage, 0, sizeof m_clueUsage);
    std::memset(m_cand, 0, sizeof m_cand);
    std::memset(m_history, 0, sizeof m_history);
    std::memset(m_branch, 0, sizeof m_branch);
    std::memset(&m_savedState, 0, sizeof m_savedState);
    std::memset(&m_trialKey, 0, sizeof m_trialKey);
    m_trialKeyCurrent = false;
    m_solverShortcuts = 1;
    m_solverDeferred = 0;
    m_solverPending = kStateWritten;
    m_pendingSquare = -1;
    m_pendingValue = 0;

    m_option = kOptionHome;
    m_clueCount = 0;
    m_givenCount = 0;
    m_points = kPointsMarker;
    m_gridReady = 0;
    m_autoSolve = 0;
    m_maxBranch = 6;
    m_caretRow = 0;
    m_caretCol = 0;
    m_caretShowCount = 0;

    m_rowRetry = 0;
    m_topErrors = 0;
    m_topErrorsPrev = 0;
    m_bandErrors = 0;
    m_bandErrorsSeen = 0;
    m_gridErrors = 0;
    m_gridErrorsSeen = 0;
    m_rectCount = 0;
    m_giveUp = 0;
    m_histCount = 0;
    m_histMark = 99;
    m_branchDepth = 0;
    m_searchPos = 0;
    m_solved = 0;
    m_lastBranchSquare = 0;
    m_initialPoints = 0;
    m_emptyCount = 0;
    m_performance = 0;
    m_diagGeneratorPasses = 0;
    m_diagSetupStartOvers = 0;
    m_diagReductionRemovals = 0;
    m_diagVerifySolver = 0;
    m_diagSolverMismatches = 0;

    // Clue patterns of one box: for each size, every 9-bit mask with that many cells, ascending.
    std::memset(m_subsets, 0, sizeof m_subsets);
    std::memset(m_subsetCount, 0, sizeof m_subsetCount);
    for (int size = 1; size <= 7; ++size) {
        for (int mask = 0; mask < 512; ++mask) {
            if (__builtin_popcount(static_cast<unsigned>(mask)) == size) {
                m_subsets[size][m_subsetCount[size]++] = mask;
            }
        }
    }

    m_randState = 0;
    Srand(static_cast<unsigned>(std::time(nullptr)));
}

CGameCore::~CGameCore() = default;

bool CGameCore::ChecksPreconditions() {
#ifdef NDEBUG
    return false;
#else
    return true;
#endif
}

void CGameCore::ErasePossiblesArea(int, int) {}
void CGameCore::DrawSquarePossibles(int, int) {}
void CGameCore::BeginSetupWait() {}
void CGameCore::EndSetupWait() {}
void CGameCore::ShowPuzzleCaret() {}
void CGameCore::CreatePuzzleCaret() {}
void CGameCore::PaintBoard() {}
