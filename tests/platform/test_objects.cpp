#include "PlatformTestUtil.h"

#include <QLineEdit>
#include <QMainWindow>

#include <gtest/gtest.h>

// GDI keeps the selected object until another is selected: re-creating a font does not change
// what a DC draws with until the new font is selected.
TEST(Objects, DcKeepsTheSelectedFontUntilReselected) {
    CTestView view;
    ShowView(view, 100, 100);
    CClientDC dc(&view);
    CFont font;
    font.CreateSimple(12, "Arial");
    dc.SelectObject(&font);
    font.DeleteObject();
    font.CreateSimple(40, "Arial");
    EXPECT_EQ(dc.GetTextExtent("x", 1).cy, 12);
    CFont* previous = dc.SelectObject(&font);
    EXPECT_EQ(previous, &font);
    EXPECT_EQ(dc.GetTextExtent("x", 1).cy, 40);
}

TEST(Objects, BitmapsOnlyGoIntoMemoryDcs) {
    CTestView view;
    ShowView(view, 50, 50);
    CBitmap bitmap;
    bitmap.CreateBitmap(4, 4);
    CClientDC screen(&view);
    EXPECT_EQ(screen.SelectObject(&bitmap), nullptr);
    CDC mem;
    EXPECT_TRUE(mem.CreateCompatibleDC(&screen));
    EXPECT_EQ(mem.SelectObject(&bitmap), nullptr); // nothing was selected before
    RECT r{0, 0, 2, 2};
    mem.FillSolidRect(&r, RGB(1, 2, 3));
    EXPECT_TRUE(mem.DeleteDC());
    EXPECT_EQ(bitmap.Image()->pixel(1, 1), qRgb(1, 2, 3));
    EXPECT_EQ(bitmap.Image()->pixel(2, 2), qRgb(255, 255, 255));
    EXPECT_FALSE(mem.IsValid());
    EXPECT_FALSE(bitmap.LoadBitmap(4242)); // missing resources fail instead of crashing
    EXPECT_EQ(bitmap.Image(), nullptr);
}

TEST(Objects, DiagonalLinesHaveOnePixelPerStepAndNoEndPoint) {
    CTestView view;
    ShowView(view, 100, 100);
    CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
    {
        CClientDC dc(&view);
        dc.SelectObject(&pen);
        dc.MoveTo(10, 10);
        dc.LineTo(40, 20);
    }
    int count = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            count += PixelAt(view, x, y) == RGB(0, 0, 255);
    EXPECT_EQ(count, 30);
    EXPECT_EQ(PixelAt(view, 40, 20), kWhite);
}

TEST(Objects, DrawTextPrefixesAndMeasuredHeight) {
    CTestView view;
    ShowView(view, 200, 100);
    CFont font;
    font.CreateSimple(20, "Arial");
    {
        CClientDC dc(&view);
        dc.SelectObject(&font);
        RECT prefixed{0, 0, 100, 20};
        dc.DrawText("A&&B", -1, &prefixed, DT_SINGLELINE);
        dc.TextOut(100, 0, "A&B", 3);
        RECT lines{0, 30, 200, 100};
        EXPECT_EQ(dc.DrawText("a\nb\nc", -1, &lines, 0), 60);
    }
    // "&&" draws one "&", as TextOut draws "A&B".
    const QImage image = view.BackingImage();
    EXPECT_EQ(image.copy(0, 0, 100, 20), image.copy(100, 0, 100, 20));
}

TEST(Objects, CStringBoundsAreSafe) {
    CString s("abc");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.GetAt(-1), '\0');
    EXPECT_EQ(CString("xyz", 2), "xy");
}

TEST(Windows, DocumentKnowsItsViews) {
    CDocument doc;
    CTestView a, b;
    doc.AddView(&a);
    doc.AddView(&b);
    EXPECT_EQ(a.GetDocument(), &doc);
    doc.RemoveView(&b);
    EXPECT_EQ(b.GetDocument(), nullptr);
}

TEST(Windows, CaretGoesAwayWithItsWindow) {
    CBitmap shape;
    shape.CreateBitmap(1, 5);
    {
        CTestView view;
        ShowView(view, 40, 40);
        view.CreateCaret(&shape);
        view.ShowCaret();
        EXPECT_TRUE(AfxGetCaretState().visible);
    }
    EXPECT_FALSE(AfxGetCaretState().exists);
    CWnd::SetCaretPos(3, 3); // no owner: harmless
}

namespace {
const CDlgTemplate kTinyTemplate{"Tiny",
                                 100,
                                 40,
                                 "MS Sans Serif",
                                 8,
                                 {{CDlgItemKind::Edit, 1002, "", 5, 5, 26, 14, WS_TABSTOP},
                                  {CDlgItemKind::Edit, 1003, "", 40, 5, 26, 14, WS_TABSTOP},
                                  {CDlgItemKind::Button, 1000, "Again", 5, 22, 40, 14, WS_TABSTOP},
                                  {CDlgItemKind::DefButton, IDOK, "OK", 50, 22, 40, 14, WS_TABSTOP}}};

class CTinyDialog : public CDialog {
  public:
    int m_clicks = 0;
    CTinyDialog() : CDialog(&kTinyTemplate) {
        OnCommand(1000, [this] { ++m_clicks; });
    }
};
} // namespace

TEST(Modal, HookThatNeverEndsTheDialogCannotHang) {
    CTinyDialog dlg;
    int rounds = 0;
    AfxSetModalHook([&](const char*, QWidget* dialog, const char*) {
        if (rounds++ == 0) {
            // Focus starts on the first tab stop.
            EXPECT_EQ(dialog->focusWidget(), dlg.GetDlgItem(1002)->Widget());
        }
        return 1000;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    AfxSetModalHook(nullptr);
    EXPECT_EQ(dlg.m_clicks, rounds);
    EXPECT_GT(rounds, 1);
}

TEST(Modal, DialogWithoutTemplateFailsAndFileCommandsAskTheHook) {
    CDialog missing(777u);
    EXPECT_EQ(missing.DoModal(), -1);

    std::vector<std::string> kinds;
    AfxSetModalHook([&](const char* kind, QWidget*, const char* text) {
        kinds.push_back(std::string(kind) + ":" + text);
        return IDCANCEL;
    });
    CWinApp app("Files");
    app.OnFileOpen();
    CDocument doc;
    EXPECT_FALSE(doc.DoFileSave());
    app.OnFilePrintSetup();
    AfxSetModalHook(nullptr);
    std::vector<std::string> expected{"fileopen:All Files (*.*)", "filesave:All Files (*.*)",
                                      "pagesetup:Print Setup"};
    EXPECT_EQ(kinds, expected);
}
