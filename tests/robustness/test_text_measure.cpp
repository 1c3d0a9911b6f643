// Text measurement adds up remembered word widths instead of shaping whole lines. These tests hold
// it to what Qt reports for the whole run, and DT_WORDBREAK drawing to a plain rendering that
// measures every candidate line whole: same widths, same line breaks, same pixels, on the real
// instruction text in the game's faces at many sizes.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cstring>
#include <string>
#include <vector>

#include "instructions/HelpText.h"
#include "instructions/PageLayout.h"
#include "platform/Afx.h"
#include "platform/AfxInternal.h"

namespace {

const char* const kFaces[] = {"Arial", "Arial Bold", "Lucida Console", "Microsoft Sans Serif"};
const int kHeights[] = {9, 13, 16, 21, 28, 37, 52, 70, 90};

std::vector<std::string> InstructionEntries() {
    std::vector<std::string> entries;
    for (int i = 0; i < g_helpTextEntryCount; ++i) {
        if (std::strcmp(g_helpTextEntries[i], kTextTerminator) == 0) {
            break;
        }
        entries.emplace_back(g_helpTextEntries[i]);
    }
    return entries;
}

// The instruction text as a few paragraphs, with the blank lines and doubled spaces panel texts
// have.
std::string PanelStyleText(const std::vector<std::string>& entries, size_t first, size_t count) {
    std::string text;
    for (size_t i = first; i < first + count && i < entries.size(); ++i) {
        text += entries[i];
        text += i % 5 == 4 ? " \n\n" : (i % 3 == 0 ? "  " : " ");
    }
    return text;
}

int QtWidth(const CFont& font, const std::string& text) {
    return QFontMetrics(font.Data()->font).horizontalAdvance(QString::fromLatin1(text.c_str()));
}

// Word wrapping the plain way: every candidate line measured whole.
std::vector<QString> ReferenceWrap(const QString& para, const QFontMetrics& fm, int width) {
    std::vector<QString> lines;
    QString line;
    int i = 0;
    while (i < para.size()) {
        const int start = i;
        while (i < para.size() && para[i] != QLatin1Char(' ')) {
            ++i;
        }
        const QString word = para.mid(start, i - start);
        int spaces = i;
        while (spaces < para.size() && para[spaces] == QLatin1Char(' ')) {
            ++spaces;
        }
        if (!line.isEmpty() && fm.horizontalAdvance(line + word) > width) {
            lines.push_back(line);
            while (lines.back().endsWith(QLatin1Char(' '))) {
                lines.back().chop(1);
            }
            line = word;
        } else {
            line += word;
        }
        line += para.mid(i, spaces - i);
        i = spaces;
    }
    while (line.endsWith(QLatin1Char(' '))) {
        line.chop(1);
    }
    lines.push_back(line);
    return lines;
}

// Left-aligned, opaque, clipped to rect: what DrawText(DT_WORDBREAK) must produce.
void ReferenceDraw(QImage& image, const CFont& font, const std::string& text, const QRect& rect, QColor ink,
                   QColor background) {
    const CFontData& data = *font.Data();
    const QFontMetrics fm(data.font);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(rect);
    p.setFont(data.font);
    p.setPen(ink);
    int y = rect.top();
    for (const QString& para : QString::fromLatin1(text.c_str()).split(QLatin1Char('\n'))) {
        for (const QString& line : ReferenceWrap(para, fm, rect.width())) {
            if (!line.isEmpty()) {
                p.fillRect(QRect(rect.left(), y, fm.horizontalAdvance(line), data.cellHeight), background);
                p.drawText(QPoint(rect.left(), y + data.ascent), line);
            }
            y += data.cellHeight;
        }
    }
}

QImage DrawnByDC(CFont& font, const std::string& text, const QRect& rect, QSize size) {
    CBitmap bitmap;
    bitmap.CreateBitmap(size.width(), size.height());
    {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
        dc.SelectObject(&font);
        dc.SetTextColor(RGB(0, 0, 128));
        dc.SetBkColor(RGB(255, 255, 200));
        RECT r{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
        dc.DrawText(text.c_str(), -1, &r, DT_WORDBREAK);
    }
    return *bitmap.Image();
}

// Where two images first differ, for the failure message.
std::string FirstDifference(const QImage& a, const QImage& b) {
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                return "first difference at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
        }
    }
    return "identical";
}

} // namespace

