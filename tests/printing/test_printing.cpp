// Printing through the real view into PDF files, read back as a reader would see them: the
// instruction sheets with their header and page numbers, the grid with the clues only, the gray
// solution, the empty grid with the 'brrr', the blank sheet, the reuse of the paper layout, and
// Ctrl+P and the menu item with and without the Print dialog.

#include <QAction>
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

#include "PdfReader.h"
#include "ViewHarness.h"
#include "shell/MenuIds.h"
#include "shell/QuillmoorApp.h"

namespace {

constexpr int kRenderDpi = 100;

// The paper of the application's printer, without margins, so that printer pixel (0, 0) is the
// sheet's corner and rendered pixels map straight back to printer pixels.
void UsePaper(CWinApp& app, const QPageSize& size) {
    QPrinter* printer = app.GetPrinter();
    printer->setPageSize(size);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

// pdftotext takes a dash at the end of a line for a hyphenation and drops it, so lone dashes are
// left out of both sides of the comparison.
bool IsLoneDash(const QString& word) {
    return word == "-";
}

std::vector<QString> Words(const QString& text) {
    std::vector<QString> words;
    for (const QString& word : text.split(QRegularExpression(R"(\s+)"), Qt::SkipEmptyParts)) {
        if (!IsLoneDash(word)) {
            words.push_back(word);
        }
    }
    return words;
}

// The words of the instruction text as paper shows them: from the first title to the end, markup
// tokens left out, leading colons (spacing) and the title mark dropped.
std::vector<QString> ExpectedWords(const CQuillmoorView& view) {
    std::vector<QString> words;
    bool started = false;
    for (const CString& entry : view.m_helpText) {
        const QString text = QString::fromLatin1(static_cast<const char*>(entry));
        if (text == "???*???") {
            break;
        }
        started = started || text.startsWith('[');
        if (!started) {
            continue;
        }
        for (QString token : text.split(' ', Qt::SkipEmptyParts)) {
            if (token == ",," || token == ".." || token == "...") {
                continue;
            }
            while (token.startsWith(':')) {
                token.remove(0, 1);
            }
            if (token.startsWith('[')) {
                token.remove(0, 1);
            }
            if (!token.isEmpty() && !IsLoneDash(token)) {
                words.push_back(token);
            }
        }
    }
    return words;
}

bool IsRed(QRgb p) {
    return qRed(p) >= 200 && qGreen(p) <= 60 && qBlue(p) <= 60;
}
bool IsSolutionGray(QRgb p) {
    return std::abs(qRed(p) - 195) <= 3 && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
}
bool IsWhite(QRgb p) {
    return qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255;
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
        ASSERT_GT(m_view->m_givenCount, 0);
    }

    // A square of the printed grid in the rendered sheet, a few pixels inside its lines.
    QRect CellInImage(const QImage& image, int row, int col) const {
        const double scale = static_cast<double>(image.width()) / m_view->m_printRect.Width();
        const int cell = m_view->m_printCell;
        const int left = static_cast<int>((m_view->m_printGridLeft + col * cell) * scale) + 3;
        const int top = static_cast<int>((m_view->m_printGridTop + row * cell) * scale) + 3;
        const int size = static_cast<int>(cell * scale) - 6;
        return QRect(left, top, size, size);
    }

    static int Count(const QImage& image, const QRect& rect, bool (*test)(QRgb)) {
        int count = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                count += test(image.pixel(x, y)) ? 1 : 0;
            }
        }
        return count;
    }

    // The digits the sheet shows, in reading order.
    static QString PrintedDigits(const QString& path) {
        return PdfLayoutText(path, 1).remove(QRegularExpression(R"([^0-9])"));
    }

    // Colour of the line a printed grid has at row line i, sampled in the middle of a square.
    QRgb HorizontalLineColour(const QImage& image, int i) const {
        const double scale = static_cast<double>(image.width()) / m_view->m_printRect.Width();
        const int x = static_cast<int>((m_view->m_printGridLeft + m_view->m_printCell / 2) * scale);
        const int y = static_cast<int>((m_view->m_printGridTop + i * m_view->m_printCell) * scale);
        for (int dy = -1; dy <= 1; ++dy) {
            if (!IsWhite(image.pixel(x, y + dy))) {
                return image.pixel(x, y + dy);
            }
        }
        return image.pixel(x, y);
    }

    CWinApp m_app{"Cellwright"};
    QTemporaryDir m_dir;
    std::unique_ptr<CQuillmoorView> m_view;
};

} // namespace

