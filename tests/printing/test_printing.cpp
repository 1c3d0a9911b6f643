// Printing through the real view into PDF files, read back as a reader would see them: the
// instruction sheets, the grid with the clues only, what comes out after DONE, the reuse of the
// paper layout, and Ctrl+P and the menu item with and without the Print dialog.

#include <QAction>
#include <QComboBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "AppHarness.h"
#include "PdfReader.h"
#include "common/MenuIds.h"

namespace {

constexpr double kPoints = 72.0 / 1200.0; // printer pixels of the PDF jobs to PDF points

// The paper of the application's printer, without margins, so that printer pixel (0, 0) is the
// sheet's corner and rendered pixels map straight back to printer pixels.
void UsePaper(CWinApp& app, const QPageSize& size) {
    app.GetPrinter()->setPageSize(size);
    app.GetPrinter()->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

// Words as printed. pdftotext takes a dash at the end of a line for a hyphenation and drops it,
// so lone dashes are left out on both sides of a comparison.
void AddWords(const QString& text, std::vector<QString>& words) {
    for (QString word : text.split(QRegularExpression(R"(\s+)"), Qt::SkipEmptyParts)) {
        if (word != "-") {
            words.push_back(word);
        }
    }
}

// The words of the instruction text as paper shows them: from the first title on, without the
// markup tokens, the spacing colons and the title mark.
std::vector<QString> ExpectedWords(const CQuillmoorView& view) {
    QString text;
    for (const CString& entry : view.m_helpText) {
        if (entry == "???*???") {
            break;
        }
        text += QString::fromLatin1(static_cast<const char*>(entry)) + ' ';
    }
    text = text.mid(text.indexOf('['));
    text.replace(QRegularExpression(R"((^|\s)(,,|\.\.\.?)(?=\s))"), " ");
    text.replace(QRegularExpression(R"((^|\s)[:\[]+)"), " ");
    std::vector<QString> words;
    AddWords(text, words);
    return words;
}

bool IsRed(QRgb p) {
    return qRed(p) >= 200 && qGreen(p) <= 60 && qBlue(p) <= 60;
}
bool IsSolutionGray(QRgb p) {
    return std::abs(qRed(p) - 195) <= 3 && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
}
bool IsInk(QRgb p) {
    return p != qRgb(255, 255, 255);
}

class PrintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        UsePaper(m_app, QPageSize(QPageSize::A4));
        m_view = MakePaintedView(1024, 768, 7);
        TestSoundRecorder().m_cues.clear();
    }

    QString Print(CQuillmoorView& view, const char* name) {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(view.PrintToPdf(path.toUtf8().constData()));
        return path;
    }
    QString Print(const char* name) { return Print(*m_view, name); }

    void StartEasyGame() {
        ASSERT_TRUE(m_view->OnCmdMsg(ID_OPTIONS_EASY, nullptr));
        ProcessEvents();
        ASSERT_EQ(m_view->m_option, 1);
    }

    // Count of pixels passing test in square (row, col) of the printed grid, inside its lines.
    int CountInSquare(const QImage& sheet, int row, int col, bool (*test)(QRgb)) const {
        const double scale = static_cast<double>(sheet.width()) / m_view->m_printRect.Width();
        const int cell = m_view->m_printCell;
        const QRect square(static_cast<int>((m_view->m_printGridLeft + col * cell) * scale) + 3,
                           static_cast<int>((m_view->m_printGridTop + row * cell) * scale) + 3,
                           static_cast<int>(cell * scale) - 6, static_cast<int>(cell * scale) - 6);
        int count = 0;
        for (int y = square.top(); y <= square.bottom(); ++y) {
            for (int x = square.left(); x <= square.right(); ++x) {
                count += test(sheet.pixel(x, y)) ? 1 : 0;
            }
        }
        return count;
    }

