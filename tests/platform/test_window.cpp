#include "PlatformTestUtil.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <ctime>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CRecordingView : public CTestView {
  public:
    std::vector<std::string> m_events;
    std::vector<UINT> m_keys;
    void OnLButtonDown(UINT, CPoint p) override { Log("down", p); }
    void OnLButtonUp(UINT, CPoint p) override { Log("up", p); }
    void OnLButtonDblClk(UINT, CPoint p) override { Log("dblclk", p); }
    void OnRButtonDown(UINT, CPoint p) override { Log("rdown", p); }
    void OnKeyDown(UINT nChar, UINT, UINT) override { m_keys.push_back(nChar); }

  private:
    void Log(const char* what, CPoint p) {
        m_events.push_back(std::string(what) + " " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
};

void Press(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(w, static_cast<Qt::Key>(key), mods);
}

} // namespace

TEST(Caret, CountsShowAndHideLikeWin32AndDrawsInverted) {
    CTestView view;
    CBrush black(RGB(0, 0, 0));
    view.m_draw = [&](CDC* dc) {
        RECT r{0, 0, 100, 100};
        dc->FillRect(&r, &black);
    };
    ShowView(view, 100, 100);
    CBitmap shape;
    ASSERT_TRUE(shape.CreateBitmap(3, 15)); // white: inverts every pixel it covers

    ASSERT_TRUE(view.CreateCaret(&shape));
    CCaretState s = AfxGetCaretState();
    EXPECT_TRUE(s.exists);
    EXPECT_FALSE(s.visible); // a new caret is hidden
    EXPECT_EQ(s.hideCount, 1);
    EXPECT_EQ(s.width, 3);
    EXPECT_EQ(s.height, 15);

    view.ShowCaret();
    EXPECT_TRUE(AfxGetCaretState().visible);
    view.ShowCaret(); // no effect at 0
    EXPECT_EQ(AfxGetCaretState().hideCount, 0);
    view.HideCaret();
    view.HideCaret();
    EXPECT_EQ(AfxGetCaretState().hideCount, 2);
    view.ShowCaret();
    EXPECT_FALSE(AfxGetCaretState().visible);
    view.ShowCaret();
    EXPECT_TRUE(AfxGetCaretState().visible);

    CWnd::SetCaretPos(20, 30);
    EXPECT_EQ(AfxGetCaretState().x, 20);
    EXPECT_EQ(AfxGetCaretState().y, 30);

    // The caret is an overlay at presentation, not part of the backing image.
    QImage shown = view.Widget()->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(21, 35)), QColor(Qt::white));
    EXPECT_EQ(QColor(shown.pixel(23, 35)), QColor(Qt::black));
    EXPECT_EQ(PixelAt(view, 21, 35), RGB(0, 0, 0));

    // Creating a new caret starts hidden again.
    view.CreateCaret(&shape);
    EXPECT_EQ(AfxGetCaretState().hideCount, 1);
}

TEST(Input, MainRowDigitsKeypadDigitsAndNavigationKeys) {
    CRecordingView view;
    ShowView(view, 200, 100);
    QWidget* w = view.Widget();
    Press(w, Qt::Key_5);
    Press(w, Qt::Key_5, Qt::KeypadModifier);
    Press(w, Qt::Key_Home);
    Press(w, Qt::Key_End);
    Press(w, Qt::Key_Delete);
    Press(w, Qt::Key_Left);
    Press(w, Qt::Key_Up);
    Press(w, Qt::Key_Right);
    Press(w, Qt::Key_Down);
    Press(w, Qt::Key_PageDown);
    Press(w, Qt::Key_PageUp);
    Press(w, Qt::Key_F1);
    Press(w, Qt::Key_Return);
    Press(w, Qt::Key_Tab);
    std::vector<UINT> expected{'5',      VK_NUMPAD5, VK_HOME, VK_END,   VK_DELETE, VK_LEFT,   VK_UP,
                               VK_RIGHT, VK_DOWN,    VK_NEXT, VK_PRIOR, VK_F1,     VK_RETURN, VK_TAB};
    EXPECT_EQ(view.m_keys, expected);
}

