// Baseline recorder for the tidy-up (kept outside the project): plays seeded scenarios on the real
// view and writes what they draw on screen and paper, what a screen reader finds, and the sounds.
// Run with RECORD_DIR=<dir>; compare two directories with diff -r.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QPageSize>
#include <QPrinter>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "PdfReader.h"
#include "PlayHarness.h"
#include "common/MenuIds.h"
#include "shell/QuillmoorApp.h"

namespace {

QString OutDir() {
    const char* dir = std::getenv("RECORD_DIR");
    return dir ? QString::fromLocal8Bit(dir) : QString("/tmp/record");
}

class CRecorder {
  public:
    explicit CRecorder(const char* name) : m_name(QString::fromLatin1(name)) {
        QDir().mkpath(OutDir());
        m_file = std::fopen((OutDir() + "/" + name + ".txt").toLocal8Bit().constData(), "w");
        ClearSounds();
    }
    ~CRecorder() { std::fclose(m_file); }

    void Note(const std::string& text) { std::fprintf(m_file, "N %s\n", text.c_str()); }

    void Step(CQuillmoorView& v, const char* what) {
        ProcessEvents();
        ++m_step;
        std::fprintf(m_file, "== %d %s\n", m_step, what);
        Flush();
        std::fprintf(m_file,
                     "state option=%d phase=%d verdict=%d points=%d initial=%d empty=%d perf=%d help=%d page=%d/%d "
                     "given=%d caret=%d,%d show=%d font=%d:%s ready=%d\n",
                     v.m_option, v.m_phase, v.m_verdict, v.m_points, v.m_initialPoints, v.m_emptyCount,
                     v.m_performance, v.m_helpShown, v.m_currentPage, v.m_pageCount, v.m_givenCount, v.m_caretRow,
                     v.m_caretCol, v.m_caretShowCount, v.m_fontIndex, v.m_fontName.GetString(), v.m_gridReady);
        const CCaretState caret = AfxGetCaretState();
        std::fprintf(m_file, "caret exists=%d visible=%d hide=%d at=%d,%d size=%dx%d mine=%d\n", caret.exists,
                     caret.visible, caret.hideCount, caret.x, caret.y, caret.width, caret.height,
                     caret.owner == &v);
        std::string grid, squares;
        for (int s = 0; s < 81; ++s) {
            grid += char('0' + v.m_grid[s / 9][s % 9]);
            const SquareRecord& sq = v.m_squares[s];
            squares += std::to_string(sq.value) + (sq.fixed ? "f" : "") + (sq.possiblesPaid ? "p" : "");
            for (int k = 0; k < 9 && sq.possibles[k] > 0; ++k) {
                squares += char('0' + sq.possibles[k]);
            }
            squares += ' ';
        }
        std::fprintf(m_file, "grid %s\nsquares %s\n", grid.c_str(), squares.c_str());
        if (CWnd* main = AfxGetMainWnd()) {
            std::fprintf(m_file, "caption %s\n", main->GetWindowText().GetString());
        }
        Accessible(v, 0, 0);
        std::fprintf(m_file, "focus %d\n", v.AccessibleFocus());
        const QString image = QString("%1/%2_%3.png").arg(OutDir(), m_name).arg(m_step, 3, 10, QChar('0'));
        v.BackingImage().save(image);
        std::fflush(m_file);
    }

    void Print(CQuillmoorView& v, const char* what) {
        ProcessEvents();
        ++m_step;
        const QString pdf = QString("%1/%2_%3.pdf").arg(OutDir(), m_name).arg(m_step, 3, 10, QChar('0'));
        const BOOL ok = v.PrintToPdf(pdf.toUtf8().constData());
        std::fprintf(m_file, "== %d print %s ok=%d\n", m_step, what, ok);
        Flush();
        const int pages = PdfPageCount(pdf);
        std::fprintf(m_file, "pages %d\n", pages);
        for (int p = 1; p <= pages; ++p) {
            RenderPdfPage(pdf, p, 50)
                .save(QString("%1/%2_%3_p%4.png").arg(OutDir(), m_name).arg(m_step, 3, 10, QChar('0')).arg(p));
        }
        QFile::remove(pdf);
        std::fflush(m_file);
    }

