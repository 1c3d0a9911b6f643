// The game's colours and the text format of its single-line labels, shared by every routine that
// draws the board, the instruction pages and the paper, so a numeral or a label looks the same
// whoever draws it.
#pragma once

#include "platform/Afx.h"

namespace screen_colours {

inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kRed = RGB(255, 0, 0);       // original numbers, the verdict line
inline constexpr COLORREF kGreen = RGB(0, 128, 128);   // the player's numerals
inline constexpr COLORREF kBlue = RGB(0, 0, 128);      // fixed numerals
inline constexpr COLORREF kGray = RGB(160, 160, 160);  // possibles
inline constexpr COLORREF kPointsRed = RGB(192, 0, 0); // the points number
inline constexpr COLORREF kPerformanceGreen = RGB(0, 148, 0);
inline constexpr COLORREF kZeroPerformanceGreen = RGB(0, 156, 0); // the "0" of a wrong verdict
inline constexpr COLORREF kSolutionGray = RGB(195, 195, 195);     // the solution on paper
// The prompts at the foot of an instruction page, and its number.
inline constexpr COLORREF kMagenta = RGB(255, 0, 255);
inline constexpr COLORREF kTeal = RGB(0, 151, 151);
inline constexpr COLORREF kOrange = RGB(255, 108, 32);

inline constexpr UINT kCentred = DT_SINGLELINE | DT_VCENTER | DT_CENTER;

} // namespace screen_colours
