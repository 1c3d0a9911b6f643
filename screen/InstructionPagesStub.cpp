// PLACEHOLDER for the instruction pages, until the page layout is wired to the view. Only what
// the play screen needs from the layout is done here: the text panels' font and a page count.
// Replace this whole file with the real LayoutInstructionPages and DrawInstructionPage.

#include "screen/QuillmoorView.h"

void CQuillmoorView::LayoutInstructionPages() {
    const int textHeight = m_clientRect.bottom * 94 / 100;
    if (m_panelFont.IsValid()) {
        m_panelFont.DeleteObject();
    }
    m_panelFont.CreateFontA(textHeight / m_panelFontDivisor + m_panelFontAdjust, 0, 0, 0, 0, 0, 0, 0,
                            ANSI_CHARSET, OUT_DEVICE_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 0, "Arial");
    // One text page and the empty one the layout always opens at the end.
    m_pageCount = 2;
}

void CQuillmoorView::DrawInstructionPage(CDC* pDC) {
    pDC->FillRect(&m_clientRect, &m_whiteBrush);
}
