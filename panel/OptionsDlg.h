#pragma once
// The options dialog: live see-through, outline (on/off, width, colour) and
// formatting tags. OK stores the choices in Kelvane.ini (a file that cannot be
// written is reported and blocks nothing) and makes them the options in use.

#include "framework/Dialog.h"
#include "core/OptionValues.h"

class COptionsDlg : public CDialog {
public:
    explicit COptionsDlg(CWnd* pParent);

    COptionValues m_values;  // shown at the start; the choices after OK

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(UINT nID, UINT nCode, HWND hCtl) override;

private:
    void ShowColor();
    void EnableOutlineControls();
};
