// The home page after HOME: the last game's board is gone and the grid made in advance for the
// next game holds that game's solution, so nothing may paint the board there: not the Fonts menu,
// not the game keys, not printing, not the repaint after a dialog.

#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <string>

#include "AppHarness.h"
#include "PdfReader.h"
#include "PlayHarness.h"
#include "common/MenuIds.h"

namespace {

class HomeAfterGame : public CAppTest {
  protected:
    void SetUp() override {
        CAppTest::SetUp();
        ASSERT_TRUE(m_frame->RouteCommand(ID_OPTIONS_EASY));
        ProcessEvents();
        Click(*m_view, RectCentre(m_view->m_doneButtonRect)); // DONE with an empty grid
        ASSERT_EQ(m_view->m_phase, 2);
        Click(*m_view, RectCentre(m_view->m_doneButtonRect)); // HOME
        ASSERT_EQ(m_view->m_option, 0);
        ASSERT_GT(m_view->m_givenCount, 0); // the last game's count stays, as HOME leaves it
        ProcessEvents();
        m_home = m_view->BackingImage().copy();
        m_log.Clear();
    }

    // The page as it was, and nothing of the board drawn: the page draws its lines and prompts
    // with TextOut, the board every text with DrawText.
    void ExpectHomePageUntouched(const std::string& after) {
        ProcessEvents();
        EXPECT_TRUE(m_view->BackingImage() == m_home) << after;
        for (const CTextRecord& record : m_log.m_texts) {
            if (!record.printer) {
                EXPECT_TRUE(record.textOut) << after << " drew \"" << record.text.Str() << "\"";
            }
        }
        EXPECT_EQ(m_view->m_option, 0) << after;
        m_log.Clear();
    }

    QImage m_home;
    CTextLog m_log;
};

} // namespace

TEST_F(HomeAfterGame, EveryFontsItemLeavesThePageAlone) {
    for (UINT id : {ID_FONT_MS_SANS_SERIF, ID_FONT_ARIAL_BOLD, ID_FONT_ARIAL, ID_FONT_LUCIDA_CONSOLE}) {
        ASSERT_TRUE(m_frame->RouteCommand(id));
        ExpectHomePageUntouched("a font");
    }
    EXPECT_EQ(m_view->m_fontName, "Lucida Console");
}

TEST_F(HomeAfterGame, GameKeysLeaveThePageAlone) {
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Home, Qt::Key_F1, Qt::Key_End, Qt::Key_5, Qt::Key_Right}) {
        QTest::keyClick(m_view->Widget(), key);
        ExpectHomePageUntouched("key " + std::to_string(key));
    }
    EXPECT_EQ(m_view->m_helpShown, 0);
}

TEST_F(HomeAfterGame, PrintingGivesTheInstructionsAndTheRepaintAfterADialogThePage) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("home.pdf");
    qputenv("CELLWRIGHT_PRINT_TO_PDF", pdf.toUtf8());
    QTest::keyClick(m_view->Widget(), Qt::Key_P, Qt::ControlModifier);
    qunsetenv("CELLWRIGHT_PRINT_TO_PDF");
    EXPECT_GT(PdfPageCount(pdf), 1) << "the instructions, not a grid";
    ExpectHomePageUntouched("Ctrl+P into a PDF");

    // The Print dialog (cancelled) and the About box, each followed by the repaint that a
    // window uncovered by a dialog gets.
    for (UINT id : {ID_FILE_PRINT, ID_APP_ABOUT}) {
        ASSERT_TRUE(m_frame->RouteCommand(id));
        m_view->Invalidate();
        m_view->UpdateWindow();
        ExpectHomePageUntouched(id == ID_APP_ABOUT ? "the About box" : "the Print dialog");
    }
}