  private:
    void Flush() {
        for (const CTextRecord& r : m_log.m_texts) {
            std::fprintf(m_file, "T %c%c [%s] %d,%d,%d,%d fmt=%x col=%06x %s/%s h=%d\n", r.printer ? 'P' : 'S',
                         r.textOut ? 'O' : 'D', r.text.GetString(), r.rect.left, r.rect.top, r.rect.right,
                         r.rect.bottom, r.format, static_cast<unsigned>(r.colour), r.face.GetString(),
                         r.family.GetString(), r.height);
        }
        m_log.Clear();
        for (const auto& cue : TestSoundRecorder().m_cues) {
            std::fprintf(m_file, "S %d %s\n", cue.id, cue.synchronous ? "sync" : "async");
        }
        ClearSounds();
    }

    void Accessible(CQuillmoorView& v, int id, int depth) {
        CAccessibleItem item;
        if (v.DescribeAccessible(id, &item)) {
            std::fprintf(m_file, "A%*s%d role=%d [%s] desc=[%s] key=[%s] %d,%d,%d,%d cell=%d,%d table=%dx%d f=%d\n",
                         depth, "", id, static_cast<int>(item.role), item.name.GetString(),
                         item.description.GetString(), item.key.GetString(), item.rect.left, item.rect.top,
                         item.rect.right, item.rect.bottom, item.row, item.column, item.rows, item.columns,
                         item.focusable);
        } else {
            std::fprintf(m_file, "A%*s%d (none)\n", depth, "", id);
        }
        int children[kMaxAccessibleChildren];
        const int count = v.AccessibleChildren(id, children);
        for (int i = 0; i < count; ++i) {
            Accessible(v, children[i], depth + 1);
        }
    }

