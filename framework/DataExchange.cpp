#include "framework/DataExchange.h"

#include <cstdint>

#include "framework/Dialog.h"
#include "framework/Report.h"
#include "core/Unicode.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A control's text, UTF-8.
std::string GetWideText(HWND hCtl)
{
    const int length = ::GetWindowTextLengthW(hCtl);
    std::wstring buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    buffer.resize(static_cast<size_t>(::GetWindowTextW(hCtl, &buffer[0], static_cast<int>(buffer.size()))));
    return WideToUtf8(buffer);
}

// The field's name for messages: the text of the static label just before the
// control in tab order ("From Hour:" -> "From Hour"), or empty.
std::string FieldName(HWND hCtl)
{
    HWND hLabel = ::GetWindow(hCtl, GW_HWNDPREV);
    wchar_t cls[16] = {};
    if (!hLabel || !::GetClassNameW(hLabel, cls, 16) || lstrcmpiW(cls, L"Static") != 0)
        return {};
    std::string name;
    for (char c : GetWideText(hLabel)) {
        if (c != '&')
            name += c;
    }
    while (!name.empty() && (name.back() == ':' || IsBlank(name.back())))
        name.pop_back();
    return name;
}

// The first failing field shows its message; the exchange then ends there,
// or goes on with the next field when it takes every field.
void FailWithMessage(CDataExchange* pDX, const std::string& problem)
{
    if (!pDX->m_bFailed) {
        const std::string name = FieldName(pDX->m_hWndLastControl);
        const std::string text = name.empty() ? problem : "\"" + name + "\": " + problem;
        ReportMessage(pDX->m_pDlgWnd ? pDX->m_pDlgWnd->m_hWnd : nullptr, text, MB_OK | MB_ICONEXCLAMATION);
    }
    pDX->m_bFailed = true;
    if (!pDX->m_bTakeEveryField)
        pDX->Fail();
}


void ExchangeNumber(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hCtl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        int parsed = 0;
        const NumberParse result = ParseDecimalInt32(GetWideText(hCtl).c_str(), parsed);
        switch (result) {
        case NumberParse::ok:
            break;
        case NumberParse::notNumber:
            FailWithMessage(pDX, "please enter a whole number.");
            return;  // the member keeps its value
        case NumberParse::tooSmall:
        case NumberParse::tooLarge:
            FailWithMessage(pDX, std::string("the number is too ") +
                                     (result == NumberParse::tooSmall ? "small" : "large") +
                                     "; please enter a whole number from -2147483648 to 2147483647.");
            return;  // the member keeps its value
        }
        value = parsed;
    } else {
        ::SetWindowTextW(hCtl, std::to_wstring(value).c_str());
    }
}

}  // namespace

NumberParse ParseDecimalInt32(const char* text, int& value)
{
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    if (*p < '0' || *p > '9')
        return NumberParse::notNumber;
    int64_t magnitude = 0;
    bool overflow = false;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude <= INT64_C(2147483648))
            magnitude = magnitude * 10 + (*p - '0');
        overflow = overflow || magnitude > INT64_C(2147483648);
    }
    while (IsBlank(*p))
        ++p;
    if (*p != '\0')
        return NumberParse::notNumber;
    const int64_t signedValue = negative ? -magnitude : magnitude;
    if (overflow || signedValue > INT32_MAX || signedValue < INT32_MIN)
        return negative ? NumberParse::tooSmall : NumberParse::tooLarge;
    value = static_cast<int>(signedValue);
    return NumberParse::ok;
}

CDataExchange::CDataExchange(CDialog* pDlgWnd, bool bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    return m_hWndLastControl;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        ::SendMessageW(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw DataExchangeFailure{};
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    ExchangeNumber(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    static_assert(sizeof(long) == sizeof(int), "long is 32 bits on Windows");
    int number = static_cast<int>(value);
    ExchangeNumber(pDX, nIDC, number);
    value = number;
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value)
{
    HWND hCtl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = GetWideText(hCtl);
    else
        ::SetWindowTextW(hCtl, Utf8ToWide(value).c_str());
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int nMin, int nMax)
{
    if (!pDX->m_bSaveAndValidate || (value >= nMin && value <= nMax))
        return;
    FailWithMessage(pDX, "please enter a whole number from " + std::to_string(nMin) + " to " +
                             std::to_string(nMax) + ".");
}
