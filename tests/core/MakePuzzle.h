// Drives the core the way the game does, for the core tests.
#pragma once

#include "GameCore.h"

// One puzzle the way AGAIN makes it: a new grid, then the Easy (1) or Hard (2) set-up.
inline void MakePuzzle(CGameCore& core, int option) {
    core.ResetPuzzleFields();
    core.PrepareNextGrid();
    core.m_option = 0;
    if (option == 1) {
        core.OnEasy();
    } else {
        core.OnHard();
    }
}
