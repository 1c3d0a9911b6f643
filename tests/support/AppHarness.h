#pragma once
// A fixture that starts the whole application as main() does: the application object, its frame
// with the menus and accelerators, the document and the view after its first paint.

#include <gtest/gtest.h>
#include <memory>

#include "ViewHarness.h"
#include "shell/QuillmoorApp.h"

class CAppTest : public ::testing::Test {
  protected:
    // The application object; a test may give it handlers of its own.
    virtual std::unique_ptr<CQuillmoorApp> MakeApp() { return std::make_unique<CQuillmoorApp>(); }

    void SetUp() override {
        m_app = MakeApp();
        ASSERT_TRUE(m_app->InitInstance());
        m_frame = dynamic_cast<CFrameWnd*>(m_app->m_pMainWnd);
        ASSERT_NE(m_frame, nullptr);
        m_view = dynamic_cast<CQuillmoorView*>(m_frame->GetActiveView());
        ASSERT_NE(m_view, nullptr);
        ProcessEvents();
        m_view->UpdateWindow();
    }

    std::unique_ptr<CQuillmoorApp> m_app;
    CFrameWnd* m_frame = nullptr;
    CQuillmoorView* m_view = nullptr;
};
