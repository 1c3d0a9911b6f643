// What the print flow hands to the view's printing virtuals.
#pragma once

#include "platform/AfxTypes.h"

class CPrintInfo {
  public:
    CRect m_rectDraw;                // the printable area of the sheet, printer pixels, left/top 0
    BOOL m_bContinuePrinting = TRUE; // OnPrint sets FALSE to end the job after this sheet
    UINT m_nCurPage = 1;
    BOOL m_bPreview = FALSE;
    BOOL m_bDirect = FALSE;          // print without the Print dialog
    const char* m_pdfPath = nullptr; // set by CView::PrintToPdf: print into this PDF file

    void SetMinPage(UINT page) { m_nMinPage = page; }
    void SetMaxPage(UINT page) { m_nMaxPage = page; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }

  private:
    UINT m_nMinPage = 1;
    UINT m_nMaxPage = 0xFFFF;
};