// The layout measures its growing line after every word: each prefix, trailing space and all,
// must come out as Qt measures it whole.
TEST(TextMeasure, ExtentOfEveryGrowingLineMatchesQt) {
    const std::vector<std::string> entries = InstructionEntries();
    ASSERT_GT(entries.size(), 50u);
    CBitmap bitmap;
    bitmap.CreateBitmap(8, 8);
    for (const char* face : kFaces) {
        for (int height : kHeights) {
            CFont font;
            ASSERT_TRUE(font.CreateSimple(height, face));
            CDC dc;
            dc.CreateCompatibleDC(nullptr);
            dc.SelectObject(&bitmap);
            dc.SelectObject(&font);
            int mismatches = 0;
            for (size_t e = 0; e < entries.size(); e += 2) {
                const std::string& entry = entries[e];
                for (size_t end = entry.find(' '); end != std::string::npos; end = entry.find(' ', end + 1)) {
                    const std::string prefix = entry.substr(0, end + 1);
                    SIZE size{0, 0};
                    dc.GetTextExtentPoint32A(prefix.c_str(), static_cast<int>(prefix.size()), &size);
                    if (size.cx != QtWidth(font, prefix) && ++mismatches <= 3) {
                        ADD_FAILURE() << face << " " << height << ": '" << prefix << "' " << size.cx << " vs "
                                      << QtWidth(font, prefix);
                    }
                }
                SIZE size{0, 0};
                dc.GetTextExtentPoint32A(entry.c_str(), -1, &size);
                EXPECT_EQ(size.cx, QtWidth(font, entry)) << face << " " << height;
                EXPECT_EQ(size.cy, height);
            }
            EXPECT_EQ(mismatches, 0) << face << " " << height;
        }
    }
}

// Runs with characters whose width depends on their surroundings (tabs, line breaks, the soft
// hyphen, Qt's own end-of-text mark) measure as Qt measures them whole.
TEST(TextMeasure, LineBreaksAndTabsMeasureAsQtDoes) {
    CFont font;
    ASSERT_TRUE(font.CreateSimple(20, "Arial"));
    CBitmap bitmap;
    bitmap.CreateBitmap(8, 8);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bitmap);
    dc.SelectObject(&font);
    for (const std::string text :
         {"two words\nand more", "a\tb c", "tab\tin the middle\tof it", "soft\xADhyphen\xAD and\xAD",
          "end\x9Cof text", "  lead", "trail  ", " ", ""}) {
        SIZE size{0, 0};
        dc.GetTextExtentPoint32A(text.c_str(), static_cast<int>(text.size()), &size);
        EXPECT_EQ(size.cx, QtWidth(font, text)) << "'" << text << "'";
    }
    // The same word measured again (from the font's memory) and in a new font of the same face.
    SIZE first{0, 0}, again{0, 0}, other{0, 0};
    dc.GetTextExtentPoint32A("Possibles", 9, &first);
    dc.GetTextExtentPoint32A("Possibles", 9, &again);
    CFont bigger;
    ASSERT_TRUE(bigger.CreateSimple(40, "Arial"));
    dc.SelectObject(&bigger);
    dc.GetTextExtentPoint32A("Possibles", 9, &other);
    EXPECT_EQ(first.cx, again.cx);
    EXPECT_EQ(other.cx, QtWidth(bigger, "Possibles"));
    EXPECT_GT(other.cx, first.cx);
}

// Wrapped panel text, pixel for pixel, across faces, heights and panel widths, including widths
// narrower than some words.
TEST(TextMeasure, WordBreakDrawsExactlyAsWholeLineWrapping) {
    const std::vector<std::string> entries = InstructionEntries();
    const QSize canvas(700, 900);
    int compared = 0;
    for (const char* face : kFaces) {
        for (int height : kHeights) {
            CFont font;
            ASSERT_TRUE(font.CreateSimple(height, face));
            for (int width : {60, 173, 260, 411, 655}) {
                const size_t first = static_cast<size_t>(compared * 7) % (entries.size() - 12);
                const std::string text = PanelStyleText(entries, first, 12);
                const QRect rect(20, 10, width, canvas.height() - 30);
                const QImage drawn = DrawnByDC(font, text, rect, canvas);
                QImage expected(canvas, QImage::Format_RGB32);
                expected.fill(Qt::white);
                ReferenceDraw(expected, font, text, rect, QColor(0, 0, 128), QColor(255, 255, 200));
                EXPECT_TRUE(drawn == expected) << face << " " << height << " in " << width
                                               << " px: " << FirstDifference(drawn, expected);
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 4 * 9 * 5);
}
