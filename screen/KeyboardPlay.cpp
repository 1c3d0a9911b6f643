// Keys that reach the view. Each paging operation checks for itself whether it applies in the
// current state, so a key that does not fit the moment is simply ignored.

#include "screen/QuillmoorView.h"

void CQuillmoorView::OnKeyDown(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/) {
    // The caption's clock follows the player's actions.
    UpdateCaption();

    switch (nChar) {
    case VK_F1:
        ShowInstructions();
        break;
    case VK_END:
        ReturnToGame();
        break;
    case VK_NEXT:
        NextInstructionPage();
        break;
    case VK_PRIOR:
        PreviousInstructionPage();
        break;
    default:
        break;
    }
}