    // The colour of horizontal grid line i, sampled above the middle of the first column.
    QRgb GridLineColour(const QImage& sheet, int i) const {
        const double scale = static_cast<double>(sheet.width()) / m_view->m_printRect.Width();
        const int x = static_cast<int>((m_view->m_printGridLeft + m_view->m_printCell / 2) * scale);
        const int y = static_cast<int>((m_view->m_printGridTop + i * m_view->m_printCell) * scale);
        for (int dy = -1; dy <= 1; ++dy) {
            if (IsInk(sheet.pixel(x, y + dy))) {
                return sheet.pixel(x, y + dy);
            }
        }
        return sheet.pixel(x, y);
    }

    // The digits a grid sheet shows, row by row.
    static QString PrintedDigits(const QString& path) {
        return PdfLayoutText(path, 1).remove(QRegularExpression(R"([^0-9])"));
    }

    CWinApp m_app{"Cellwright"};
    QTemporaryDir m_dir;
    std::unique_ptr<CQuillmoorView> m_view;
};

} // namespace

TEST_F(PrintTest, InstructionsComeOutOnePageASheetWithHeaderAndNumbersFromTheSecond) {
    for (QPageSize::PageSizeId paper : {QPageSize::A4, QPageSize::Letter}) {
        UsePaper(m_app, QPageSize(paper));
        auto view = MakePaintedView(1024, 768, 3);
        const QString path = Print(*view, "instructions.pdf");
        const int sheets = view->m_printPageCount;
        EXPECT_GT(sheets, 2) << paper;
        EXPECT_EQ(PdfPageCount(path), sheets) << paper;
        EXPECT_EQ(view->m_printLinesPerPage, 69) << paper;

        // Bands of a sheet: the header (above the first line of text) split where the page
        // number's rectangles begin, and the body.
        const double width = view->m_printRect.Width() * kPoints;
        const double headerHeight = (view->m_printTopMargin - view->m_printLineHeight / 4) * kPoints;
        const double numberLeft =
            (view->m_printSideMargin + view->m_printTextWidth - 5 * view->m_printLineHeight) * kPoints;
        const CPdfBand notice{0, 0, numberLeft, headerHeight};
        const CPdfBand number{numberLeft, 0, width - numberLeft, headerHeight};
        const CPdfBand body{0, headerHeight, width, view->m_printRect.Height() * kPoints};
        for (int sheet = 1; sheet <= sheets; ++sheet) {
            EXPECT_TRUE(PdfText(path, sheet, notice).contains("Cellwright - free Sudoku for the desktop"));
            EXPECT_FALSE(PdfText(path, sheet, body).trimmed().isEmpty()) << "sheet " << sheet;
            const QString pageNumber = PdfText(path, sheet, number).simplified();
            EXPECT_EQ(pageNumber, sheet == 1 ? QString() : QString("Page %1").arg(sheet)) << paper;
        }
        // The header ends with the time of printing and the version; titles lose their mark.
        const QString last = PdfText(path, sheets, sheets).simplified();
        EXPECT_TRUE(
            last.contains(QString::fromLatin1(static_cast<const char*>(view->m_timeText)).simplified() +
                          " -- Version QV317"));
        EXPECT_FALSE(PdfText(path, 1, sheets).contains('['));
    }
}

TEST_F(PrintTest, PaperLosesNoWordEvenWhenASheetShapeNeedsMoreThanTenPages) {
    // A tall, narrow strip: a large font and short lines.
    UsePaper(m_app, QPageSize(QSizeF(3, 26), QPageSize::Inch, "strip"));
    const QString path = Print("strip.pdf");
    EXPECT_GT(m_view->m_printPageCount, 10);
    EXPECT_EQ(PdfPageCount(path), m_view->m_printPageCount);

    const double top = (m_view->m_printTopMargin - m_view->m_printLineHeight / 4) * kPoints;
    const CPdfBand body{0, top, m_view->m_printRect.Width() * kPoints,
                        m_view->m_printRect.Height() * kPoints};
    std::vector<QString> printed;
    for (int sheet = 1; sheet <= m_view->m_printPageCount; ++sheet) {
        AddWords(PdfText(path, sheet, body), printed);
    }
    const std::vector<QString> expected = ExpectedWords(*m_view);
    ASSERT_GT(expected.size(), 1000u);
    ASSERT_EQ(printed.size(), expected.size());

    // A single word wider than the whole column (none is, on ordinary paper) runs off the edge of
    // so narrow a sheet: of such a word only its start can be asked for.
    CDC measuring;
    measuring.CreateCompatibleDC(nullptr);
    measuring.SelectObject(&m_view->m_printBodyFont);
    int overlong = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        const QByteArray word = expected[i].toLatin1() + ' ';
        if (printed[i] != expected[i] && expected[i].startsWith(printed[i]) &&
            measuring.GetTextExtent(word.constData(), word.size()).cx >= m_view->m_printTextWidth) {
            ++overlong;
            continue;
        }
        ASSERT_EQ(printed[i], expected[i])
            << "word " << i << " after " << expected[i > 0 ? i - 1 : 0].toStdString();
    }
    EXPECT_LE(overlong, 1);
}

