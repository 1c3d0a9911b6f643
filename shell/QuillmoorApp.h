#pragma once
// The application object: start-up and the About command.

#include "platform/Afx.h"

class CQuillmoorApp : public CWinApp {
  public:
    CQuillmoorApp();
    BOOL InitInstance() override;
    void OnAppAbout();
};

// Menus, accelerators and the About box template of the program, registered with the framework
// before the main window is made. Safe to call more than once.
void RegisterAppResources();