TEST_F(PrintTest, InstructionsTakeOneSheetPerPaperPageOnA4AndLetter) {
    struct Paper {
        QPageSize::PageSizeId id;
        const char* file;
    };
    for (const Paper& paper : {Paper{QPageSize::A4, "a4.pdf"}, Paper{QPageSize::Letter, "letter.pdf"}}) {
        UsePaper(m_app, QPageSize(paper.id));
        auto view = MakePaintedView(1024, 768, 3);
        const QString path = Print(*view, paper.file);
        EXPECT_GT(view->m_printPageCount, 1) << paper.file;
        EXPECT_EQ(PdfPageCount(path), view->m_printPageCount) << paper.file;
        EXPECT_EQ(view->m_printLinesPerPage, 69) << paper.file;
        EXPECT_EQ(view->m_printLayoutDone, 1);
    }
}

TEST_F(PrintTest, EverySheetHasTheHeaderAndFromTheSecondOnAPageNumberAtTheRight) {
    const QString path = Print("instructions.pdf");
    ASSERT_GT(m_view->m_printPageCount, 2);
    // The header band: from the top of the sheet down to just above the first line of text.
    const double points = 72.0 / 1200.0;
    const double width = m_view->m_printRect.Width() * points;
    const double bandHeight = (m_view->m_printTopMargin - m_view->m_printLineHeight / 4) * points;
    // The page number sits within the last four and a half line heights of the text column.
    const double numberLeft =
        (m_view->m_printSideMargin + m_view->m_printTextWidth - 5 * m_view->m_printLineHeight) * points;
    const CPdfBand noticeBand{0, 0, numberLeft, bandHeight};
    const CPdfBand numberBand{numberLeft, 0, width - numberLeft, bandHeight};
    const QRegularExpression pageNumber(R"(^\s*Page\s+(\d+)\s*$)");

    const CPdfBand body{0, bandHeight, width, m_view->m_printRect.Height() * points};
    for (int sheet = 1; sheet <= m_view->m_printPageCount; ++sheet) {
        EXPECT_FALSE(PdfText(path, sheet, body).trimmed().isEmpty()) << "sheet " << sheet << " has no text";
        const QString header = PdfText(path, sheet, noticeBand);
        EXPECT_TRUE(header.contains("Cellwright - free Sudoku for the desktop")) << sheet;
        const QString right = PdfText(path, sheet, numberBand);
        const QRegularExpressionMatch match = pageNumber.match(right.simplified());
        if (sheet == 1) {
            EXPECT_FALSE(right.contains("Page")) << right.toStdString();
        } else {
            ASSERT_TRUE(match.hasMatch()) << sheet << ": " << right.toStdString();
            EXPECT_EQ(match.captured(1).toInt(), sheet);
        }
    }
    const QString whole = PdfText(path, 1, 1);
    EXPECT_TRUE(whole.contains("-- Version QV317"));
    // The last sheet carries the time it was printed at.
    const QString last = PdfText(path, m_view->m_printPageCount, m_view->m_printPageCount).simplified();
    EXPECT_TRUE(
        last.contains(QString::fromLatin1(static_cast<const char*>(m_view->m_timeText)).simplified()));
    // Titles are printed without their mark.
    EXPECT_FALSE(PdfText(path, 1, m_view->m_printPageCount).contains('['));
}

