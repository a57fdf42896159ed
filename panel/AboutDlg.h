#pragma once
// The About box, opened from the panel's system menu.

#include "framework/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
