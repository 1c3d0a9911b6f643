#include "PlatformTestUtil.h"

#include <gtest/gtest.h>

#include <QFontInfo>

#include <cstring>
#include <vector>

TEST(Formatting, WsprintfNeverWritesPastTheBuffer) {
    struct {
        char buf[8];
        char guard[8];
    } mem;
    memset(mem.guard, 'G', sizeof mem.guard);
    int n = wsprintfA(mem.buf, "%i", 123456789);
    EXPECT_EQ(n, 7);
    EXPECT_STREQ(mem.buf, "1234567");
    for (char g : mem.guard)
        EXPECT_EQ(g, 'G');

    n = wsprintfA(mem.buf, "%s", "a very long piece of text");
    EXPECT_EQ(n, 7);
    EXPECT_EQ(mem.buf[7], '\0');
    for (char g : mem.guard)
        EXPECT_EQ(g, 'G');
}

TEST(Formatting, WsprintfFormatsTheGameFormats) {
    char buf[32];
    EXPECT_EQ(wsprintfA(buf, "%i", -17), 3);
    EXPECT_STREQ(buf, "-17");
    wsprintfA(buf, "%2i", 5);
    EXPECT_STREQ(buf, " 5");
    wsprintfA(buf, "%s%i%s", "Page ", 12, "!");
    EXPECT_STREQ(buf, "Page 12!");
}

TEST(Formatting, CStringBasicsAndTimeFormat) {
    CString s = "You have ";
    s += "35";
    s = s + ".";
    EXPECT_EQ(s, "You have 35.");
    EXPECT_EQ(s.GetLength(), 12);
    EXPECT_EQ(s.Left(100), s);
    EXPECT_EQ(s.GetAt(100), '\0');
    EXPECT_TRUE(CString().IsEmpty());

    CTime t(86400 * 365);
    CString c = t.Format("%c");
    EXPECT_FALSE(c.IsEmpty());
    EXPECT_EQ(t.Format("%Y").GetLength(), 4);
}

// The layout of every text depends on fonts having exactly the requested cell height.
TEST(Fonts, CellHeightEqualsRequestedHeight) {
    CTestView view;
    ShowView(view, 200, 100);
    CClientDC dc(&view);
    for (const char* face :
         {"Arial", "Arial Bold", "Lucida Console", "Courier New", "Microsoft Sans Serif"}) {
        for (int height : {10, 11, 12, 15, 22, 28, 35, 49, 89}) {
            CFont font;
            font.CreateFontA(height, 0, 0, 0, 0, 0, 0, 0, ANSI_CHARSET, OUT_DEVICE_PRECIS,
                             CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 0, face);
            dc.SelectObject(&font);
            SIZE size{0, 0};
            ASSERT_TRUE(dc.GetTextExtentPoint32A("MW", 2, &size));
            EXPECT_EQ(size.cy, height) << face;
            EXPECT_GT(size.cx, height / 2) << face;
            // The glyphs fill most of the cell rather than a fraction of it.
            EXPECT_GE(font.Data()->font.pixelSize(), height * 3 / 4) << face << " " << height;
        }
    }
}

TEST(Fonts, FacesMapToInstalledFamiliesAndBoldSuffix) {
    bool bold = false;
    EXPECT_EQ(CFont::MapFace("Arial Bold", &bold), "Liberation Sans");
    EXPECT_TRUE(bold);
    EXPECT_EQ(CFont::MapFace("Arial", &bold), "Liberation Sans");
    EXPECT_FALSE(bold);
    EXPECT_EQ(CFont::MapFace("Courier New", &bold), "Liberation Mono");
    EXPECT_EQ(CFont::MapFace("Lucida Console", &bold), "DejaVu Sans Mono");
    EXPECT_EQ(CFont::MapFace("Microsoft Sans Serif", &bold), "DejaVu Sans");

    CFont regular, heavy;
    regular.CreateSimple(30, "Arial");
    heavy.CreateSimple(30, "Arial Bold");
    CTestView view;
    ShowView(view, 100, 50);
    CClientDC dc(&view);
    dc.SelectObject(&regular);
    int wRegular = dc.GetTextExtent("nnnn", 4).cx;
    dc.SelectObject(&heavy);
    int wBold = dc.GetTextExtent("nnnn", 4).cx;
    EXPECT_GT(wBold, wRegular);
    EXPECT_TRUE(QFontInfo(heavy.Data()->font).bold());
    // A monospaced face: every character equally wide.
    CFont mono;
    mono.CreateSimple(20, "Lucida Console");
    dc.SelectObject(&mono);
    EXPECT_EQ(dc.GetTextExtent("iiii", 4).cx, dc.GetTextExtent("MMMM", 4).cx);
}

namespace {
class CFixedMeasurer : public ITextMeasurer {
  public:
    SIZE Measure(const CFont*, const char*, int count) override { return SIZE{count * 7, 13}; }
};
} // namespace

TEST(Fonts, MeasurerCanBeReplaced) {
    CFixedMeasurer fixed;
    CDC dc;
    AfxSetTextMeasurer(&fixed);
    SIZE s{0, 0};
    dc.GetTextExtentPoint32A("hello", -1, &s);
    AfxSetTextMeasurer(nullptr);
    EXPECT_EQ(s.cx, 35);
    EXPECT_EQ(s.cy, 13);
    dc.GetTextExtentPoint32A("hello", -1, &s);
    EXPECT_NE(s.cx, 35);
}

// Each face of the Fonts menu is a face of its own on this machine: installed (not a stand-in that
// fontconfig chose), different from the other three, and drawing the possibles differently, at the
// cell height asked for.
TEST(Fonts, TheFourFontsMenuFacesAreFourInstalledFaces) {
    const char* const faces[4] = {"Lucida Console", "Microsoft Sans Serif", "Arial Bold", "Arial"};
    std::vector<std::pair<QString, bool>> resolved;
    std::vector<QImage> drawn;
    for (const char* face : faces) {
        CFont font;
        font.CreateFontA(14, 0, 0, 0, 0, 0, 0, 0, ANSI_CHARSET, OUT_DEVICE_PRECIS, CLIP_DEFAULT_PRECIS,
                         PROOF_QUALITY, 0, face);
        const QFontInfo info(font.Data()->font);
        bool bold = false;
        EXPECT_EQ(info.family(), QString(CFont::MapFace(face, &bold))) << face << " is not installed";
        EXPECT_EQ(info.bold(), bold) << face;
        resolved.emplace_back(info.family(), info.bold());
        if (std::strcmp(face, "Lucida Console") == 0) {
            EXPECT_TRUE(info.fixedPitch());
        }

        CBitmap bitmap;
        bitmap.CreateBitmap(120, 20);
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
        dc.SelectObject(&font);
        dc.SetTextColor(RGB(160, 160, 160));
        dc.TextOut(0, 0, "123456789", 9);
        SIZE size{0, 0};
        dc.GetTextExtentPoint32A("123456789", 9, &size);
        EXPECT_EQ(size.cy, 14) << face;
        dc.DeleteDC();
        drawn.push_back(*bitmap.Image());
    }
    for (size_t i = 0; i < 4; ++i) {
        for (size_t j = i + 1; j < 4; ++j) {
            EXPECT_NE(resolved[i], resolved[j]) << faces[i] << " and " << faces[j];
            EXPECT_NE(drawn[i], drawn[j]) << faces[i] << " and " << faces[j] << " draw alike";
        }
    }
}
