// Application, frame, document and view classes, command routing, caret, wait cursor and
// message boxes on Qt Widgets.
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
class CFrameWidget;

// ---------------------------------------------------------------------------------------------
// Commands

// Enabling state of one menu item or accelerator, asked for before it is shown or fired.
class CCmdUI {
  public:
    UINT m_nID = 0;
    BOOL m_bEnabled = TRUE;
    int m_nCheck = 0;
    bool m_bHandled = false; // set by Enable/SetCheck: an update handler answered

    explicit CCmdUI(UINT id = 0) : m_nID(id) {}
    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL on = TRUE) {
        m_bEnabled = on;
        m_bHandled = true;
    }
    virtual void SetCheck(int check = 1) {
        m_nCheck = check;
        m_bHandled = true;
    }
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
    void RestoreWaitCursor() {}

    bool HasCommandHandler(UINT id) const { return m_commands.count(id) != 0; }

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
    int x = 0, y = 0, cx = 0, cy = 0;
    const char* lpszName = nullptr;
};

class CWnd : public CCmdTarget {
  public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = this;
    HWND GetSafeHwnd() const { return const_cast<CWnd*>(this); }

    // Client rectangle: left and top 0, right and bottom the client size.
    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const;
    void SetWindowText(const char* text);
    void SetWindowTextA(const char* text) { SetWindowText(text); }
    CString GetWindowText() const;
    void GetWindowText(CString& text) const { text = GetWindowText(); }
    // Marks the window for a full redraw (for a view: OnDraw runs again soon).
    virtual void Invalidate(BOOL erase = TRUE);
    // Runs a pending redraw now and puts the result on screen.
    virtual void UpdateWindow();
    virtual BOOL ShowWindow(int cmd);
    CWnd* GetParent() const { return m_parent; }
    void SetParentWnd(CWnd* parent) { m_parent = parent; }
    CWnd* SetFocus();
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    virtual LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // What assistive technologies call a control, and what they add when it gets the focus.
    void SetAccessibleName(const char* name);
    void SetAccessibleDescription(const char* text);

    // Caret, with Win32's counting: a new caret is hidden (count 1); ShowCaret lowers the count
    // and the caret is visible at 0; HideCaret raises it. One caret exists at a time; it is
    // drawn inverted (XOR with the bitmap) over the owner's image, blinking at the desktop rate.
    BOOL CreateCaret(CBitmap* bitmap);
    BOOL CreateCaret(CBitmap* bitmap, int width, int height); // size taken from the bitmap
    void CreateSolidCaret(int width, int height);
    static void SetCaretPos(int x, int y);
    static void SetCaretPos(POINT p) { SetCaretPos(p.x, p.y); }
    static CPoint GetCaretPos();
    void ShowCaret();
    void HideCaret();

    // Qt glue: the widget this window is shown in (nullptr before it exists).
    QWidget* Widget() const { return m_widget; }
    // Wraps an existing widget (dialog controls); the widget is not owned.
    void AttachWidget(QWidget* widget) { m_widget = widget; }

  protected:
    QWidget* m_widget = nullptr;
    CWnd* m_parent = nullptr;
};

// The state of a key as of the key message being handled (high bit set: down); outside one, as the
// keyboard is now. Answers for VK_SHIFT, VK_CONTROL and VK_MENU.
SHORT GetKeyState(int virtualKey);

// Global Win32 forms of the caret calls.
BOOL CreateCaret(HWND wnd, CBitmap* bitmap, int width, int height);
BOOL DestroyCaret();
BOOL SetCaretPos(int x, int y);
BOOL ShowCaret(HWND wnd);
BOOL HideCaret(HWND wnd);

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

class CArchive {
  public:
    explicit CArchive(bool storing = false) : m_storing(storing) {}
    BOOL IsStoring() const { return m_storing; }
    BOOL IsLoading() const { return !m_storing; }

  private:
    bool m_storing;
};

class CDocument : public CCmdTarget {
  public:
    CDocument();
    ~CDocument() override;

    // New document: empties it and marks it unmodified.
    virtual BOOL OnNewDocument();
    virtual void DeleteContents() {}
    virtual void Serialize(CArchive&) {}
    // The save command: shows the file dialog ("All Files (*.*)"); nothing of the game is written.
    virtual BOOL DoFileSave();
    virtual BOOL OnCmdMsg(UINT id, CCmdUI* updateOrNull) override;

    // Asks every view except sender to repaint (OnUpdate, by default Invalidate).
    void UpdateAllViews(CView* sender, LPARAM hint = 0);
    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& Views() const { return m_views; }
    void SetModifiedFlag(BOOL modified = TRUE) { m_modified = modified; }
    BOOL IsModified() const { return m_modified; }
    void SetTitle(const char* title) { m_title = title; }
    const CString& GetTitle() const { return m_title; }

  private:
    std::vector<CView*> m_views;
    BOOL m_modified = FALSE;
    CString m_title;
};

class CView : public CWnd {
  public:
    CView();
    ~CView() override;