// The main-row digit keys by their xkb keycodes (10 to 19 on X11 and Wayland), whatever character
// Shift or the layout gives them; the keypad's keys have other codes and stay keypad keys.
TEST(Input, MainRowDigitsByPositionWhateverShiftAndLayout) {
    CRecordingView view;
    ShowView(view, 200, 100);
    struct Native {
        int key;
        Qt::KeyboardModifiers modifiers;
        quint32 keycode;
    };
    const Native keys[] = {
        {Qt::Key_Exclam, Qt::ShiftModifier, 10}, // Shift+1 on a US layout
        {Qt::Key_Ampersand, Qt::NoModifier, 10}, // the unshifted 1 key of an AZERTY layout
        {Qt::Key_Eacute, Qt::NoModifier, 11},    // its 2 key
        {Qt::Key_ParenLeft, Qt::ShiftModifier, 18},
        {Qt::Key_Agrave, Qt::NoModifier, 19},
        {Qt::Key_7, Qt::KeypadModifier, 79},
        {Qt::Key_A, Qt::NoModifier, 24}, // the AZERTY A where a US Q is
    };
    for (const Native& k : keys) {
        QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, k.keycode, 0, 0);
        QApplication::sendEvent(view.Widget(), &press);
    }
    const std::vector<UINT> expected{'1', '1', '2', '9', '0', VK_NUMPAD7, 'A'};
    EXPECT_EQ(view.m_keys, expected);
}

TEST(Input, DoubleClickOrderIsPressReleaseDoubleClickRelease) {
    CRecordingView view;
    ShowView(view, 200, 100);
    // The event sequence Qt delivers for a double click.
    QTest::mousePress(view.Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(12, 34));
    QTest::mouseRelease(view.Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(12, 34));
    QTest::mouseDClick(view.Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(12, 34));
    QTest::mouseRelease(view.Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(12, 34));
    QTest::mouseClick(view.Widget(), Qt::RightButton, Qt::NoModifier, QPoint(5, 6));
    std::vector<std::string> expected{"down 12,34", "up 12,34", "dblclk 12,34", "up 12,34", "rdown 5,6"};
    EXPECT_EQ(view.m_events, expected);
}

// ---------------------------------------------------------------------------------------------
// Frame, routing, accelerators

namespace {
constexpr UINT kMenuId = 9100;
constexpr UINT kViewCmd = 32771, kDocCmd = 32780, kAppCmd = 32790, kNoHandler = ID_EDIT_UNDO;

class CRoutingView : public CRecordingView {
  public:
    int m_viewCmds = 0;
    BOOL m_enabled = TRUE;
    CRoutingView() {
        OnCommand(kViewCmd, &CRoutingView::OnViewCmd);
        OnUpdateCommand(kViewCmd, &CRoutingView::OnUpdateViewCmd);
    }
    void OnViewCmd() { ++m_viewCmds; }
    void OnUpdateViewCmd(CCmdUI* ui) { ui->Enable(m_enabled); }
};

class CRoutingDoc : public CDocument {
  public:
    int m_docCmds = 0, m_newDocs = 0;
    CRoutingDoc() {
        OnCommand(kDocCmd, [this] { ++m_docCmds; });
    }
    BOOL OnNewDocument() override {
        ++m_newDocs;
        return CDocument::OnNewDocument();
    }
};

class CRoutingApp : public CWinApp {
  public:
    int m_appCmds = 0;
    CRoutingApp() : CWinApp("Routing") {
        OnCommand(kAppCmd, [this] { ++m_appCmds; });
    }
};

class Frame : public ::testing::Test {
  protected:
    void SetUp() override {
        AfxRegisterMenu(kMenuId,
                        {{"&File", {{"&Print...\tCtrl+P", kViewCmd}, {nullptr, 0}, {"E&xit", ID_APP_EXIT}}},
                         {"Options", {{"Doc", kDocCmd}, {"App", kAppCmd}, {"Undo", kNoHandler}}}});
        AfxRegisterAccelerators(kMenuId, {{'P', FCONTROL, kViewCmd},
                                          {'N', FCONTROL, ID_FILE_NEW},
                                          {'Z', FCONTROL, kNoHandler},
                                          {VK_DELETE, FSHIFT, kDocCmd}});
        m_app.AddDocTemplate(CSingleDocTemplate::Create<CRoutingDoc, CFrameWnd, CRoutingView>(kMenuId));
        ASSERT_TRUE(m_app.OnFileNew());
        m_frame = static_cast<CFrameWnd*>(m_app.m_pMainWnd);
        m_view = static_cast<CRoutingView*>(m_frame->GetActiveView());
        m_doc = static_cast<CRoutingDoc*>(m_view->GetDocument());
        m_frame->ShowWindow(SW_SHOWMAXIMIZED);
        QApplication::processEvents();
    }
    void TearDown() override { m_app.DestroyDocuments(); }