    QString m_name;
    std::FILE* m_file;
    CTextLog m_log;
    int m_step = 0;
};

CPoint Centre(const RECT& r) {
    return RectCentre(r);
}

void KeyStep(CRecorder& rec, CQuillmoorView& v, Qt::Key key, const char* what,
             Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Key(v, key, mods);
    rec.Step(v, what);
}

// A long run of moves of every kind on a game in play. solution(r, c) is the square's right numeral.
template <class Solution> void PlayMoves(CRecorder& rec, CQuillmoorView& v, Solution solution) {
    const auto e = EmptySquares(v);
    ASSERT_GE(e.size(), 12u);
    auto sq = [&](size_t i) { return SquareCentre(v, e[i].first, e[i].second); };
    int originalR = -1, originalC = -1;
    for (int s = 0; s < 81 && originalR < 0; ++s) {
        if (v.m_grid[s / 9][s % 9] > 0) {
            originalR = s / 9;
            originalC = s % 9;
        }
    }

    RightClick(v, sq(0));
    rec.Step(v, "right click buys possibles");
    Click(v, SlotCentre(v, e[0].first, e[0].second, CQuillmoorView::kPossibleSlot[0]));
    rec.Step(v, "click first possible");
    TypeAt(v, e[1].first, e[1].second, solution(e[1].first, e[1].second));
    rec.Step(v, "type a numeral");
    Drag(v, BasketCentre(v, solution(e[2].first, e[2].second)), sq(2));
    rec.Step(v, "drag from basket");
    Drag(v, BasketCentre(v, 9), sq(3));
    rec.Step(v, "drag 9 from basket");
    Click(v, sq(1));
    rec.Step(v, "click fixes");
    Click(v, sq(1));
    rec.Step(v, "click unfixes");
    MoveCaretTo(v, e[1].first, e[1].second);
    KeyStep(rec, v, Qt::Key_F, "F fixes");
    KeyStep(rec, v, Qt::Key_F, "F unfixes");
    Drag(v, sq(2), sq(4));
    rec.Step(v, "move to empty");
    Drag(v, sq(4), sq(3));
    rec.Step(v, "swap");
    Drag(v, sq(3), Centre(v.m_titleRect));
    rec.Step(v, "drag off the grid");
    MoveCaretTo(v, e[1].first, e[1].second);
    KeyStep(rec, v, Qt::Key_Backspace, "backspace removes");
    KeyStep(rec, v, Qt::Key_Backspace, "backspace on empty");
    MoveCaretTo(v, e[5].first, e[5].second);
    KeyStep(rec, v, Qt::Key_P, "P buys");
    KeyStep(rec, v, Qt::Key_P, "P again");
    const int first = v.m_squares[e[5].first * 9 + e[5].second].possibles[0];
    if (first > 0) {
        KeyStep(rec, v, static_cast<Qt::Key>(Qt::Key_0 + first), "type a possible");
    }
    Click(v, SquareCentre(v, originalR, originalC));
    rec.Step(v, "click original");
    RightClick(v, SquareCentre(v, originalR, originalC));
    rec.Step(v, "right click original");
    Drag(v, BasketCentre(v, 3), SquareCentre(v, originalR, originalC));
    rec.Step(v, "drop on original");
    Drag(v, BasketCentre(v, 3), Centre(v.m_titleRect));
    rec.Step(v, "drop off grid");
    Drag(v, BasketCentre(v, 3), BasketCentre(v, 4));
    rec.Step(v, "drop on basket");
    RightClick(v, sq(5));
    rec.Step(v, "right click filled");
    TypeAt(v, e[6].first, e[6].second, solution(e[6].first, e[6].second));
    TypeAt(v, e[7].first, e[7].second, solution(e[7].first, e[7].second));
    rec.Step(v, "two typed");
    KeyStep(rec, v, Qt::Key_Home, "Home fixes all");
    TypeAt(v, e[8].first, e[8].second, solution(e[8].first, e[8].second));
    RightClick(v, sq(9));
    KeyStep(rec, v, Qt::Key_Delete, "Delete removes greens");
    DoubleClick(v, sq(6));
    rec.Step(v, "double click");
    Click(v, GridLineRightOf(v, e[6].first, e[6].second));
    rec.Step(v, "click on a line");
    StrayRelease(v, sq(10));
    rec.Step(v, "stray release");
    KeyStep(rec, v, Qt::Key_F1, "F1");
    KeyStep(rec, v, Qt::Key_PageDown, "page down over game");
    KeyStep(rec, v, Qt::Key_D, "D over instructions");
    Click(v, sq(10));
    rec.Step(v, "click over instructions");
    KeyStep(rec, v, Qt::Key_End, "End");
    for (UINT id : {ID_FONT_ARIAL, ID_FONT_ARIAL_BOLD, ID_FONT_MS_SANS_SERIF, ID_FONT_LUCIDA_CONSOLE}) {
        v.OnCmdMsg(id, nullptr);
        rec.Step(v, "font");
    }
    for (Qt::Key k : {Qt::Key_Up, Qt::Key_Left, Qt::Key_Down, Qt::Key_Right, Qt::Key_Up, Qt::Key_Up}) {
        Key(v, k);
    }
    rec.Step(v, "arrows");
    KeyStep(rec, v, Qt::Key_5, "5", Qt::KeypadModifier);
    KeyStep(rec, v, Qt::Key_P, "ctrl P letter", Qt::ControlModifier);
    KeyStep(rec, v, Qt::Key_H, "H while playing");
    v.Invalidate();
    v.UpdateWindow();
    rec.Step(v, "full repaint");
    rec.Print(v, "puzzle");
}

void UnfixAll(CQuillmoorView& v) {
    for (int s = 0; s < 81; ++s) {
        if (v.m_squares[s].fixed == 1) {
            MoveCaretTo(v, s / 9, s % 9);
            Key(v, Qt::Key_F);
        }
    }
}

template <class Solution> void FillCorrectly(CQuillmoorView& v, Solution solution) {
    UnfixAll(v);
    for (const auto& [r, c] : EmptySquares(v)) {
        if (v.m_squares[r * 9 + c].value != solution(r, c)) {
            TypeAt(v, r, c, solution(r, c));
        }
    }
}

void WrongDoneByMouse(CRecorder& rec, CQuillmoorView& v) {
    LeftPress(v, Centre(v.m_doneButtonRect));
    rec.Step(v, "DONE pressed");
    v.Invalidate();
    v.UpdateWindow();
    rec.Step(v, "repaint while DONE is held");
    LeftRelease(v, Centre(v.m_doneButtonRect));
    rec.Step(v, "DONE released: wrong");
    rec.Print(v, "after wrong");
}

struct CPaper {
    CPaper() {
        app.GetPrinter()->setPageSize(QPageSize(QPageSize::A4));
        app.GetPrinter()->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    CWinApp app;
};

} // namespace

TEST(Record, HomePages) {
    CPaper paper;
    const int sizes[][2] = {{1024, 768}, {1280, 800}, {1920, 1080}, {800, 600}, {1366, 768}, {1600, 1200}};
    for (const auto& size : sizes) {
        const std::string name = "home_" + std::to_string(size[0]) + "x" + std::to_string(size[1]);
        CRecorder rec(name.c_str());
        auto v = MakePaintedView(size[0], size[1], 7);
        rec.Step(*v, "home");
        const int pages = v->m_pageCount;
        for (int i = 0; i < pages; ++i) {
            KeyStep(rec, *v, Qt::Key_PageDown, "page down");
        }
        KeyStep(rec, *v, Qt::Key_PageUp, "page up");
        KeyStep(rec, *v, Qt::Key_F1, "F1 on home");
        KeyStep(rec, *v, Qt::Key_End, "End on home");
        KeyStep(rec, *v, Qt::Key_Delete, "Delete on home");
        Click(*v, CPoint(size[0] / 2, size[1] / 2));
        rec.Step(*v, "click on home");
        if (size[0] == 1024) {
            rec.Print(*v, "instructions");
            rec.Print(*v, "instructions again");
        }
    }
}

TEST(Record, EasyWrong) {
    CPaper paper;
    CRecorder rec("easy_wrong");
    auto v = MenuGame(ID_OPTIONS_EASY, 11);
    rec.Step(*v, "easy started");
    PlayMoves(rec, *v, [&](int r, int c) { return v->m_solution[r * 9 + c].solution; });
    WrongDoneByMouse(rec, *v);
    KeyStep(rec, *v, Qt::Key_F1, "F1 after verdict");
    rec.Print(*v, "instructions over verdict");
    KeyStep(rec, *v, Qt::Key_End, "End after verdict");
    KeyStep(rec, *v, Qt::Key_H, "H goes home");
    v->OnCmdMsg(ID_OPTIONS_HARD, nullptr);
    rec.Step(*v, "hard from home");
}

TEST(Record, EasyCorrectThenAgain) {
    CPaper paper;
    CRecorder rec("easy_correct");
    auto v = MenuGame(ID_OPTIONS_EASY, 12);
    v->Widget()->resize(1280, 1024);
    ProcessEvents();
    v->UpdateWindow();
    rec.Step(*v, "easy at 1280x1024");
    PlayMoves(rec, *v, [&](int r, int c) { return v->m_solution[r * 9 + c].solution; });
    FillCorrectly(*v, [&](int r, int c) { return v->m_solution[r * 9 + c].solution; });
    rec.Step(*v, "filled");
    KeyStep(rec, *v, Qt::Key_D, "D: correct");
    rec.Print(*v, "after correct");
    v->Invalidate();
    v->UpdateWindow();
    rec.Step(*v, "repaint after correct");
    KeyStep(rec, *v, Qt::Key_A, "A: again");
    KeyStep(rec, *v, Qt::Key_D, "D at once");
    Click(*v, Centre(v->m_againButtonRect));
    rec.Step(*v, "AGAIN clicked");
    Click(*v, Centre(v->m_doneButtonRect));
    rec.Step(*v, "DONE clicked");
    Click(*v, Centre(v->m_doneButtonRect));
    rec.Step(*v, "HOME clicked");
}

TEST(Record, HardWrongThenAgain) {
    CPaper paper;
    CRecorder rec("hard_wrong");
    auto v = MenuGame(ID_OPTIONS_HARD, 13);
    v->Widget()->resize(1366, 768);
    ProcessEvents();
    v->UpdateWindow();
    rec.Step(*v, "hard at 1366x768");
    PlayMoves(rec, *v, [&](int r, int c) { return v->m_solution[r * 9 + c].solution; });
    FillCorrectly(*v, [&](int r, int c) { return v->m_solution[r * 9 + c].solution; });
    const auto e = EmptySquares(*v);
    TypeAt(*v, e[0].first, e[0].second, v->m_solution[e[0].first * 9 + e[0].second].solution % 9 + 1);
    rec.Step(*v, "full but wrong");
    WrongDoneByMouse(rec, *v);
    Click(*v, Centre(v->m_againButtonRect));
    rec.Step(*v, "AGAIN clicked");
    v->Widget()->resize(1920, 1080);
    ProcessEvents();
    v->UpdateWindow();
    rec.Step(*v, "resized");
}

TEST(Record, OwnNumbers) {
    CPaper paper;
    CRecorder rec("own");
    auto v = HomePageView(7);
    ClearEntryMembers();
    auto note = [&](const char* what) {
        std::string fields;
        for (int r = 0; r < 9; ++r) {
            for (int c = 0; c < 9; ++c) {
                fields += FieldText(r, c).toStdString() + "|";
            }
        }
        rec.Note(std::string(what) + " status=[" + StatusLine().toStdString() + "] fields=" + fields);
    };
    {
        CDialogScript script;
        auto fill = [](std::vector<std::string> rows) {
            const char* p[9];
            for (int r = 0; r < 9; ++r) {
                p[r] = rows[static_cast<size_t>(r)].c_str();
            }
            FillFields(p);
        };
        auto first = [](int n) {
            std::vector<std::string> rows(9, std::string(9, '.'));
            for (int s = 0; s < n; ++s) {
                rows[static_cast<size_t>(s / 9)][static_cast<size_t>(s % 9)] = kTestSolution[s / 9][s % 9];
            }
            return rows;
        };
        script
            .Then([&] {
                note("open");
                fill(first(19));
                return static_cast<int>(IDOK);
            })
            .Then([&] {
                note("after 19");
                fill(first(36));
                return static_cast<int>(IDOK);
            })
            .Then([&] {
                note("after 36");
                std::vector<std::string> rows(kTestPuzzle, kTestPuzzle + 9);
                rows[0][0] = 'x';
                rows[4][1] = '0';
                rows[2][2] = ' ';
                fill(rows);
                return static_cast<int>(IDOK);
            })
            .Then([&] {
                note("after bad");
                return static_cast<int>(COwnNumbersDialog::kClearButton);
            })
            .Then([&] {
                note("cleared");
                return static_cast<int>(IDCANCEL);
            });
        v->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    }
    rec.Step(*v, "cancelled");
    {
        CDialogScript script;
        script.Then([] { return COwnNumbersDialog::kLoadTestButton; }).Then([&] {
            note("loaded");
            return static_cast<int>(IDOK);
        });
        v->OnCmdMsg(ID_OPTIONS_OWN_NUMBERS, nullptr);
    }
    rec.Step(*v, "own game");
    PlayMoves(rec, *v, [](int r, int c) { return TestSolutionAt(r, c); });
    KeyStep(rec, *v, Qt::Key_D, "D: wrong");
    rec.Print(*v, "own after wrong");
    {
        CDialogScript script;
        script.Then([&] {
            note("again");
            return static_cast<int>(IDOK);
        });
        KeyStep(rec, *v, Qt::Key_A, "A: again");
    }
    FillCorrectly(*v, [](int r, int c) { return TestSolutionAt(r, c); });
    KeyStep(rec, *v, Qt::Key_D, "D: correct");
    {
        CDialogScript script;
        script.Then([&] {
            note("again, cancelled");
            return static_cast<int>(IDCANCEL);
        });
        KeyStep(rec, *v, Qt::Key_A, "A then cancel");
    }
}

TEST(Record, Application) {
    CRecorder rec("app");
    auto app = std::make_unique<CQuillmoorApp>();
    ASSERT_TRUE(app->InitInstance());
    auto* frame = dynamic_cast<CFrameWnd*>(app->m_pMainWnd);
    auto* v = dynamic_cast<CQuillmoorView*>(frame->GetActiveView());
    ProcessEvents();
    v->UpdateWindow();
    std::vector<std::string> modal;
    AfxSetModalHook([&](const char* kind, QWidget*, const char* text) {
        modal.push_back(std::string(kind) + ":" + (text ? text : ""));
        return static_cast<int>(IDCANCEL);
    });
    auto menus = [&](const char* what) {
        std::string s = what;
        for (UINT id : {ID_FILE_PRINT, ID_FILE_PRINT_SETUP, ID_APP_EXIT, ID_OPTIONS_EASY, ID_OPTIONS_HARD,
                        ID_OPTIONS_OWN_NUMBERS, ID_FONT_LUCIDA_CONSOLE, ID_FONT_MS_SANS_SERIF, ID_FONT_ARIAL_BOLD,
                        ID_FONT_ARIAL, ID_APP_ABOUT, ID_FILE_NEW, ID_EDIT_UNDO}) {
            // (no item is ever checked: "/0")
            s += " " + std::to_string(id) + "=" + std::to_string(frame->QueryCommandEnabled(id)) + "/0";
        }
        for (const std::string& m : modal) {
            s += " modal " + m;
        }
        modal.clear();
        rec.Note(s);
    };
    rec.Step(*v, "app started");
    menus("home");
    frame->RouteCommand(ID_APP_ABOUT);
    menus("about");
    frame->RouteCommand(ID_OPTIONS_EASY);
    rec.Step(*v, "easy from the frame");
    menus("easy");
    for (Qt::Key k : {Qt::Key_N, Qt::Key_O, Qt::Key_S, Qt::Key_Z, Qt::Key_X, Qt::Key_C, Qt::Key_V}) {
        QTest::keyClick(v->Widget(), k, Qt::ControlModifier);
        ProcessEvents();
        rec.Step(*v, "ctrl key");
        menus("ctrl key");
    }
    QTest::keyClick(v->Widget(), Qt::Key_Delete, Qt::ShiftModifier);
    rec.Step(*v, "shift delete");
    QTest::keyClick(v->Widget(), Qt::Key_F6);
    rec.Step(*v, "F6");
    frame->RouteCommand(ID_FILE_PRINT_SETUP);
    menus("print setup");
    AfxSetModalHook([](const char*, QWidget*, const char*) { return static_cast<int>(IDCANCEL); });
}
