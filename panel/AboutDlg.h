#pragma once
// The About box, opened from the panel's system menu: the version and the
// keys of the live controls (core/LiveCommands).

#include "framework/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    BOOL OnInitDialog() override;
};