TEST_F(PrintTest, PaperLosesNoWordEvenWhenASheetShapeNeedsMoreThanTenPages) {
    // A tall, narrow sheet: a large font and short lines.
    UsePaper(m_app, QPageSize(QSizeF(3, 26), QPageSize::Inch, "strip"));
    const QString path = Print("strip.pdf");
    EXPECT_GT(m_view->m_printPageCount, 10);
    EXPECT_EQ(PdfPageCount(path), m_view->m_printPageCount);

    const double points = 72.0 / 1200.0;
    const CPdfBand body{0, (m_view->m_printTopMargin - m_view->m_printLineHeight / 4) * points,
                        m_view->m_printRect.Width() * points, m_view->m_printRect.Height() * points};
    std::vector<QString> printed;
    for (int sheet = 1; sheet <= m_view->m_printPageCount; ++sheet) {
        for (const QString& word : Words(PdfText(path, sheet, body))) {
            printed.push_back(word);
        }
    }
    const std::vector<QString> expected = ExpectedWords(*m_view);
    ASSERT_GT(expected.size(), 500u);
    EXPECT_EQ(printed.size(), expected.size());
    auto around = [](const std::vector<QString>& words, size_t i) {
        QStringList near;
        for (size_t k = i >= 3 ? i - 3 : 0; k < std::min(words.size(), i + 4); ++k) {
            near << words[k];
        }
        return near.join(' ').toStdString();
    };
    // A single word wider than the whole column (none is, on ordinary paper) runs off the sheet's
    // edge: of such a word only its start can be asked for.
    CDC measuring;
    measuring.CreateCompatibleDC(nullptr);
    measuring.SelectObject(&m_view->m_printBodyFont);
    auto widerThanColumn = [&](const QString& word) {
        const QByteArray text = word.toLatin1() + ' ';
        SIZE size{0, 0};
        measuring.GetTextExtentPoint32A(text.constData(), text.size(), &size);
        return size.cx >= m_view->m_printTextWidth;
    };
    int overlong = 0;
    for (size_t i = 0; i < std::min(printed.size(), expected.size()); ++i) {
        if (printed[i] != expected[i] && widerThanColumn(expected[i]) && expected[i].startsWith(printed[i])) {
            ++overlong;
            continue;
        }
        ASSERT_EQ(printed[i], expected[i]) << "word " << i << ": printed '" << around(printed, i)
                                           << "', text '" << around(expected, i) << "'";
    }
    EXPECT_LE(overlong, 1);
}

TEST_F(PrintTest, BeforeDoneTheGridShowsTheRedCluesOnlyNotThePlayersNumbers) {
    StartEasyGame();
    // The player has put a numeral into the first empty square.
    int played = 0;
    while (m_view->m_grid[played / 9][played % 9] != 0) {
        ++played;
    }
    m_view->m_squares[played].value = 5;
    const QString path = Print("puzzle.pdf");
    EXPECT_EQ(PdfPageCount(path), 1);

    QString clues;
    for (int s = 0; s < 81; ++s) {
        if (m_view->m_grid[s / 9][s % 9] > 0) {
            clues += QString::number(m_view->m_grid[s / 9][s % 9]);
        }
    }
    EXPECT_EQ(PrintedDigits(path), clues);

    const QImage sheet = RenderPdfPage(path, 1, kRenderDpi);
    ASSERT_FALSE(sheet.isNull());
    for (int s = 0; s < 81; ++s) {
        const int red = Count(sheet, CellInImage(sheet, s / 9, s % 9), IsRed);
        if (m_view->m_grid[s / 9][s % 9] > 0) {
            EXPECT_GT(red, 10) << "clue square " << s;
        } else {
            EXPECT_EQ(red, 0) << "square " << s << (s == played ? " (the player's numeral)" : "");
        }
    }
    // One cell below the top, centred; light blue lines with every third one blue.
    for (int i = 0; i <= 9; ++i) {
        const QRgb line = HorizontalLineColour(sheet, i);
        if (i % 3 == 0) {
            EXPECT_EQ(line, qRgb(0, 0, 255)) << "line " << i;
        } else {
            EXPECT_EQ(line, qRgb(155, 155, 255)) << "line " << i;
        }
    }
    EXPECT_EQ(m_view->m_printGridTop, m_view->m_printCell);
}

TEST_F(PrintTest, AfterAWrongEasyAnswerTheWholeSolutionIsPrintedInLightGray) {
    StartEasyGame();
    m_view->m_phase = 2;
    m_view->m_verdict = 1;
    const QString path = Print("solution.pdf");

    QString solution;
    for (int s = 0; s < 81; ++s) {
        solution += QString::number(m_view->m_solution[s].solution);
    }
    EXPECT_EQ(PrintedDigits(path), solution);
    const QImage sheet = RenderPdfPage(path, 1, kRenderDpi);
    ASSERT_FALSE(sheet.isNull());
    for (int s = 0; s < 81; ++s) {
        const QRect cell = CellInImage(sheet, s / 9, s % 9);
        EXPECT_GT(Count(sheet, cell, IsSolutionGray), 10) << s;
        EXPECT_EQ(Count(sheet, cell, IsRed), 0) << s;
    }
    EXPECT_TRUE(TestSoundRecorder().m_cues.empty());
}

