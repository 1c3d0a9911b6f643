// Application, frame, document and view classes, command routing, caret, wait cursor and
// message boxes on Qt Widgets. Each has a file of its own; the base classes are in AfxWin.cpp.
#pragma once

#include "platform/AfxAccess.h"
#include "platform/AfxGdi.h"
#include "platform/AfxString.h"
#include "platform/AfxTypes.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QWidget;
class QImage;
class QPrinter;
class QMainWindow;
class CDocument;
class CView;
class CFrameWnd;
class CWinApp;
class CPrintInfo;
class CViewWidget;
class CWorkAreaKeeper;

// ---------------------------------------------------------------------------------------------
// Commands

// Enabling state of one menu item or accelerator, asked for before it is shown or fired.
class CCmdUI {
  public:
    UINT m_nID = 0;
    BOOL m_bEnabled = TRUE;

    explicit CCmdUI(UINT id = 0) : m_nID(id) {}
    void Enable(BOOL on = TRUE) { m_bEnabled = on; }
};

// Message-map-like dispatch: classes register command and update handlers by id (usually in
// their constructors). Routing is view -> document -> frame -> application; an id nobody
// handles does nothing, and its menu item or accelerator stays enabled but inert.
class CCmdTarget {
  public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget();

    // With updateOrNull == nullptr: runs the command handler. Otherwise runs the update handler
    // (a command handler without an update handler leaves the item enabled). TRUE when this
    // target has a handler for id.
    virtual BOOL OnCmdMsg(UINT id, CCmdUI* updateOrNull);

    // Wait cursor (the application's override cursor). Views are presented first, so what was
    // drawn before the blocking work is on screen during it.
    void BeginWaitCursor();
    void EndWaitCursor();

  protected:
    template <class T> void OnCommand(UINT id, void (T::*handler)()) {
        T* self = static_cast<T*>(this);
        m_commands[id] = [self, handler]() { (self->*handler)(); };
    }
    template <class T> void OnUpdateCommand(UINT id, void (T::*handler)(CCmdUI*)) {
        T* self = static_cast<T*>(this);
        m_updates[id] = [self, handler](CCmdUI* ui) { (self->*handler)(ui); };
    }
    void OnCommand(UINT id, std::function<void()> handler) { m_commands[id] = std::move(handler); }
    void OnUpdateCommand(UINT id, std::function<void(CCmdUI*)> handler) {
        m_updates[id] = std::move(handler);
    }
    // Handlers of this object only (the routing is added by the subclasses).
    BOOL DispatchOwn(UINT id, CCmdUI* updateOrNull);

  private:
    std::map<UINT, std::function<void()>> m_commands;
    std::map<UINT, std::function<void(CCmdUI*)>> m_updates;
};

// ---------------------------------------------------------------------------------------------
// Windows

struct CREATESTRUCT {
    DWORD style = 0;
};

class CWnd : public CCmdTarget {
  public:
    CWnd();
    ~CWnd() override;

    HWND GetSafeHwnd() const { return const_cast<CWnd*>(this); }

    // Client rectangle: left and top 0, right and bottom the client size.
    void GetClientRect(RECT* rect) const;
    void SetWindowText(const char* text);
    CString GetWindowText() const;
    void GetWindowText(CString& text) const { text = GetWindowText(); }
    // What assistive technologies call a control, and what they add when it gets the focus.
    void SetAccessibleName(const char* name);
    void SetAccessibleDescription(const char* text);

    // Caret (AfxCaret.cpp), with Win32's counting: a new caret is hidden (count 1); ShowCaret
    // lowers the count and the caret is visible at 0; HideCaret raises it. One caret exists at a
    // time, the size of its bitmap; it is drawn inverted (XOR with the bitmap) over the owner's
    // image, blinking at the desktop rate.
    BOOL CreateCaret(CBitmap* bitmap);
    static void SetCaretPos(int x, int y);
    void ShowCaret();
    void HideCaret();

    // Qt glue: the widget this window is shown in (nullptr before it exists).
    QWidget* Widget() const { return m_widget; }
    // Wraps an existing widget (dialog controls); the widget is not owned.
    void AttachWidget(QWidget* widget) { m_widget = widget; }

  protected:
    QWidget* m_widget = nullptr;
};

// The state of a key as of the key message being handled (high bit set: down); outside one, as the
// keyboard is now (AfxKeys.cpp). Answers for VK_CONTROL and VK_MENU.
SHORT GetKeyState(int virtualKey);

// What tests can see of the caret.
struct CCaretState {
    bool exists = false;
    bool visible = false; // hide count 0 (blinking phase not considered)
    bool blinkOn = false; // the blinking phase currently drawn
    int hideCount = 0;
    int x = 0, y = 0;
    int width = 0, height = 0;
    CWnd* owner = nullptr;
};
CCaretState AfxGetCaretState();

// The document (AfxDoc.cpp). The game keeps no files, so it holds nothing; it answers the save
// command, and a new document repaints the view.
class CDocument : public CCmdTarget {
  public:
    CDocument();
    ~CDocument() override;

