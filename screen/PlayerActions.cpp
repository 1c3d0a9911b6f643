// One route for each thing the player does on the board. The mouse handlers, the keys and the
// accessible actions all call these, so what is refused, what it costs and what is drawn at once
// is decided here alone; the rules themselves are the core's (PlayerMoves.cpp).

#include "common/SoundCues.h"
#include "screen/Colours.h"
#include "screen/QuillmoorView.h"

using namespace screen_colours;

// --- immediate drawing ------------------------------------------------------------------------------

void CQuillmoorView::DrawNumeralNow(CDC& dc, int r, int c, int value, COLORREF colour) {
    CRect& centre = m_possibleRect[r * 10 + c][4];
    dc.FillRect(&centre, &m_whiteBrush);
    if (value > 0) {
        dc.SelectObject(&m_playerFont);
        dc.SetTextColor(colour);
        dc.DrawText(NumberText(value), -1, &centre, kCentred);
    }
}

void CQuillmoorView::DrawPointsNow(CDC& dc) {
    dc.FillRect(&m_pointsNumberRect, &m_whiteBrush);
    DrawPointsNumber(dc);
}

void CQuillmoorView::RefreshBoard() {
    RefreshAllPossibles(0);
    PaintBoard();
}

// A numeral that cost a point: shown in green at once with the points, then the whole board. The
// caret is hidden meanwhile; the repaint shows it again.
void CQuillmoorView::ShowChargedNumeral(int r, int c, int n) {
    HideCaretCompletely();
    {
        CClientDC dc(this);
        dc.SetBkMode(TRANSPARENT);
        DrawNumeralNow(dc, r, c, n, kGreen);
        DrawPointsNow(dc);
        dc.SetTextColor(kBlack);
    }
    RefreshBoard();
    ShowCaretCompletely();
}

// --- the player's actions ---------------------------------------------------------------------------

bool CQuillmoorView::PlayerPlaces(int r, int c, int n) {
    if (PlaceNumeral(r, c, n) == 0) {
        PlaySoundCue(kSoundForbidden);
        return false;
    }
    ShowChargedNumeral(r, c, n);
    return true;
}

bool CQuillmoorView::PlayerChoosesPossible(int r, int c, int k) {
    const int n = ChoosePossible(r, c, k);
    if (n == 0) {
        PlaySoundCue(kSoundForbidden); // an empty cell of the possibles
        return false;
    }
    ShowChargedNumeral(r, c, n);
    return true;
}

bool CQuillmoorView::PlayerRemoves(int r, int c) {
    if (RemoveNumeral(r, c) == 0) {
        PlaySoundCue(kSoundForbidden);
        return false;
    }
    {
        CClientDC dc(this);
        DrawNumeralNow(dc, r, c, 0, kGreen);
    }
    RefreshBoard();
    return true;
}

bool CQuillmoorView::PlayerMoves(int fromRow, int fromCol, int toRow, int toCol) {
    if (MoveNumeral(fromRow, fromCol, toRow, toCol) == 0) {
        PlaySoundCue(kSoundForbidden);
        return false;
    }
    {
        CClientDC dc(this);
        dc.SetBkMode(TRANSPARENT);
        DrawNumeralNow(dc, fromRow, fromCol, m_squares[fromRow * 9 + fromCol].value, kGreen);
        DrawNumeralNow(dc, toRow, toCol, m_squares[toRow * 9 + toCol].value, kGreen);
        dc.SetTextColor(kBlack);
    }
    RefreshBoard();
    return true;
}

// Only the numeral changes colour: no charge and no repaint.
bool CQuillmoorView::PlayerFixes(int r, int c) {
    if (ToggleFixed(r, c) == 0) {
        PlaySoundCue(kSoundForbidden);
        return false;
    }
    const SquareRecord& sq = m_squares[r * 9 + c];
    CClientDC dc(this);
    dc.SetBkMode(TRANSPARENT);
    DrawNumeralNow(dc, r, c, sq.value, sq.fixed == 1 ? kBlue : kGreen);
    dc.SetTextColor(kBlack);
    return true;
}

// The square's possibles and the points are drawn; the rest of the screen stays as it is.
bool CQuillmoorView::PlayerBuysPossibles(int r, int c) {
    if (BuyPossibles(r, c) == 0) {
        PlaySoundCue(kSoundForbidden);
        return false;
    }
    DrawSquarePossibles(r, c);
    CClientDC dc(this);
    dc.SetBkMode(TRANSPARENT);
    DrawPointsNow(dc);
    dc.SetTextColor(kBlack);
    return true;
}
