// The print flow: the Print dialog (or none), a printer DC on the job's printer, and the view's
// OnPrint and OnEndPrinting.

#include "platform/AfxInternal.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {
class CPrinterSurface : public CSurface {
  public:
    explicit CPrinterSurface(QPrinter* printer) : m_printer(printer) {}
    QPaintDevice* Device() override { return m_printer; }
    bool IsPrinter() const override { return true; }

  private:
    QPrinter* m_printer;
};

// Whether the job goes ahead: at once without the dialog, else as the Print dialog is answered.
bool ChoosePrinter(QPrinter* printer, bool withDialog) {
    if (!withDialog)
        return true;
    QPrintDialog dialog(printer, AfxMainWidget());
    int result = IDCANCEL;
    if (AfxCallModalHook("print", &dialog, "Print", &result))
        return result == IDOK;
    return dialog.exec() == QDialog::Accepted;
}

// One call of OnPrint makes the job (its further sheets are its own EndPage and StartPage).
// FALSE when the job was wanted but the printer could not begin it (a file that cannot be
// written); then none of the view's drawing calls run.
BOOL RunPrintJob(CView* view, QPrinter* printer, bool withDialog) {
    // The print dialog, and the progress window a print job shows, cover the view.
    CModalCover cover;
    if (!ChoosePrinter(printer, withDialog))
        return TRUE;
    CDC dc;
    dc.AttachSurface(std::make_shared<CPrinterSurface>(printer));
    // The document begins with the job, so that a sheet left blank still comes out.
    if (dc.Surface()->Painter() == nullptr)
        return FALSE;
    CPrintInfo info;
    info.m_rectDraw = CRect(0, 0, printer->width(), printer->height());
    view->OnPrint(&dc, &info);
    view->OnEndPrinting(&dc, &info);
    return TRUE;
}
} // namespace

void CView::OnEndPrinting(CDC*, CPrintInfo*) {}
void CView::OnPrint(CDC* pDC, CPrintInfo*) {
    OnDraw(pDC);
}

void CView::OnFilePrint() {
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    RunPrintJob(this, app->GetPrinter(), true);
}

void CView::OnFilePrintDirect() {
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    RunPrintJob(this, app->GetPrinter(), false);
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
    return RunPrintJob(this, &printer, false);
}