    virtual BOOL OnNewDocument();
    // The save command: shows the file dialog ("All Files (*.*)"); nothing of the game is written.
    BOOL DoFileSave();
    BOOL OnCmdMsg(UINT id, CCmdUI* updateOrNull) override;

    void AddView(CView* view);
    void RemoveView(CView* view);

  private:
    std::vector<CView*> m_views;
};

class CView : public CWnd {
  public:
    CView();
    ~CView() override;

    virtual void OnDraw(CDC* pDC) = 0;
    BOOL OnCmdMsg(UINT id, CCmdUI* updateOrNull) override;

    // Mouse and keys in client coordinates and virtual-key codes. '0'..'9' come from the main
    // row only; keypad digits arrive as VK_NUMPAD0..9. Double click order: press, release,
    // double-click, release.
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    // Printing (AfxPrint.cpp). OnFilePrint runs the print flow with the Print dialog on the
    // application's printer: once the dialog is accepted, OnPrint draws the job with m_rectDraw
    // in printer pixels (further sheets are its own EndPage/StartPage), then OnEndPrinting.
    // PrintToPdf runs the same flow without any dialog into a PDF file (for tests and scripts),
    // on the page layout of the application's printer when there is an application; FALSE when
    // the file cannot be written, and then nothing is printed.
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    void OnFilePrint();
    // The same job on the application's printer without the Print dialog (ID_FILE_PRINT_DIRECT).
    void OnFilePrintDirect();
    BOOL PrintToPdf(const char* path);

    CDocument* GetDocument() const { return m_document; }
    void SetDocument(CDocument* doc) { m_document = doc; }

    // Accessibility (AfxAccess.cpp). The view numbers the items it shows (ids > 0; 0 is the view
    // itself) and answers for them; the layer asks whenever an assistive technology does, and
    // after every input event and command when one listens, so nothing is computed otherwise.
    // The item's children in reading order (at most kMaxAccessibleChildren); their count.
    virtual int AccessibleChildren(int id, int* children) const;
    // False when there is no such item now.
    virtual bool DescribeAccessible(int id, CAccessibleItem* item);
    // The item that holds the keyboard focus while the view has it; 0: the view itself.
    virtual int AccessibleFocus() const;
    // An assistive technology pressed a button item (run from the event loop, never nested).
    virtual void OnAccessiblePress(int id);
    // Tells listeners what changed since the last call: the focused item, names, the children.
    void NotifyAccessibleChanges();

    // Marks the view for a full redraw: OnDraw runs again soon.
    void Invalidate(BOOL erase = TRUE);
    // Runs a pending redraw now and puts the result on screen.
    void UpdateWindow();

    // Qt glue. The view's widget is made on first use (or by the frame); every DC of the view
    // draws into the view's part of its window's backing store.
    CViewWidget* ViewWidget();
    // A copy of what the view's DCs drew, without the caret (valid until the next call).
    const QImage& BackingImage() const;
    // Puts what was drawn (and the caret) on screen now.
    void PresentNow();
    // Asks for a presentation at the next event loop pass.
    void SchedulePresent();
    // True while a redraw requested by Invalidate, a resize or the first show is pending.
    bool DrawPending() const;
    // Runs OnDraw now on a paint DC (used by the widget).
    void RunDraw();

  private:
    friend class CViewWidget;
    CDocument* m_document = nullptr;
    CViewWidget* m_viewWidget = nullptr; // owned: deleted with the view
};

// Device contexts of a view. Both draw into its pixels; releasing a client DC asks the view to
// present them (the paint DC is released by the paint pass itself).
class CClientDC : public CDC {
  public:
    explicit CClientDC(CView* view);
    ~CClientDC() override;

  protected:
    CView* m_view;
};

class CPaintDC : public CClientDC {
  public:
    explicit CPaintDC(CView* view);
    ~CPaintDC() override;
};

// Presents every view synchronously: called before blocking work.
void AfxPresentAllViews();

// A menu description: popups with items. An item with text nullptr is a separator. Texts use
// "&" for mnemonics and may carry "\t<shortcut text>" shown right-aligned.
struct CMenuEntry {
    const char* text;
    UINT id;
};
struct CMenuPopup {
    const char* text;
    std::vector<CMenuEntry> items;
};
typedef std::vector<CMenuPopup> CMenuTemplate;

// One accelerator: a virtual-key code with FSHIFT/FCONTROL/FALT modifiers, firing a command id.
struct CAccelEntry {
    UINT key;
    UINT modifiers;
    UINT id;
};
typedef std::vector<CAccelEntry> CAccelTable;

// The menu and accelerators of a frame by its resource id, registered by the program at
// start-up (AfxMenu.cpp).
void AfxRegisterMenu(UINT id, const CMenuTemplate& menu);
void AfxRegisterAccelerators(UINT id, const CAccelTable& table);