    CRoutingApp m_app;
    CFrameWnd* m_frame = nullptr;
    CRoutingView* m_view = nullptr;
    CRoutingDoc* m_doc = nullptr;
};
} // namespace

TEST_F(Frame, CommandsRouteViewDocumentFrameApplicationAndUnhandledDoNothing) {
    ASSERT_NE(m_view, nullptr);
    EXPECT_EQ(m_doc->m_newDocs, 1);
    EXPECT_TRUE(m_frame->RouteCommand(kViewCmd));
    EXPECT_TRUE(m_frame->RouteCommand(kDocCmd));
    EXPECT_TRUE(m_frame->RouteCommand(kAppCmd));
    EXPECT_FALSE(m_frame->RouteCommand(kNoHandler));
    EXPECT_EQ(m_view->m_viewCmds, 1);
    EXPECT_EQ(m_doc->m_docCmds, 1);
    EXPECT_EQ(m_app.m_appCmds, 1);
    EXPECT_TRUE(m_frame->QueryCommandEnabled(kNoHandler)); // enabled but inert

    // The update handler decides; a disabled command does not run.
    m_view->m_enabled = FALSE;
    EXPECT_FALSE(m_frame->QueryCommandEnabled(kViewCmd));
    EXPECT_FALSE(m_frame->RouteCommand(kViewCmd));
    EXPECT_EQ(m_view->m_viewCmds, 1);
}

