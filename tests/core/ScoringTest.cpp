#include "GameCore.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Score {
    int initial;
    int highest;
};

Score InitialFor(int empty) {
    auto core = std::make_unique<CGameCore>();
    core->m_givenCount = 81 - empty;
    core->m_points = CGameCore::kPointsMarker;
    core->ComputeInitialPoints();
    EXPECT_EQ(core->m_points, core->m_initialPoints);
    EXPECT_EQ(core->m_emptyCount, empty);
    return Score{core->m_initialPoints, core->HighestScore()};
}

TEST(Scoring, InitialPointsAndHighestScoreMatchTheWorkedValues) {
    const int table[][3] = {{40, 174, 134}, {45, 294, 249}, {46, 300, 254}, {47, 306, 259},  {48, 318, 270},
                            {50, 360, 310}, {53, 468, 415}, {55, 570, 515}, {61, 1020, 959}, {37, 30, -7}};
    for (const auto& row : table) {
        const Score s = InitialFor(row[0]);
        EXPECT_EQ(s.initial, row[1]) << row[0] << " empty squares";
        EXPECT_EQ(s.highest, row[2]) << row[0] << " empty squares";
    }
    // The closed forms hold over the whole range.
    for (int e = 0; e <= 81; ++e) {
        const int expected = e >= 46 ? 300 + 3 * (e - 46) * (e - 45) : 300 - 3 * (46 - e) * (47 - e);
        EXPECT_EQ(InitialFor(e).initial, expected) << e;
    }
}

TEST(Scoring, InitialPointsAreComputedOnlyOverTheMarker) {
    auto core = std::make_unique<CGameCore>();
    EXPECT_EQ(core->m_points, 16383);
    core->m_givenCount = 31;
    core->m_points = 16001;
    core->ComputeInitialPoints();
    EXPECT_EQ(core->m_points, 360);
    core->ChargePoints(5);
    core->ChargePoints(1);
    core->m_givenCount = 20;
    core->ComputeInitialPoints(); // a later paint leaves the running score alone
    EXPECT_EQ(core->m_points, 354);
    EXPECT_EQ(core->m_initialPoints, 360);
    core->m_points = 16000; // not above 16,000: not the marker
    core->ComputeInitialPoints();
    EXPECT_EQ(core->m_points, 16000);
}

TEST(Scoring, FinalScoreAndPerformance) {
    auto core = std::make_unique<CGameCore>();
    core->m_initialPoints = 360;
    core->m_emptyCount = 50; // highest score 310
    const int cases[][2] = {{310, 100}, {300, 97}, {155, 50}, {0, 0}, {1, 0}, {2, 1}};
    for (const auto& c : cases) {
        core->m_points = c[0];
        core->SettleFinalScore(true);
        EXPECT_EQ(core->m_points, c[0]);
        EXPECT_EQ(core->ComputePerformance(), c[1]) << c[0];
        EXPECT_EQ(core->m_performance, c[1]);
    }
    core->m_points = -12;
    core->SettleFinalScore(true);
    EXPECT_EQ(core->m_points, 0);
    EXPECT_EQ(core->ComputePerformance(), 0);
    core->m_points = 250;
    core->SettleFinalScore(false);
    EXPECT_EQ(core->m_points, 0);

    // 37 empty squares: a negative highest score; a correct grid ends at 0 and 0%.
    core->m_initialPoints = 30;
    core->m_emptyCount = 37;
    core->m_points = 30 - 37;
    core->SettleFinalScore(true);
    EXPECT_EQ(core->m_points, 0);
    EXPECT_EQ(core->ComputePerformance(), 0);
}

} // namespace
