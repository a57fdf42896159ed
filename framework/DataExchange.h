#pragma once
// Dialog data exchange: members <-> controls, with validation. In saving mode
// the first field that fails shows a message naming its problem, gets the
// focus, and ends the exchange (UpdateData then returns false) -- unless the
// exchange takes every field: then later fields are still taken, and only the
// first failure shows its message. Text is UTF-8 in the members.

#include <windows.h>

#include <string>

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, bool bSaveAndValidate);

    // Notes the control being exchanged (the one a failure puts the focus on).
    HWND PrepareEditCtrl(int nIDC);
    // Puts the focus on the last prepared control and ends the exchange.
    [[noreturn]] void Fail();

    bool m_bSaveAndValidate;
    CDialog* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
    bool m_bTakeEveryField = false;  // go on past a failing field
    bool m_bFailed = false;          // a field has failed (and been reported)
};

// Thrown by CDataExchange::Fail and caught by UpdateData; never leaves it.
struct DataExchangeFailure {};

void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
// Saving only: a value outside nMin..nMax fails with a message naming the range.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int nMin, int nMax);

// Reads text as a whole signed decimal number: optional blanks, an optional
// sign, digits, optional blanks, nothing else. value changes only on ok.
enum class NumberParse { ok, notNumber, tooSmall, tooLarge };
NumberParse ParseDecimalInt32(const char* text, int& value);