TEST_F(PrintTest, AfterAWrongAnswerToOwnNumbersTheGridIsEmptyAndTheBrrrSounds) {
    StartEasyGame();
    m_view->m_option = 3;
    m_view->m_phase = 2;
    m_view->m_verdict = 1;
    const QString path = Print("own.pdf");
    EXPECT_EQ(PdfPageCount(path), 1);
    EXPECT_TRUE(PrintedDigits(path).isEmpty());
    ASSERT_EQ(TestSoundRecorder().m_cues.size(), 1u);
    EXPECT_EQ(TestSoundRecorder().m_cues[0].id, 103);
    EXPECT_FALSE(TestSoundRecorder().m_cues[0].synchronous);

    const QImage sheet = RenderPdfPage(path, 1, kRenderDpi);
    ASSERT_FALSE(sheet.isNull());
    EXPECT_EQ(HorizontalLineColour(sheet, 9), qRgb(0, 0, 255)); // the grid is there
    for (int s = 0; s < 81; ++s) {
        const QRect cell = CellInImage(sheet, s / 9, s % 9);
        EXPECT_EQ(Count(sheet, cell, IsWhite), cell.width() * cell.height()) << s;
    }
}

TEST_F(PrintTest, AfterACorrectAnswerTheSheetIsBlank) {
    StartEasyGame();
    m_view->m_phase = 2;
    m_view->m_verdict = 0;
    const QString path = Print("blank.pdf");
    EXPECT_EQ(PdfPageCount(path), 1);
    const QImage sheet = RenderPdfPage(path, 1, kRenderDpi);
    ASSERT_FALSE(sheet.isNull());
    EXPECT_EQ(Count(sheet, sheet.rect(), IsWhite), sheet.width() * sheet.height());
    EXPECT_TRUE(TestSoundRecorder().m_cues.empty());
}

TEST_F(PrintTest, F1DuringAGamePrintsTheInstructionsAndTheCaretComesBackHidden) {
    StartEasyGame();
    ASSERT_TRUE(AfxGetCaretState().exists);
    m_view->m_helpShown = 1;
    const QString path = Print("help.pdf");
    EXPECT_EQ(PdfPageCount(path), m_view->m_printPageCount);
    EXPECT_GT(m_view->m_printPageCount, 1);
    const CCaretState caret = AfxGetCaretState();
    EXPECT_TRUE(caret.exists);
    EXPECT_EQ(caret.owner, m_view.get());
    EXPECT_FALSE(caret.visible);
    EXPECT_EQ(m_view->m_caretShowCount, 0);
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
    EXPECT_EQ(m_view->m_printPageCount, fresh->m_printPageCount);
    EXPECT_EQ(PdfPageCount(letter), fresh->m_printPageCount);
}

TEST_F(PrintTest, ChoosingAGameKeepsThePaperLayoutAndHomeClearsIt) {
    Print("home.pdf");
    const int pages = m_view->m_printPageCount;
    const char kMark[] = "MARKEDLINE";
    m_view->m_printLines.SetLine(0, 0, kMark);

    // Easy from the home page, then F1: the pages printed are the ones laid out before.
    StartEasyGame();
    EXPECT_EQ(m_view->m_printLayoutDone, 1);
    m_view->m_helpShown = 1;
    EXPECT_TRUE(PdfText(Print("help.pdf"), 1, 1).contains(kMark));

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

class PrintCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_app = std::make_unique<CQuillmoorApp>();
        ASSERT_TRUE(m_app->InitInstance());
        m_frame = dynamic_cast<CFrameWnd*>(m_app->m_pMainWnd);
        ASSERT_NE(m_frame, nullptr);
        m_view = dynamic_cast<CQuillmoorView*>(m_frame->GetActiveView());
        ASSERT_NE(m_view, nullptr);
        ProcessEvents();
        m_view->UpdateWindow();
        UsePaper(*m_app, QPageSize(QPageSize::A4));
        m_path = m_dir.filePath("job.pdf");
    }
    void TearDown() override {
        qunsetenv("CELLWRIGHT_PRINT_TO_PDF");
        AfxSetModalHook([](const char*, QWidget*, const char*) { return static_cast<int>(IDCANCEL); });
    }

    QAction* PrintMenuItem() {
        for (QAction* menu : m_frame->MainWindow()->menuBar()->actions()) {
            if (menu->menu() && menu->menu()->title() == "&File") {
                emit menu->menu()->aboutToShow();
                for (QAction* item : menu->menu()->actions()) {
                    if (item->text().startsWith("&Print...")) {
                        return item;
                    }
                }
            }
        }
        return nullptr;
    }

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<CQuillmoorApp> m_app;
    CFrameWnd* m_frame = nullptr;
    CQuillmoorView* m_view = nullptr;
};

} // namespace

