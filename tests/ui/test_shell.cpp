// The application as the player meets it: start-up, menus and their enabling, the Fonts menu,
// the About box, the caption and the sound cues.

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <cstring>
#include <gtest/gtest.h>

#include "AppHarness.h"
#include "common/MenuIds.h"
#include "common/SoundCues.h"
#include "shell/QuillmoorApp.h"

namespace {

class ShellTest : public CAppTest {
  protected:
    // The menu of the main window with this title, opened as the player would open it.
    QMenu* OpenMenu(const QString& title) {
        for (QAction* action : m_frame->MainWindow()->menuBar()->actions()) {
            if (action->menu() && action->menu()->title() == title) {
                emit action->menu()->aboutToShow();
                return action->menu();
            }
        }
        return nullptr;
    }

    static std::vector<std::pair<QString, bool>> Items(QMenu* menu) {
        std::vector<std::pair<QString, bool>> items;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                items.emplace_back(action->text(), action->isEnabled());
            }
        }
        return items;
    }
};

} // namespace

TEST_F(ShellTest, MainWindowIsMaximisedWithACaptionOnly) {
    EXPECT_EQ(m_frame->Style(), static_cast<DWORD>(0x01C08000));
    EXPECT_TRUE(m_frame->MainWindow()->isMaximized() || m_frame->MainWindow()->isFullScreen() ||
                m_frame->MainWindow()->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(m_view->m_gridReady, 1); // the first paint made a grid in advance
    // The window carries the application's icon, for the task bar and the window switcher.
    EXPECT_FALSE(m_frame->MainWindow()->windowIcon().availableSizes().isEmpty());
}

TEST_F(ShellTest, OptionsAreEnabledOnlyOnTheHomePage) {
    for (const auto& item : Items(OpenMenu("Options"))) {
        EXPECT_TRUE(item.second) << item.first.toStdString();
    }
    // Chosen from the menu as the player does.
    QMenu* options = OpenMenu("Options");
    ASSERT_NE(options, nullptr);
    options->actions().at(1)->trigger();
    ProcessEvents();
    EXPECT_EQ(m_view->m_option, 2);
    EXPECT_GT(m_view->m_givenCount, 0);
    for (const auto& item : Items(OpenMenu("Options"))) {
        EXPECT_FALSE(item.second) << item.first.toStdString();
    }
    for (UINT id : {ID_OPTIONS_EASY, ID_OPTIONS_HARD, ID_OPTIONS_OWN_NUMBERS}) {
        EXPECT_FALSE(m_frame->QueryCommandEnabled(id)) << id;
    }
    // Back on the home page they come back.
    m_view->m_option = 0;
    for (const auto& item : Items(OpenMenu("Options"))) {
        EXPECT_TRUE(item.second) << item.first.toStdString();
    }
}

TEST_F(ShellTest, TheFontInEffectIsTheGreyedItemAndTheBoardRepaintsAtOnce) {
    auto enabledFonts = [&] {
        std::vector<bool> enabled;
        for (const auto& item : Items(OpenMenu("Fonts"))) {
            enabled.push_back(item.second);
        }
        return enabled;
    };
    EXPECT_EQ(enabledFonts(), std::vector<bool>({false, true, true, true}));
    EXPECT_EQ(m_view->m_fontName, "Lucida Console");

    // On the home page the choice changes nothing visible.
    const QImage home = m_view->BackingImage().copy();
    ASSERT_TRUE(m_frame->RouteCommand(ID_FONT_ARIAL));
    EXPECT_EQ(m_view->BackingImage(), home);
    EXPECT_EQ(m_view->m_fontName, "Arial");
    EXPECT_EQ(m_view->m_fontIndex, 3);
    EXPECT_EQ(enabledFonts(), std::vector<bool>({true, true, true, false}));

    // During a game the possibles are redrawn in the new face straight away.
    ASSERT_TRUE(m_frame->RouteCommand(ID_OPTIONS_EASY));
    int s = 0;
    while (m_view->m_grid[s / 9][s % 9] != 0) {
        ++s;
    }
    m_view->RecomputePossibles(s / 9, s % 9, 0);
    m_view->PaintBoard();
    const CRect square = m_view->m_squareRect[s / 9][s % 9];
    const auto inArial = InkShape(*m_view, square);
    ASSERT_TRUE(m_frame->RouteCommand(ID_FONT_LUCIDA_CONSOLE));
    EXPECT_EQ(m_view->m_fontName, "Lucida Console");
    EXPECT_NE(InkShape(*m_view, square), inArial);
    EXPECT_EQ(enabledFonts(), std::vector<bool>({false, true, true, true}));
}

TEST_F(ShellTest, CaptionCarriesTheTimeAndTheVersion) {
    m_view->UpdateCaption();
    const CString caption = m_frame->GetWindowText();
    const std::string text(static_cast<const char*>(caption));
    EXPECT_NE(text.find(static_cast<const char*>(m_view->m_timeText)), std::string::npos);
    ASSERT_GT(text.size(), 17u);
    EXPECT_EQ(text.substr(text.size() - 17), " -- Version QV317");
    EXPECT_GT(text.find(static_cast<const char*>(m_view->m_timeText)), 0u); // the notice comes first
}

TEST_F(ShellTest, AboutBoxShowsNameVersionAndOk) {
    QString title;
    QStringList labels;
    bool hasIcon = false;
    AfxSetModalHook([&](const char* kind, QWidget* dialog, const char* text) {
        if (std::string(kind) == "dialog" && dialog) {
            title = text;
            for (QLabel* label : dialog->findChildren<QLabel*>()) {
                labels << label->text();
                hasIcon = hasIcon || !label->pixmap().isNull();
            }
        }
        return static_cast<int>(IDOK);
    });
    EXPECT_TRUE(m_app->OnCmdMsg(ID_APP_ABOUT, nullptr));
    AfxSetModalHook([](const char*, QWidget*, const char*) { return static_cast<int>(IDCANCEL); });
    EXPECT_EQ(title, "About Cellwright");
    EXPECT_TRUE(labels.contains("Cellwright Version QV317")) << labels.join("|").toStdString();
    EXPECT_TRUE(hasIcon);
}

TEST_F(ShellTest, FileAndEditCommandsLeaveTheGameAlone) {
    ASSERT_TRUE(m_frame->RouteCommand(ID_OPTIONS_EASY));
    int grid[9][9];
    std::memcpy(grid, m_view->m_grid, sizeof grid);
    const int points = m_view->m_points;
    for (UINT id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY,
                    ID_EDIT_PASTE, ID_NEXT_PANE, ID_PREV_PANE}) {
        m_frame->RouteCommand(id);
        ProcessEvents();
    }
    EXPECT_EQ(m_view->m_option, 1);
    EXPECT_EQ(m_view->m_points, points);
    EXPECT_EQ(std::memcmp(grid, m_view->m_grid, sizeof grid), 0);
}

