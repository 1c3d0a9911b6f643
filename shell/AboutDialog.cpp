#include "shell/AboutDialog.h"

#include "shell/MenuIds.h"

CAboutDialog::CAboutDialog() : CDialog(IDD_ABOUTBOX) {}
