// Device-context side of the instruction pages, shared by the screen and the printer: measuring
// lines with the selected font, and drawing one laid-out page.
#pragma once

#include "instructions/PageLayout.h"
#include "platform/Afx.h"

// Lines are wrapped by the width the font selected into the DC really gives them.
class CDCLineMeasurer : public ILineMeasurer {
  public:
    explicit CDCLineMeasurer(CDC& dc) : m_dc(dc) {}
    int TextWidth(const char* text, int length) override;

  private:
    CDC& m_dc;
};

// Draws slots 0 .. LastLine(page) of a page at x, one line every lineHeight pixels from top.
// A slot that begins with "[" is a title: drawn in titleFont without its "[", after which
// bodyFont is selected again. Empty slots draw nothing.
void DrawPageLines(CDC* dc, const CPageBook& book, int page, int x, int top, int lineHeight, CFont* bodyFont,
                   CFont* titleFont);