    virtual void OnDraw(CDC* pDC) = 0;
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, LPARAM hint);
    virtual BOOL OnCmdMsg(UINT id, CCmdUI* updateOrNull) override;

    // Mouse and keys in client coordinates and virtual-key codes. '0'..'9' come from the main
    // row only; keypad digits arrive as VK_NUMPAD0..9. Double click order: press, release,
    // double-click, release.
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    virtual void OnRButtonUp(UINT nFlags, CPoint point);
    virtual void OnRButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);

    // Printing. OnFilePrint runs the print flow with the Print dialog on the application's
    // printer: OnPreparePrinting (which calls DoPreparePrinting), OnBeginPrinting, OnPrint per
    // sheet with m_rectDraw in printer pixels, OnEndPrinting. PrintToPdf runs the same flow
    // without any dialog into a PDF file (for tests and scripts), on the page layout of the
    // application's printer when there is an application; FALSE when the file cannot be
    // written, and then nothing is printed.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    void OnFilePrint();
    // The same job on the application's printer without the Print dialog (ID_FILE_PRINT_DIRECT).
    void OnFilePrintDirect();
    void OnFilePrintPreview() {}
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

    void Invalidate(BOOL erase = TRUE) override;
    void UpdateWindow() override;

    // Qt glue. The view's widget is made on first use (or by the frame) and keeps a backing
    // image the size of the client area; every DC of the view draws into it.
    CViewWidget* ViewWidget();
    const QImage& BackingImage() const;
    // Puts the backing image (and the caret) on screen now.
    void PresentNow();
    // Asks for a presentation at the next event loop pass.
    void SchedulePresent();
    // True while a redraw requested by Invalidate, a resize or the first show is pending.
    bool DrawPending() const;
    // Runs OnDraw now on a paint DC (used by the widget).
    void RunDraw();
    // Every live view (presentation before blocking work).
    static const std::vector<CView*>& AllViews();

  private:
    friend class CViewWidget;
    CDocument* m_document = nullptr;
    CViewWidget* m_viewWidget = nullptr; // owned: deleted with the view
};

// Device contexts of a window. Both draw into the view's backing image; releasing a client DC
// asks the view to present the image (the paint DC is released by the paint pass itself).
class CClientDC : public CDC {
  public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

  protected:
    CWnd* m_pWnd;
};

class CPaintDC : public CClientDC {
  public:
    explicit CPaintDC(CWnd* wnd);
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

// Resources by id (menus, accelerators, strings) registered by the program at start-up.
void AfxRegisterMenu(UINT id, const CMenuTemplate& menu);
void AfxRegisterAccelerators(UINT id, const CAccelTable& table);
void AfxRegisterString(UINT id, const char* text);
const CMenuTemplate* AfxFindMenu(UINT id);
const CAccelTable* AfxFindAccelerators(UINT id);
const char* AfxFindString(UINT id); // nullptr when missing

class CFrameWnd : public CWnd {
  public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Default style: WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE. The frame honours WS_SYSMENU (close
    // button), WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_THICKFRAME (user-resizable) and WS_MAXIMIZE.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Creates the window with menu and accelerators of resource id, and the view.
    virtual BOOL LoadFrame(UINT resourceId, CView* view, CDocument* doc);
    virtual BOOL OnCmdMsg(UINT id, CCmdUI* updateOrNull) override;
    BOOL ShowWindow(int cmd) override;
    void UpdateWindow() override;

    CView* GetActiveView() const { return m_view; }
    CDocument* GetActiveDocument() const { return m_view ? m_view->GetDocument() : nullptr; }
    // Updates (CCmdUI) and routes a command as a menu choice or accelerator would.
    BOOL RouteCommand(UINT id);
    // Runs the update handlers of id; FALSE when disabled.
    BOOL QueryCommandEnabled(UINT id, int* checkOrNull = nullptr);
    DWORD Style() const { return m_style; }
    QMainWindow* MainWindow() const;

  private:
    friend class CFrameWidget;
    CView* m_view = nullptr;
    DWORD m_style = 0;
    std::unique_ptr<CFrameWidget> m_frameWidget;
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
    CDocument* Document() const { return m_doc; }
    CFrameWnd* Frame() const { return m_frame; }
    CView* View() const { return m_view; }

  private:
    UINT m_resourceId;
    std::function<CDocument*()> m_makeDoc;
    std::function<CFrameWnd*()> m_makeFrame;
    std::function<CView*()> m_makeView;
    CDocument* m_doc = nullptr;
    CFrameWnd* m_frame = nullptr;
    CView* m_view = nullptr;
};

class CCommandLineInfo {
  public:
    enum { FileNew, FileOpen, FileNothing };
    int m_nShellCommand = FileNew;
};

class CWinApp : public CCmdTarget {
  public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // Runs the event loop until the main window closes; returns the exit code.
    virtual int Run();
    virtual BOOL OnCmdMsg(UINT id, CCmdUI* updateOrNull) override;

    void AddDocTemplate(CSingleDocTemplate* tmpl);
    CSingleDocTemplate* DocTemplate() const { return m_template.get(); }
    void ParseCommandLine(CCommandLineInfo& info);
    BOOL ProcessShellCommand(CCommandLineInfo& info);

    // Framework commands (registered by the constructor).
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();

    // Start-up calls kept for the shape of InitInstance; they have nothing to do here.
    void Enable3dControlsStatic() {}
    void SetRegistryKey(const char*) {}
    void LoadStdProfileSettings(UINT = 4) {}

    // Deletes document, frame and view (AfxWinMain calls it before the QApplication ends).
    void DestroyDocuments();

    // The application's one printer (made on first use).
    QPrinter* GetPrinter();

    CWnd* m_pMainWnd = nullptr;
    CString m_pszAppName;

  private:
    std::unique_ptr<CSingleDocTemplate> m_template;
    std::unique_ptr<QPrinter> m_printer;
};

inline void AfxEnableControlContainer() {}

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// Creates the QApplication, runs theApp.InitInstance() and the event loop. main() calls it.
int AfxWinMain(int argc, char** argv);

// ---------------------------------------------------------------------------------------------
// Modal boxes and dialogs

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
