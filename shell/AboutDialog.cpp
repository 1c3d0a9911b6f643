#include "shell/AboutDialog.h"

#include "common/MenuIds.h"

CAboutDialog::CAboutDialog() : CDialog(IDD_ABOUTBOX) {}