TEST_F(PrintTest, BeforeDoneTheGridShowsTheRedCluesOnlyNotThePlayersNumbers) {
    StartEasyGame();
    int played = 0; // the player has put a numeral into the first empty square
    while (m_view->m_grid[played / 9][played % 9] != 0) {
        ++played;
    }
    m_view->m_squares[played].value = 5;
    const QString path = Print("puzzle.pdf");
    EXPECT_EQ(PdfPageCount(path), 1);

    QString clues;
    for (int s = 0; s < 81; ++s) {
        clues += m_view->m_grid[s / 9][s % 9] > 0 ? QString::number(m_view->m_grid[s / 9][s % 9]) : QString();
    }
    EXPECT_EQ(PrintedDigits(path), clues);

    const QImage sheet = RenderPdfPage(path, 1, 100);
    ASSERT_FALSE(sheet.isNull());
    for (int s = 0; s < 81; ++s) {
        const int red = CountInSquare(sheet, s / 9, s % 9, IsRed);
        if (m_view->m_grid[s / 9][s % 9] > 0) {
            EXPECT_GT(red, 10) << "clue square " << s;
        } else {
            EXPECT_EQ(red, 0) << "square " << s << (s == played ? ", the player's numeral" : "");
        }
    }
    // Cell lines light blue, every third line blue.
    for (int i = 0; i <= 9; ++i) {
        EXPECT_EQ(GridLineColour(sheet, i), i % 3 == 0 ? qRgb(0, 0, 255) : qRgb(155, 155, 255))
            << "line " << i;
    }
}

TEST_F(PrintTest, AfterDoneTheGraySolutionTheEmptyGridWithTheBrrrOrABlankSheet) {
    struct Case {
        int option, verdict;
        bool grid, digits;
        int sound; // 0: none
    };
    const Case cases[] = {
        {1, 1, true, true, 0}, {2, 1, true, true, 0}, {3, 1, true, false, 103}, {1, 0, false, false, 0}};
    StartEasyGame();
    QString solution;
    for (int s = 0; s < 81; ++s) {
        solution += QString::number(m_view->m_solution[s].solution);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "option " << c.option << ", verdict " << c.verdict);
        TestSoundRecorder().m_cues.clear();
        m_view->m_option = c.option;
        m_view->m_phase = 2;
        m_view->m_verdict = c.verdict;
        const QString path = Print("done.pdf");
        EXPECT_EQ(PdfPageCount(path), 1);
        EXPECT_EQ(PrintedDigits(path), c.digits ? solution : QString());
        ASSERT_EQ(TestSoundRecorder().m_cues.size(), c.sound ? 1u : 0u);
        if (c.sound) {
            EXPECT_EQ(TestSoundRecorder().m_cues[0].id, c.sound);
        }

        const QImage sheet = RenderPdfPage(path, 1, 100);
        ASSERT_FALSE(sheet.isNull());
        EXPECT_EQ(GridLineColour(sheet, 9), c.grid ? qRgb(0, 0, 255) : qRgb(255, 255, 255));
        int gray = 0, ink = 0;
        for (int s = 0; s < 81; ++s) {
            const int grayHere = CountInSquare(sheet, s / 9, s % 9, IsSolutionGray);
            EXPECT_EQ(grayHere > 10, c.digits) << "square " << s;
            gray += grayHere;
            ink += CountInSquare(sheet, s / 9, s % 9, IsInk);
        }
        EXPECT_EQ(ink, gray); // nothing but the gray solution inside the squares
    }
}