TEST_F(PrintCommandTest, CtrlPAndTheMenuItemPrintIntoTheNamedPdfWithoutADialog) {
    qputenv("CELLWRIGHT_PRINT_TO_PDF", m_path.toUtf8());
    int dialogs = 0;
    AfxSetModalHook([&](const char*, QWidget*, const char*) {
        ++dialogs;
        return static_cast<int>(IDCANCEL);
    });
    QTest::keyClick(m_view->Widget(), Qt::Key_P, Qt::ControlModifier);
    ProcessEvents();
    EXPECT_EQ(PdfPageCount(m_path), m_view->m_printPageCount);
    EXPECT_GT(m_view->m_printPageCount, 1);

    QFile::remove(m_path);
    QAction* item = PrintMenuItem();
    ASSERT_NE(item, nullptr);
    item->trigger();
    ProcessEvents();
    EXPECT_EQ(PdfPageCount(m_path), m_view->m_printPageCount);
    EXPECT_EQ(dialogs, 0);
}

TEST_F(PrintCommandTest, ThePrintDialogDecidesWhetherAnythingIsPrinted) {
    ASSERT_TRUE(m_frame->RouteCommand(ID_OPTIONS_EASY));
    ProcessEvents();
    ASSERT_TRUE(AfxGetCaretState().visible);

    // Cancelled: nothing is printed, and none of the printing calls ran (the caret is untouched).
    std::vector<std::string> asked;
    AfxSetModalHook([&](const char* kind, QWidget*, const char*) {
        asked.push_back(kind);
        return static_cast<int>(IDCANCEL);
    });
    ASSERT_TRUE(m_frame->RouteCommand(ID_FILE_PRINT));
    EXPECT_EQ(asked, std::vector<std::string>{"print"});
    EXPECT_EQ(m_view->m_printCell, 0);
    EXPECT_TRUE(AfxGetCaretState().visible);
    EXPECT_FALSE(QFile::exists(m_path));

    // Accepted, with the dialog's printer sent to a file: the puzzle comes out on one sheet.
    AfxSetModalHook([&](const char* kind, QWidget* dialog, const char*) {
        if (std::string(kind) == "print") {
            QPrinter* printer = static_cast<QPrintDialog*>(dialog)->printer();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(m_path);
            return static_cast<int>(IDOK);
        }
        return static_cast<int>(IDCANCEL);
    });
    ASSERT_TRUE(m_frame->RouteCommand(ID_FILE_PRINT));
    EXPECT_EQ(PdfPageCount(m_path), 1);
    EXPECT_GT(m_view->m_printCell, 0);
    EXPECT_FALSE(AfxGetCaretState().visible);
    EXPECT_EQ(m_view->m_caretShowCount, 0);
}

TEST_F(PrintCommandTest, PrintDirectUsesTheApplicationsPrinterWithoutTheDialog) {
    int dialogs = 0;
    AfxSetModalHook([&](const char*, QWidget*, const char*) {
        ++dialogs;
        return static_cast<int>(IDCANCEL);
    });
    QPrinter* printer = m_app->GetPrinter();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(m_path);
    ASSERT_TRUE(m_frame->RouteCommand(ID_FILE_PRINT_DIRECT));
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(PdfPageCount(m_path), m_view->m_printPageCount);
}
