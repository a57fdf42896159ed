#pragma once
// The options dialog: live see-through, outline (on/off, width, colour),
// formatting tags, the subtitle files' code page, and the film player
// followed. OK stores the choices in the options file (a file that cannot be
// written is reported and blocks nothing); the caller then makes them the ones
// in use. Check asks the player chosen once, on a thread of its own, and shows
// the answer when it comes.

#include <memory>
#include <string>

#include "core/OptionValues.h"
#include "core/PlayerConfig.h"
#include "framework/Dialog.h"

class COptionsDlg : public CDialog {
public:
    COptionsDlg(HWND hOwner, const COptionValues& values, const CPlayerConfig& player, const std::wstring& file);

    COptionValues m_values;  // shown at the start; the choices after OK
    CPlayerConfig m_player;  // the same for the film player

    static constexpr UINT kCheckAnswered = WM_APP + 2;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(UINT nID, UINT nCode, HWND hCtl) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

private:
    struct CCheck;  // what a running check and the dialog share

    std::wstring m_strFile;
    COLORREF m_crCustom[16] = {};  // the colour chooser's custom colours, while the dialog is open
    std::shared_ptr<CCheck> m_pCheck;  // the check running, if any
    void ShowColor();
    void EnableOutlineControls();
    void EnableCheck();
    // The player's fields into player; false after saying which one does not read.
    bool ReadPlayerFields(CPlayerConfig& player);
    void StartCheck();
};