TEST_F(PrintTest, ThePaperLayoutIsReusedOnTheSameSheetAndMadeAgainForAnother) {
    Print("first.pdf");
    ASSERT_EQ(m_view->m_printLayoutDone, 1);
    // Mark the laid-out pages: a reprint that lays out again loses the mark.
    const char kMark[] = "MARKEDLINE";
    m_view->m_printLines.SetLine(0, 0, kMark);
    EXPECT_TRUE(PdfText(Print("second.pdf"), 1, 1).contains(kMark));

    // On another sheet size the old layout would not fit: it is made again for Letter.
    UsePaper(m_app, QPageSize(QPageSize::Letter));
    const QString letter = Print("letter.pdf");
    EXPECT_FALSE(PdfText(letter, 1, 1).contains(kMark));
    auto fresh = MakePaintedView(1024, 768, 5);
    Print(*fresh, "fresh-letter.pdf");
    EXPECT_EQ(PdfPageCount(letter), fresh->m_printPageCount);
}

TEST_F(PrintTest, ChoosingAGameKeepsThePaperLayoutAndHomeClearsIt) {
    Print("home.pdf");
    const int pages = m_view->m_printPageCount;
    const char kMark[] = "MARKEDLINE";
    m_view->m_printLines.SetLine(0, 0, kMark);

    // Easy from the home page, then F1: the instructions are printed from the old layout.
    StartEasyGame();
    m_view->m_helpShown = 1;
    const QString help = Print("help.pdf");
    EXPECT_TRUE(PdfText(help, 1, 1).contains(kMark));
    EXPECT_EQ(PdfPageCount(help), pages);

    // HOME after the verdict: the next print lays the pages out afresh.
    m_view->m_helpShown = 0;
    m_view->m_phase = 2;
    m_view->GoHome();
    EXPECT_EQ(m_view->m_printLayoutDone, 0);
    const QString afterHome = Print("after-home.pdf");
    EXPECT_FALSE(PdfText(afterHome, 1, 1).contains(kMark));
    EXPECT_EQ(PdfPageCount(afterHome), pages);
}

// --- Ctrl+P and File > Print in the whole application ----------------------------------------

namespace {

class PrintCommandTest : public CAppTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        CAppTest::SetUp();
        UsePaper(*m_app, QPageSize(QPageSize::A4));
        m_path = m_dir.filePath("job.pdf");
        // Every dialog asked for is recorded and cancelled unless a test answers otherwise.
        AfxSetModalHook([this](const char* kind, QWidget* dialog, const char*) {
            m_asked.push_back(kind);
            return m_answer ? m_answer(dialog) : static_cast<int>(IDCANCEL);
        });
    }
    void TearDown() override {
        qunsetenv("CELLWRIGHT_PRINT_TO_PDF");
        AfxSetModalHook([](const char*, QWidget*, const char*) { return static_cast<int>(IDCANCEL); });
    }

    QTemporaryDir m_dir;
    QString m_path;
    std::vector<std::string> m_asked;
    std::function<int(QWidget*)> m_answer;
};

} // namespace

