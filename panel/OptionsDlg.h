#pragma once
// The options dialog: live see-through, outline (on/off, width, colour) and
// formatting tags. OK stores the choices in the options file (a file that
// cannot be written is reported and blocks nothing); the caller then makes them
// the options in use.

#include <string>

#include "core/OptionValues.h"
#include "framework/Dialog.h"

class COptionsDlg : public CDialog {
public:
    COptionsDlg(HWND hOwner, const COptionValues& values, const std::wstring& file);

    COptionValues m_values;  // shown at the start; the choices after OK

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(UINT nID, UINT nCode, HWND hCtl) override;

private:
    std::wstring m_strFile;
    COLORREF m_crCustom[16] = {};  // the colour chooser's custom colours, while the dialog is open
    void ShowColor();
    void EnableOutlineControls();
};
