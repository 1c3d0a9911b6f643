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
    EXPECT_EQ(mem.GetPixel(1, 1), RGB(1, 2, 3));
    EXPECT_EQ(mem.GetPixel(2, 2), kWhite);
    EXPECT_TRUE(mem.DeleteDC());
    EXPECT_FALSE(mem.IsValid());
    EXPECT_FALSE(bitmap.LoadBitmap(4242)); // missing resources fail instead of crashing
    EXPECT_EQ(bitmap.GetSize(), CSize(0, 0));
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
    CClientDC dc(&view);
    CFont font;
    font.CreateSimple(20, "Arial");
    dc.SelectObject(&font);
    RECT calc{0, 0, 200, 100};
    dc.DrawText("A&&B", -1, &calc, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(calc.right, dc.GetTextExtent("A&B", 3).cx);
    EXPECT_EQ(calc.bottom, 20);
    RECT noPrefix{0, 0, 200, 100};
    dc.DrawText("A&&B", -1, &noPrefix, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(noPrefix.right, dc.GetTextExtent("A&&B", 4).cx);
    RECT lines{0, 0, 200, 100};
    EXPECT_EQ(dc.DrawText("a\nb\nc", -1, &lines, 0), 60);
}

TEST(Objects, CStringBoundsAreSafe) {
    CString s("abc");
    EXPECT_EQ(s.Mid(5), "");
    EXPECT_EQ(s.Mid(-3, 2), "ab");
    EXPECT_EQ(s.Right(10), "abc");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Find('c'), 2);
    EXPECT_EQ(s.Find("zz"), -1);
    EXPECT_EQ(s.CompareNoCase("ABC"), 0);
    EXPECT_EQ(CString("xyz", 2), "xy");
    char small[4];
    EXPECT_EQ(AfxFormat(small, sizeof small, "%s", "overflowing"), 3);
    EXPECT_STREQ(small, "ove");
}

TEST(Windows, DocumentRepaintsEveryViewButTheSender) {
    CDocument doc;
    CTestView a, b;
    doc.AddView(&a);
    doc.AddView(&b);
    ShowView(a, 50, 50);
    ShowView(b, 50, 50);
    int drawsA = a.m_drawCount, drawsB = b.m_drawCount;
    doc.UpdateAllViews(&a);
    QApplication::processEvents();
    EXPECT_EQ(a.m_drawCount, drawsA);
    EXPECT_EQ(b.m_drawCount, drawsB + 1);
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
    EXPECT_FALSE(ShowCaret(nullptr));
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
            // Focus starts on the first tab stop; WM_NEXTDLGCTL with FALSE moves to the next.
            EXPECT_EQ(dialog->focusWidget(), dlg.GetDlgItem(1002)->Widget());
            dlg.SendMessage(WM_NEXTDLGCTL, 0, FALSE);
            EXPECT_EQ(dialog->focusWidget(), dlg.GetDlgItem(1003)->Widget());
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