TEST_F(Frame, AcceleratorsFireThroughUpdateHandlersAndLeaveViewKeysAlone) {
    QWidget* w = m_view->Widget();
    Press(w, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(m_view->m_viewCmds, 1);
    m_view->m_enabled = FALSE;
    Press(w, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(m_view->m_viewCmds, 1);
    Press(w, Qt::Key_Z, Qt::ControlModifier); // no handler: nothing
    Press(w, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(m_doc->m_docCmds, 1);

    // New document: the document is re-initialised and the view repainted.
    int draws = m_view->m_drawCount;
    Press(w, Qt::Key_N, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(m_doc->m_newDocs, 2);
    EXPECT_EQ(m_view->m_drawCount, draws + 1);

    m_view->m_keys.clear();
    Press(w, Qt::Key_Delete);
    Press(w, Qt::Key_Home);
    Press(w, Qt::Key_F1);
    std::vector<UINT> expected{VK_DELETE, VK_HOME, VK_F1};
    EXPECT_EQ(m_view->m_keys, expected);
}

TEST_F(Frame, MenuBarFromDescriptionAndMainWindowShape) {
    QMainWindow* mw = m_frame->MainWindow();
    ASSERT_NE(mw, nullptr);
    auto menus = mw->menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("&File"));
    auto items = menus[0]->menu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("&Print..."));
    EXPECT_EQ(items[0]->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(mw->centralWidget(), m_view->Widget());
    EXPECT_EQ(mw->windowTitle(), QStringLiteral("Untitled - Routing"));
    // Maximised: covers the screen's available area.
    EXPECT_EQ(mw->frameGeometry().size(), mw->screen()->availableGeometry().size());

    // Update handlers run before the menu opens.
    m_view->m_enabled = FALSE;
    emit menus[0]->menu()->aboutToShow();
    EXPECT_FALSE(items[0]->isEnabled());
    EXPECT_TRUE(menus[1]->menu()->actions()[2]->isEnabled()); // no handler: enabled
}

// A modal window closing over the view asks it to paint (as the window system would) and the
// keyboard focus goes back to it; so does a menu command, also one chosen by keys.
TEST_F(Frame, ModalWindowsAndMenusRepaintTheViewAndReturnTheFocus) {
    QMainWindow* mw = m_frame->MainWindow();
    mw->activateWindow();
    QApplication::processEvents();
    const auto focusElsewhere = [&] {
        mw->menuBar()->setFocus(Qt::MenuBarFocusReason);
        QApplication::processEvents();
        ASSERT_NE(QApplication::focusWidget(), m_view->Widget());
    };
    focusElsewhere();
    int draws = m_view->m_drawCount;
    AfxSetModalHook([](const char*, QWidget*, const char*) { return static_cast<int>(IDOK); });
    AfxMessageBox("Covered", MB_OK);
    AfxSetModalHook(nullptr);
    QApplication::processEvents();
    EXPECT_EQ(m_view->m_drawCount, draws + 1) << "no paint after the message box";
    EXPECT_EQ(QApplication::focusWidget(), m_view->Widget());

    focusElsewhere();
    draws = m_view->m_drawCount;
    EXPECT_TRUE(m_view->PrintToPdf(QDir::temp().filePath("cellwright-cover-test.pdf").toUtf8().constData()));
    QFile::remove(QDir::temp().filePath("cellwright-cover-test.pdf"));
    QApplication::processEvents();
    EXPECT_EQ(m_view->m_drawCount, draws + 2) << "no paint after printing (one on paper, one on screen)";
    EXPECT_EQ(QApplication::focusWidget(), m_view->Widget());

    focusElsewhere();
    mw->menuBar()->actions()[1]->menu()->actions()[0]->trigger();
    QApplication::processEvents();
    EXPECT_EQ(m_doc->m_docCmds, 1);
    EXPECT_EQ(QApplication::focusWidget(), m_view->Widget()) << "the focus stayed in the menu bar";
}

// Window texts are in the player's locale: a date that the C library writes in UTF-8 (a French
// month with an accent) reaches the caption as the same characters.
TEST_F(Frame, CaptionDateInAUtf8LocaleReadsRight) {
    QTemporaryDir locales;
    ASSERT_TRUE(locales.isValid());
    QProcess localedef;
    localedef.start("localedef", {"-i", "fr_FR", "-f", "UTF-8", locales.filePath("fr_FR.UTF-8")});
    ASSERT_TRUE(localedef.waitForFinished(60000) && localedef.exitCode() == 0) << "localedef failed";
    qputenv("LOCPATH", QFile::encodeName(locales.path()));
    const std::string before = setlocale(LC_ALL, nullptr);
    ASSERT_NE(setlocale(LC_ALL, "fr_FR.UTF-8"), nullptr);
    struct tm december {};
    december.tm_year = 126;
    december.tm_mon = 11;
    december.tm_mday = 9;
    december.tm_hour = 12;
    const CString date = CTime(mktime(&december)).Format("%c");
    m_frame->SetWindowText(CString("Notice - ") + date);
    const QString title = m_frame->MainWindow()->windowTitle();
    const CString back = m_frame->GetWindowText();
    setlocale(LC_ALL, before.c_str());
    qunsetenv("LOCPATH");
    EXPECT_TRUE(title.contains(QString::fromUtf8("déc.")));
    EXPECT_EQ(std::string(back.GetString()), std::string("Notice - ") + date.GetString());
    // Bytes that are not UTF-8 are still taken as Latin-1.
    m_frame->SetWindowText("caf\xE9");
    EXPECT_EQ(m_frame->MainWindow()->windowTitle(), QString::fromUtf8("café"));
}

// ---------------------------------------------------------------------------------------------
// Modal hook, dialogs, sound

TEST(Modal, MessageBoxAnswersThroughTheHook) {
    std::vector<std::string> seen;
    AfxSetModalHook([&](const char* kind, QWidget*, const char* text) {
        seen.push_back(std::string(kind) + ":" + text);
        return IDCANCEL;
    });
    EXPECT_EQ(AfxMessageBox("Really?", MB_OK), IDCANCEL);
    AfxSetModalHook(nullptr);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "messagebox:Really?");
}

namespace {
const CDlgTemplate kEntryTemplate{"Entry",
                                  200,
                                  100,
                                  "MS Sans Serif",
                                  8,
                                  {{CDlgItemKind::Static, IDC_STATIC, "Type:", 10, 10, 100, 8, 0},
                                   {CDlgItemKind::Edit, 1002, "", 40, 30, 26, 14, WS_TABSTOP | ES_CENTER},
                                   {CDlgItemKind::Edit, 1003, "", 80, 30, 26, 14, WS_TABSTOP | ES_CENTER},
                                   {CDlgItemKind::Button, 1000, "Fill", 10, 60, 50, 14, 0},
                                   {CDlgItemKind::DefButton, IDOK, "OK", 80, 80, 50, 14, WS_TABSTOP},
                                   {CDlgItemKind::Button, IDCANCEL, "Cancel", 140, 80, 50, 14, WS_TABSTOP}}};

class CEntryDialog : public CDialog {
  public:
    CString m_a, m_b;
    bool m_focusSecond = false;
    CEntryDialog() : CDialog(&kEntryTemplate) { OnCommand(1000, &CEntryDialog::OnFill); }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 1002, m_a);
        DDV_MaxChars(pDX, m_a, 1);
        DDX_Text(pDX, 1003, m_b);
        DDV_MaxChars(pDX, m_b, 1);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (m_focusSecond) {
            SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(1003)->GetSafeHwnd()), TRUE);
            return FALSE;
        }
        return TRUE;
    }
    void OnFill() {
        m_a = "7";
        OnInitDialog();
    }
};
} // namespace

