#include "framework/Gdi.h"

bool CFont::DeleteObject()
{
    if (!m_hObject)
        return false;
    ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return true;
}

bool CFont::Attach(HFONT hFont)
{
    if (!hFont)
        return false;
    DeleteObject();
    m_hObject = hFont;
    return true;
}

bool CFont::CreateFontIndirect(const LOGFONTA* pLogFont)
{
    DeleteObject();
    return Attach(::CreateFontIndirectA(pLogFont));
}

void CDC::LPtoDP(SIZE* pSize) const
{
    POINT points[2] = {{0, 0}, {pSize->cx, pSize->cy}};
    ::LPtoDP(m_hDC, points, 2);
    pSize->cx = points[1].x - points[0].x;
    pSize->cy = points[1].y - points[0].y;
}

CPaintDC::CPaintDC(HWND hWnd) : m_hWnd(hWnd)
{
    m_hDC = ::BeginPaint(hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(HWND hWnd) : m_hWnd(hWnd)
{
    m_hDC = ::GetDC(hWnd);
}

CClientDC::~CClientDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, m_hDC);
}