TEST(SoundCues, GoThroughThePlayerWithTheirMode) {
    CSoundRecorder& recorder = TestSoundRecorder();
    recorder.m_cues.clear();
    recorder.m_result = 7;
    EXPECT_EQ(PlaySoundCue(kSoundForbidden), 7);
    EXPECT_EQ(PlaySoundCueSync(kSoundCorrect), 7);
    EXPECT_EQ(PlaySoundCue(kSoundWrong), 7);
    recorder.m_result = 1;
    ASSERT_EQ(recorder.m_cues.size(), 3u);
    EXPECT_EQ(recorder.m_cues[0].id, 103);
    EXPECT_FALSE(recorder.m_cues[0].synchronous);
    EXPECT_EQ(recorder.m_cues[1].id, 101);
    EXPECT_TRUE(recorder.m_cues[1].synchronous);
    EXPECT_EQ(recorder.m_cues[2].id, 102);
    EXPECT_FALSE(recorder.m_cues[2].synchronous);
}

TEST(SoundCues, AMissingSoundGivesZeroFromTheRealPlayer) {
    AfxSetSoundPlayer(nullptr);
    const int async = PlaySoundCue(104);
    const int sync = PlaySoundCueSync(100);
    AfxSetSoundPlayer(&TestSoundRecorder());
    EXPECT_EQ(async, 0);
    EXPECT_EQ(sync, 0);
}
