// The score: initial points from the number of empty squares, charges, final score, performance.
#include "GameCore.h"

void CGameCore::ComputeInitialPoints() {
    if (m_points <= kHighestPoints) {
        return;
    }
    const int empty = kSquareCount - m_givenCount;
    int points = 300;
    int step = 6;
    for (int e = empty; e > 46; --e) {
        points += step;
        step += 6;
    }
    for (int e = empty; e < 46; ++e) {
        points -= step;
        step += 6;
    }
    m_points = points;
    m_initialPoints = points;
    m_emptyCount = empty;
}

void CGameCore::SettleFinalScore(bool correct) {
    if (!correct || m_points < 0) {
        m_points = 0;
    }
}

int CGameCore::ComputePerformance() {
    const int highest = HighestScore();
    // No empty-square count gives a highest score of 0; the guard only keeps a corrupted state from
    // dividing by zero.
    m_performance = highest == 0 ? 0 : (highest / 2 + 100 * m_points) / highest;
    return m_performance;
}