TEST(Modal, DialogLaysOutInDialogUnitsAndExchangesLimitedText) {
    CEntryDialog dlg;
    dlg.m_a = "4";
    dlg.m_focusSecond = true;
    std::vector<int> answers{1000, IDOK};
    size_t round = 0;
    QString firstText, focusName;
    AfxSetModalHook([&](const char* kind, QWidget* dialog, const char*) -> int {
        EXPECT_STREQ(kind, "dialog");
        if (round == 0) {
            EXPECT_EQ(dialog->size(), QSize(300, 162)); // 200 x 100 dialog units
            auto* edit = qobject_cast<QLineEdit*>(dlg.GetDlgItem(1003)->Widget());
            EXPECT_EQ(edit->geometry(), QRect(120, 48, 39, 22));
            EXPECT_EQ(edit->maxLength(), 1);
            EXPECT_EQ(dialog->focusWidget(), edit);
            firstText = qobject_cast<QLineEdit*>(dlg.GetDlgItem(1002)->Widget())->text();
        } else {
            QTest::keyClicks(dlg.GetDlgItem(1003)->Widget(), "89"); // the second character does not fit
        }
        return answers[round++];
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    AfxSetModalHook(nullptr);
    EXPECT_EQ(firstText, QStringLiteral("4"));
    EXPECT_EQ(dlg.m_a, "7"); // the Fill button's value reached the control and came back
    EXPECT_EQ(dlg.m_b, "8");
    EXPECT_FALSE(dlg.IsOpen());
    EXPECT_EQ(dlg.GetDlgItem(1002), nullptr);
}

TEST(Modal, CancelLeavesMembersUnchanged) {
    CEntryDialog dlg;
    dlg.m_a = "1";
    AfxSetModalHook([&](const char*, QWidget*, const char*) {
        qobject_cast<QLineEdit*>(dlg.GetDlgItem(1002)->Widget())->setText("9");
        return IDCANCEL;
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    AfxSetModalHook(nullptr);
    EXPECT_EQ(dlg.m_a, "1");
}

namespace {
class CRecorder : public ISoundPlayer {
  public:
    std::vector<std::pair<int, bool>> m_played;
    int Play(int id, bool synchronous) override {
        m_played.emplace_back(id, synchronous);
        return 1;
    }
};
} // namespace

TEST(Sound, RecorderReplacesThePlayerAndMissingSoundsReturnZero) {
    CRecorder recorder;
    AfxSetSoundPlayer(&recorder);
    AfxPlayWave(103, false);
    AfxPlayWave(101, true);
    AfxSetSoundPlayer(nullptr);
    std::vector<std::pair<int, bool>> expected{{103, false}, {101, true}};
    EXPECT_EQ(recorder.m_played, expected);
    EXPECT_EQ(AfxPlayWave(99999, true), 0);
}

namespace {
class CPrintingView : public CTestView {
  public:
    int m_prints = 0;
    CRect m_drawRect;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override {
        ++m_prints;
        m_drawRect = pInfo->m_rectDraw;
        CFont font;
        font.CreateSimple(pInfo->m_rectDraw.Height() / 60, "Arial");
        pDC->SelectObject(&font);
        pDC->TextOut(0, 0, "sheet", 5);
        pDC->EndPage(); // a second sheet made by OnPrint itself
        pDC->StartPage();
        pDC->TextOut(0, 0, "more", 4);
    }
};
} // namespace

TEST(Printing, PdfJobIsOneCallOfOnPrintWithThePrintableArea) {
    CPrintingView view;
    QString path = QDir::temp().filePath(QStringLiteral("cellwright-platform-print.pdf"));
    QFile::remove(path);
    EXPECT_TRUE(view.PrintToPdf(path.toUtf8().constData()));
    EXPECT_EQ(view.m_prints, 1); // no page count: the framework stops after the first call
    EXPECT_GT(view.m_drawRect.Width(), 1000);
    EXPECT_EQ(view.m_drawRect.left, 0);
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    QByteArray data = pdf.readAll();
    EXPECT_TRUE(data.startsWith("%PDF"));
    EXPECT_TRUE(data.contains("/Count 2"));
    pdf.close();
    QFile::remove(path);
}