TEST_F(PrintCommandTest, CtrlPTheMenuItemAndPrintDirectNeedNoDialogWhenAPdfIsNamed) {
    qputenv("CELLWRIGHT_PRINT_TO_PDF", m_path.toUtf8());
    QTest::keyClick(m_view->Widget(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_GT(m_view->m_printPageCount, 2);
    EXPECT_EQ(PdfPageCount(m_path), m_view->m_printPageCount);

    QFile::remove(m_path);
    QAction* item = nullptr;
    for (QAction* menu : m_frame->MainWindow()->menuBar()->actions()) {
        for (QAction* entry : menu->menu() ? menu->menu()->actions() : QList<QAction*>()) {
            item = entry->text() == "&Print..." ? entry : item;
        }
    }
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_EQ(PdfPageCount(m_path), m_view->m_printPageCount);

    // Without the variable, the direct command prints on the application's printer, still
    // without a dialog.
    qunsetenv("CELLWRIGHT_PRINT_TO_PDF");
    QFile::remove(m_path);
    m_app->GetPrinter()->setOutputFormat(QPrinter::PdfFormat);
    m_app->GetPrinter()->setOutputFileName(m_path);
    ASSERT_TRUE(m_frame->RouteCommand(ID_FILE_PRINT_DIRECT));
    EXPECT_EQ(PdfPageCount(m_path), m_view->m_printPageCount);
    EXPECT_TRUE(m_asked.empty());
}

TEST_F(PrintCommandTest, ThePrintDialogDecidesAndTheCaretComesBackHidden) {
    ASSERT_TRUE(m_frame->RouteCommand(ID_OPTIONS_EASY));
    ProcessEvents();
    ASSERT_TRUE(AfxGetCaretState().visible);

    // Cancelled: nothing is printed and none of the printing calls ran (the caret is untouched).
    ASSERT_TRUE(m_frame->RouteCommand(ID_FILE_PRINT));
    EXPECT_EQ(m_asked, std::vector<std::string>{"print"});
    EXPECT_EQ(m_view->m_printCell, 0);
    EXPECT_TRUE(AfxGetCaretState().visible);
    EXPECT_FALSE(QFile::exists(m_path));

    // Accepted, with the dialog's printer sent to a file: the puzzle comes out on one sheet, and
    // the caret is made again, hidden.
    m_answer = [this](QWidget* dialog) {
        QPrinter* printer = static_cast<QPrintDialog*>(dialog)->printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_path);
        return static_cast<int>(IDOK);
    };
    ASSERT_TRUE(m_frame->RouteCommand(ID_FILE_PRINT));
    EXPECT_EQ(PdfPageCount(m_path), 1);
    EXPECT_GT(m_view->m_printCell, 0);
    const CCaretState caret = AfxGetCaretState();
    EXPECT_TRUE(caret.exists);
    EXPECT_EQ(caret.owner, m_view);
    EXPECT_FALSE(caret.visible);
    EXPECT_EQ(m_view->m_caretShowCount, 0);
}

// What paper says, from the text record: the header with the notice, the time of printing and
// the version on every sheet, "Page " and the number right-aligned in two places from the second
// sheet on, and the faces of body, titles and header.
TEST_F(PrintTest, PaperTextsHeaderPageNumbersAndFaces) {
    CTextLog log;
    const CTime before = CTime::GetCurrentTime();
    const QString path = Print("texts.pdf");
    const CTime after = CTime::GetCurrentTime();
    const CQuillmoorView& v = *m_view;
    const int sheets = v.m_printPageCount;
    ASSERT_GT(sheets, 2);
    const int a = v.m_printLineHeight, fh = v.m_printFontHeight;
    const int right = v.m_printTextWidth + v.m_printSideMargin;

    const CString time = v.m_timeText;
    EXPECT_TRUE(time == before.Format("%c") || time == after.Format("%c")) << time.Str();
    // Every sheet takes the time as it is printed: a print that runs over the turn of a second
    // has headers with either time.
    std::vector<CTextRecord> headers;
    std::vector<CString> times{before.Format("%c")};
    if (after.Format("%c") != times[0]) {
        times.push_back(after.Format("%c"));
    }
    for (const CString& at : times) {
        for (const CTextRecord& header :
             log.Find("Cellwright - free Sudoku for the desktop - " + at + " -- Version QV317")) {
            headers.push_back(header);
        }
    }
    ASSERT_EQ(static_cast<int>(headers.size()), sheets);
    for (const CTextRecord& header : headers) {
        EXPECT_TRUE(header.textOut);
        EXPECT_TRUE(header.printer);
        EXPECT_EQ(header.rect.left, v.m_printSideMargin);
        EXPECT_EQ(header.rect.top, a / 2);
        EXPECT_EQ(header.face, "Arial");
        EXPECT_EQ(header.height, 4 * fh / 5);
    }

    const std::vector<CTextRecord> labels = log.Find("Page ");
    ASSERT_EQ(static_cast<int>(labels.size()), sheets - 1);
    for (int sheet = 2; sheet <= sheets; ++sheet) {
        const CTextRecord& label = labels[static_cast<size_t>(sheet - 2)];
        EXPECT_TRUE(CRect(label.rect) ==
                    CRect(right - 3 * a / 2 - 3 * a, a / 2, right - 3 * a / 2, a + a / 2));
        const char number[] = {' ', static_cast<char>('0' + sheet), '\0'};
        const CTextRecord numeral = log.Last(number);
        EXPECT_TRUE(CRect(numeral.rect) == CRect(right - 3 * a / 2, a / 2, right, a + a / 2)) << sheet;
        for (const CTextRecord& r : {label, numeral}) {
            EXPECT_EQ(r.format, static_cast<UINT>(DT_SINGLELINE | DT_VCENTER | DT_RIGHT));
            EXPECT_EQ(r.face, "Arial");
            EXPECT_EQ(r.height, 4 * fh / 5);
            EXPECT_TRUE(r.printer);
        }
    }

    // Body lines in the monospaced face standing for Courier New, titles (without their mark)
    // in the bold face a quarter taller.
    int body = 0, titles = 0;
    for (const CTextRecord& r : log.m_texts) {
        if (!r.textOut || r.text.Left(10) == "Cellwright") {
            continue;
        }
        if (r.face == "Courier New") {
            ++body;
            EXPECT_EQ(r.family, "Liberation Mono");
            EXPECT_EQ(r.height, fh);
        } else {
            ++titles;
            EXPECT_EQ(r.face, "Arial Bold") << r.text.Str();
            EXPECT_EQ(r.height, fh * 5 / 4);
            EXPECT_NE(r.text.GetAt(0), '[');
        }
        EXPECT_EQ(r.rect.left, v.m_printSideMargin);
    }
    EXPECT_GT(body, 100);
    EXPECT_EQ(titles, 14);                      // the heading and the thirteen sections
    EXPECT_EQ(log.Find("Options ").size(), 1u); // a title as the text names it, without its mark
}

TEST_F(PrintCommandTest, APaperChosenInPrintSetupReachesTheNextJob) {
    m_answer = [](QWidget* dialog) {
        auto* paper = dialog ? dialog->findChild<QComboBox*>("pageSizeCombo") : nullptr;
        if (paper == nullptr) {
            return static_cast<int>(IDCANCEL);
        }
        paper->setCurrentIndex(paper->findText("Letter", Qt::MatchStartsWith)); // "Letter / ANSI A"
        return static_cast<int>(IDOK);
    };
    ASSERT_TRUE(m_frame->RouteCommand(ID_FILE_PRINT_SETUP));
    EXPECT_EQ(m_asked, std::vector<std::string>{"pagesetup"});

    qputenv("CELLWRIGHT_PRINT_TO_PDF", m_path.toUtf8());
    QTest::keyClick(m_view->Widget(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(RenderPdfPage(m_path, 1, 72).size(), QSize(612, 792)) << "not on Letter paper";
}

// A PDF file that cannot be written is said so on the error output, and nothing is printed.
TEST_F(PrintCommandTest, APdfThatCannotBeWrittenIsReportedAndNothingIsPrinted) {
    ASSERT_TRUE(m_frame->RouteCommand(ID_OPTIONS_EASY));
    ProcessEvents();
    ASSERT_TRUE(AfxGetCaretState().visible);
    for (const QString& path : {m_dir.filePath("missing/folder/job.pdf"), m_dir.path()}) {
        qputenv("CELLWRIGHT_PRINT_TO_PDF", path.toUtf8());
        ::testing::internal::CaptureStderr();
        QTest::keyClick(m_view->Widget(), Qt::Key_P, Qt::ControlModifier);
        const std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("cannot write the PDF file \"" + path.toStdString() + "\""), std::string::npos)
            << said;
        EXPECT_FALSE(m_view->PrintToPdf(path.toUtf8().constData()));
    }
    EXPECT_EQ(m_view->m_printCell, 0) << "the view printed";
    EXPECT_TRUE(AfxGetCaretState().visible) << "the end of a print job ran";
    EXPECT_FALSE(QFile::exists(m_dir.filePath("missing")));
}
