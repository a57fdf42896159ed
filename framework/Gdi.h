#pragma once
// GDI objects and device contexts, each owned by a small RAII type.

#include <windows.h>

// Owns one font handle (or none).
class CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    // Destroys the held font, if any; true when one was destroyed.
    bool DeleteObject();
    // Takes ownership of hFont; false (and nothing held changes) for null.
    bool Attach(HFONT hFont);
    HFONT GetSafeHandle() const { return m_hObject; }
    operator HFONT() const { return m_hObject; }
    // Releases the held font and makes one from the description.
    bool CreateFontIndirect(const LOGFONTA* pLogFont);

    HFONT m_hObject = nullptr;
};

// A device context we do not own; the RAII types below derive from it.
class CDC {
public:
    CDC() = default;
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    HGDIOBJ SelectObject(HGDIOBJ hObject) const { return ::SelectObject(m_hDC, hObject); }
    COLORREF SetTextColor(COLORREF cr) const { return ::SetTextColor(m_hDC, cr); }
    COLORREF SetBkColor(COLORREF cr) const { return ::SetBkColor(m_hDC, cr); }
    int SetBkMode(int nMode) const { return ::SetBkMode(m_hDC, nMode); }
    bool GetTextExtentPoint32(const char* text, int nCount, SIZE* pSize) const
    {
        return ::GetTextExtentPoint32A(m_hDC, text, nCount, pSize) != FALSE;
    }
    // Scales a size from logical to device units.
    void LPtoDP(SIZE* pSize) const;
    bool BitBlt(int x, int y, int nWidth, int nHeight, HDC hSrcDC, int xSrc, int ySrc, DWORD dwRop) const
    {
        return ::BitBlt(m_hDC, x, y, nWidth, nHeight, hSrcDC, xSrc, ySrc, dwRop) != FALSE;
    }
    bool DrawIcon(int x, int y, HICON hIcon) const { return ::DrawIcon(m_hDC, x, y, hIcon) != FALSE; }

    HDC m_hDC = nullptr;
};

// BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd);
    ~CPaintDC();
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
};

// GetDC of a window's client area (any window, another program's too), given
// back to the same window by ReleaseDC. m_hDC is null when none was given.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd);
    ~CClientDC();
    HWND m_hWnd;
};
