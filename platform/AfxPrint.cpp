#include "platform/AfxInternal.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {
// The printer of the job in progress (the application's, or a PDF printer for PrintToPdf).
QPrinter* g_jobPrinter = nullptr;

class CPrinterSurface : public CSurface {
  public:
    explicit CPrinterSurface(QPrinter* printer) : m_printer(printer) {}
    QPaintDevice* Device() override { return m_printer; }
    bool IsPrinter() const override { return true; }

  private:
    QPrinter* m_printer;
};
} // namespace

CPrinterDC::CPrinterDC(QPrinter* printer) {
    if (printer)
        AttachSurface(std::make_shared<CPrinterSurface>(printer));
}

CPrinterDC::~CPrinterDC() {
    DetachSurface();
}

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo) {
    return DoPreparePrinting(pInfo);
}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo) {
    if (!pInfo || !g_jobPrinter)
        return FALSE;
    if (pInfo->m_bDirect || pInfo->m_pdfPath)
        return TRUE;
    QPrintDialog dialog(g_jobPrinter, AfxMainWidget());
    int result = IDCANCEL;
    if (AfxCallModalHook("print", &dialog, "Print", &result))
        return result == IDOK;
    return dialog.exec() == QDialog::Accepted;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CView::OnEndPrinting(CDC*, CPrintInfo*) {}
void CView::OnPrint(CDC* pDC, CPrintInfo*) {
    OnDraw(pDC);
}

// Without a known page count a job is one sheet, unless OnPrint puts more on paper itself.
void CView::OnPrepareDC(CDC*, CPrintInfo* pInfo) {
    if (pInfo && pInfo->GetMaxPage() == 0xFFFF)
        pInfo->m_bContinuePrinting = pInfo->m_nCurPage == 1;
}

namespace {
// FALSE when the job was wanted but the printer could not begin it (a file that cannot be
// written); then none of the view's drawing calls run.
BOOL RunPrintJob(CView* view, QPrinter* printer, CPrintInfo& info) {
    // The print dialog, and the progress window a print job shows, cover the view.
    CModalCover cover;
    QPrinter* previous = g_jobPrinter;
    g_jobPrinter = printer;
    BOOL begun = TRUE;
    if (view->OnPreparePrinting(&info)) {
        CPrinterDC dc(printer);
        // The document begins with the job, so that a sheet left blank still comes out.
        begun = dc.IsValid() && dc.Surface()->Painter() != nullptr;
        if (begun) {
            info.m_rectDraw = CRect(0, 0, printer->width(), printer->height());
            view->OnBeginPrinting(&dc, &info);
            for (info.m_nCurPage = info.GetMinPage(); info.m_nCurPage <= info.GetMaxPage();
                 ++info.m_nCurPage) {
                view->OnPrepareDC(&dc, &info);
                if (!info.m_bContinuePrinting)
                    break;
                dc.StartPage();
                info.m_rectDraw = CRect(0, 0, printer->width(), printer->height());
                view->OnPrint(&dc, &info);
                dc.EndPage();
            }
            view->OnEndPrinting(&dc, &info);
            dc.EndDoc();
        }
    }
    g_jobPrinter = previous;
    return begun;
}
} // namespace

void CView::OnFilePrint() {
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    CPrintInfo info;
    RunPrintJob(this, app->GetPrinter(), info);
}

void CView::OnFilePrintDirect() {
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    CPrintInfo info;
    info.m_bDirect = TRUE;
    RunPrintJob(this, app->GetPrinter(), info);
}

BOOL CView::PrintToPdf(const char* path) {
    if (!path)
        return FALSE;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromUtf8(path));
    // The paper and margins chosen in Print Setup, as a job on the application's printer has.
    if (CWinApp* app = AfxGetApp())
        printer.setPageLayout(app->GetPrinter()->pageLayout());
    CPrintInfo info;
    info.m_bDirect = TRUE;
    info.m_pdfPath = path;
    return RunPrintJob(this, &printer, info);
}
