#pragma once
// The About box: icon, name and version, a notice line and OK.

#include "platform/Afx.h"

class CAboutDialog : public CDialog {
  public:
    CAboutDialog();
};