class CFrameWnd : public CWnd {
  public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Default style: WS_CAPTION | FWS_ADDTOTITLE. A frame with WS_MAXIMIZE keeps covering the
    // work area of its screen and shows no caption buttons (AfxPlacement.cpp).
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Creates the window with menu, accelerators and icon of resource id, and the view.
    BOOL LoadFrame(UINT resourceId, CView* view, CDocument* doc);
    BOOL OnCmdMsg(UINT id, CCmdUI* updateOrNull) override;
    // SW_SHOWMAXIMIZED or any other: shown (maximised when the style says so).
    BOOL ShowWindow(int cmd);
    void UpdateWindow();

    CView* GetActiveView() const { return m_view; }
    // Updates (CCmdUI) and routes a command as a menu choice or accelerator would.
    BOOL RouteCommand(UINT id);
    // Runs the update handlers of id; FALSE when disabled.
    BOOL QueryCommandEnabled(UINT id);
    DWORD Style() const { return m_style; }
    QMainWindow* MainWindow() const;

  private:
    CView* m_view = nullptr;
    DWORD m_style = 0;
    std::unique_ptr<QMainWindow> m_frameWidget;
    CWorkAreaKeeper* m_keeper = nullptr; // owned by the window
};

// Single-document template: creates document, frame and view once, then reuses them.
class CSingleDocTemplate {
  public:
    CSingleDocTemplate(UINT resourceId, std::function<CDocument*()> makeDoc,
                       std::function<CFrameWnd*()> makeFrame, std::function<CView*()> makeView)
        : m_resourceId(resourceId), m_makeDoc(std::move(makeDoc)), m_makeFrame(std::move(makeFrame)),
          m_makeView(std::move(makeView)) {}
    template <class TDoc, class TFrame, class TView> static CSingleDocTemplate* Create(UINT resourceId) {
        return new CSingleDocTemplate(
            resourceId, [] { return static_cast<CDocument*>(new TDoc); },
            [] { return static_cast<CFrameWnd*>(new TFrame); },
            [] { return static_cast<CView*>(new TView); });
    }
    ~CSingleDocTemplate();
    // New (nullptr) document: the first call creates everything; later calls re-initialise
    // the document and repaint the view. Returns the document or nullptr on failure.
    CDocument* OpenDocumentFile(const char* path);
    CFrameWnd* Frame() const { return m_frame; }

  private:
    UINT m_resourceId;
    std::function<CDocument*()> m_makeDoc;
    std::function<CFrameWnd*()> m_makeFrame;
    std::function<CView*()> m_makeView;
    CDocument* m_doc = nullptr;
    CFrameWnd* m_frame = nullptr;
    CView* m_view = nullptr;
};

class CWinApp : public CCmdTarget {
  public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    // Runs the event loop until the main window closes; returns the exit code.
    int Run();
    BOOL OnCmdMsg(UINT id, CCmdUI* updateOrNull) override;

    void AddDocTemplate(CSingleDocTemplate* tmpl);

    // Framework commands (registered by the constructor). A new document: the first makes
    // document, frame and view, and the frame becomes the main window; FALSE on failure.
    BOOL OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();

    // Deletes document, frame and view (AfxWinMain calls it before the QApplication ends).
    void DestroyDocuments();

    // The application's one printer (made on first use).
    QPrinter* GetPrinter();

    CFrameWnd* m_pMainWnd = nullptr;
    CString m_pszAppName;

  private:
    std::unique_ptr<CSingleDocTemplate> m_template;
    std::unique_ptr<QPrinter> m_printer;
};

CWinApp* AfxGetApp();
CFrameWnd* AfxGetMainWnd();

// Creates the QApplication, runs theApp.InitInstance() and the event loop. main() calls it.
int AfxWinMain(int argc, char** argv);

// ---------------------------------------------------------------------------------------------
// Modal boxes and dialogs (AfxModal.cpp)

// MB_OK, with MB_ICONEXCLAMATION for a warning; answers IDOK.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);

// Test hook for everything modal. When set, the layer calls it instead of exec() and never
// blocks. kind is one of:
//   "messagebox"  dialogOrNull == nullptr, text = the message; return the button id (IDOK...).
//   "dialog"      dialogOrNull = the CDialog's QDialog after OnInitDialog, text = its title; the
//                 hook may type into its controls. Return IDOK or IDCANCEL to act as that button
//                 (OnOK/OnCancel run), or another control id to click that button; the hook is
//                 asked again until the dialog has ended (at most 100 times, then IDCANCEL).
//   "fileopen", "filesave"  text = the filter; return IDOK or IDCANCEL. Nothing is read or written.
//   "pagesetup", "print"    dialogOrNull = the Qt dialog; return IDOK or IDCANCEL.
// An empty function removes the hook.
typedef std::function<int(const char* kind, QWidget* dialogOrNull, const char* text)> AfxModalHookFn;
void AfxSetModalHook(AfxModalHookFn hook);
bool AfxHasModalHook();
// Calls the hook if one is set; returns false when none is set.
bool AfxCallModalHook(const char* kind, QWidget* dialogOrNull, const char* text, int* result);
