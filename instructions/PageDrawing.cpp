#include "instructions/PageDrawing.h"

#include <cstring>

int CDCLineMeasurer::TextWidth(const char* text, int length) {
    SIZE size{0, 0};
    m_dc.GetTextExtentPoint32A(text, length, &size);
    return size.cx;
}

void DrawPageLines(CDC* dc, const CPageBook& book, int page, int x, int top, int lineHeight, CFont* bodyFont,
                   CFont* titleFont) {
    const int lastLine = book.LastLine(page);
    for (int i = 0; i <= lastLine; ++i) {
        const char* line = book.Line(page, i);
        if (line[0] == '\0') {
            continue;
        }
        const int y = i * lineHeight + top;
        if (line[0] == '[') {
            dc->SelectObject(titleFont);
            dc->TextOut(x, y, line + 1, static_cast<int>(std::strlen(line + 1)));
            dc->SelectObject(bodyFont);
        } else {
            dc->TextOut(x, y, line, static_cast<int>(std::strlen(line)));
        }
    }
}
