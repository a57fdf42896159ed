#pragma once
// The application object: runs the control panel for the life of the process.

#include "framework/WinApp.h"

class CMainApp : public CWinApp {
public:
    CMainApp();
    // Runs the panel modally; always FALSE, so the process ends with the panel.
    BOOL InitInstance() override;
};

extern CMainApp theApp;
