// Platform internals shared by the implementation files; game code never includes this.
#pragma once

#include "platform/Afx.h"

#include <QBackingStore>
#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>

// A resolved font: the Qt font plus the cell metrics GDI would report.
struct CFontData {
    QFont font;
    std::string face; // the face and height CreateFontA was asked for
    int requestedHeight = 0;
    int cellHeight = 0; // ascent + descent as drawn
    int ascent = 0;     // baseline offset from the top of the cell

    // Advance of a run of text in pixels (exact to 1/64), as Qt measures the whole run at once.
    // Without kerning nothing joins glyphs across a space, so the run's advance is the sum of
    // its words and spaces; each word is shaped once and remembered. Runs with control
    // characters (tabs depend on their position) are measured whole.
    qreal Advance(QStringView text) const;
    // The same, rounded to whole pixels as QFontMetrics rounds it.
    int Width(QStringView text) const;
    // Whether Advance may add up the words of text (no kerning, no control characters).
    bool Additive(QStringView text) const;
    qreal SpaceAdvance() const;
    qreal WordAdvance(QStringView word) const;

    // The shaped glyphs of a run with its baseline at y = 0, for drawing it again without shaping;
    // nullptr for a font with lines (underline, strike-out), which is drawn the plain way.
    const QList<QGlyphRun>* GlyphRuns(const QString& text) const;

  private:
    mutable QHash<QString, qreal> m_wordAdvance;
    mutable QHash<QString, QList<QGlyphRun>> m_glyphRuns;
    mutable QString m_lastRun; // the run Advance measured last, and its advance
    mutable qreal m_lastAdvance = 0;
    mutable qreal m_spaceAdvance = -1;
};

// The default font of a fresh DC.
std::shared_ptr<const CFontData> AfxDefaultFontData();
// The objects a fresh DC has selected (a black pen, a white brush, the default font).
CPen* AfxStockPen();
CBrush* AfxStockBrush();
CFont* AfxStockFont();

// Fonts are resolved once per face, height and style and then shared (with what they have
// measured). Forgetting them makes the next CreateFontA of each resolve afresh, as after a
// change of window size; benchmarks use it to time work with nothing measured yet.
void AfxForgetResolvedFonts();

// Something DCs draw on. DCs on the same surface share one QPainter, opened on first use and
// closed when the last DC lets go, so many small drawing calls stay cheap.
class CSurface {
  public:
    virtual ~CSurface();
    // The device to paint on, made ready for the painter; nullptr when there is nothing to paint
    // on now (the drawing goes nowhere, as on a hidden window).
    virtual QPaintDevice* Device() = 0;
    // The painter on Device() has ended.
    virtual void DeviceDone() {}
    // The pixels, for surfaces that have them (blit sources); a view's only while painting.
    virtual QImage* Image() { return nullptr; }
    virtual bool IsPrinter() const { return false; }
    QPainter* Painter();
    void AddUser() { ++m_users; }
    void RemoveUser();
    // Closes the shared painter (before the device is replaced or shown).
    void EndPainting();
    bool Painting() const { return m_painter != nullptr; }
    // Counts the drawing calls (each asks for the painter), so a copy of the pixels knows when it
    // is out of date.
    unsigned long Changes() const { return m_changes; }
    // The rectangle the last drawing call filled with one colour, in the DC's coordinates, while
    // nothing has been drawn since and the painter has stayed open; otherwise an empty one.
    QRect FilledLast() const { return m_filledAt == m_changes ? m_filled : QRect(); }
    void NoteFilled(const QRect& rect) {
        m_filled = rect;
        m_filledAt = m_changes;
    }

  protected:
    // The pixels changed outside the painter.
    void ForgetFilled() { m_filled = QRect(); }

  private:
    std::unique_ptr<QPainter> m_painter;
    int m_users = 0;
    unsigned long m_changes = 0;
    QRect m_filled;
    unsigned long m_filledAt = 0;
};

class CImageSurface : public CSurface {
  public:
    explicit CImageSurface(std::shared_ptr<QImage> image) : m_image(std::move(image)) {}
    // A bitmap kept at a byte a pixel becomes one of 32 bits when it is first drawn on.
    QPaintDevice* Device() override {
        if (m_image->format() == QImage::Format_Indexed8)
            *m_image = m_image->convertToFormat(QImage::Format_RGB32);
        return m_image.get();
    }
    QImage* Image() override { return m_image.get(); }

  private:
    std::shared_ptr<QImage> m_image;
};

// The caret as it is drawn: the XOR mask (32 bits a pixel) with its top-left corner, in the
// view's logical pixels.
struct CCaretPicture {
    QPoint pos;
    QImage shape;
    QRect Rect() const { return QRect(pos, shape.size()); }
    bool operator==(const CCaretPicture& other) const {
        return pos == other.pos && shape.cacheKey() == other.shape.cacheKey();
    }
};

// The view's pixels. They are kept in one place only: the view's part of its window's backing
// store, the picture the window system is shown from. DCs draw straight into that part (so there
// is no picture of the view's own beside it to copy over at every presentation), presenting
// flushes it, and the caret is inverted into it and back out in place. Qt paints the store too
// (the menu bar, the window's first show, a new window size): while the store still holds the
// view's pixels where the view now is, a paint event of the view leaves them alone.
class CViewSurface : public CSurface {
  public:
    explicit CViewSurface(QWidget* widget) : m_widget(widget) {}
    ~CViewSurface() override;
    // Begins painting on the store and returns the view's part of it: made white first when the
    // store does not hold the view's pixels (a window just shown or resized, another screen), the
    // caret taken out.
    QPaintDevice* Device() override;
    void DeviceDone() override;
    QImage* Image() override { return m_store ? &m_part : nullptr; }

    // Puts what was drawn on screen, with the caret.
    void Present();
    // Draws or takes away the caret as it now stands (not while a DC draws: it comes back at the
    // next presentation), and shows the change.
    void ShowCaretChange();
    // For the view's paint event: whether this painter paints the backing store (not a grab).
    bool PaintsStore(QPainter& painter) const;
    // Whether the store holds the view's pixels where the view is now.
    bool Holds() const;
    // A paint event has made the view's part white (its pixels were gone).
    void Adopted();
    // A copy of the view's pixels, without the caret; white where the store holds none.
    const QImage& Snapshot();

  private:
    // Where the view's pixels lie in the store: the window's size, the view's place and size
    // (logical pixels), and the pixel ratio.
    struct CPlacement {
        QSize window;
        QPoint offset;
        QSize size;
        qreal ratio = 0;
        bool operator==(const CPlacement& o) const {
            return window == o.window && offset == o.offset && size == o.size &&
                   qFuzzyCompare(ratio, o.ratio);
        }
    };
    CPlacement Placement() const;
    QBackingStore* Store() const;
    // Begins painting on the store in rect (logical pixels of the view) and points m_part at
    // the view's part; false (and nothing begun) when the store has no pixels to paint on.
    bool BeginStore(const QRect& rect);
    void EndStore();
    // Draws the caret as it now stands into m_part (open); returns what changed, in the view's
    // logical pixels.
    QRect SyncCaret();
    void Flush(const QRect& rect);

    QPointer<QWidget> m_widget;
    QBackingStore* m_store = nullptr; // while painting on it
    QImage m_part;                    // the view's part of the store, while painting on it
    bool m_holds = false;             // the store holds the view's pixels at m_placement
    CPlacement m_placement;
    bool m_dirty = false; // drawn on since the last presentation
    bool m_caretDrawn = false;
    CCaretPicture m_caret; // where it is drawn
    QImage m_snapshot;
    enum { kNothing, kStore, kWhite } m_snapshotOf = kNothing;
    unsigned long m_snapshotChanges = 0; // Changes() when m_snapshot was taken from the store
};

// Maps a Qt key event to a virtual-key code; 0 when the game has no code for it (AfxKeys.cpp).
class QKeyEvent;
UINT AfxVirtualKeyFromQt(const QKeyEvent* event);
// The key event the view handles from Begin to End is what GetKeyState answers for.
void AfxBeginKeyMessage(const QKeyEvent* event);
void AfxEndKeyMessage();

// What assistive technologies see of a view widget (AfxAccess.cpp).
class CAccessibleItems;
struct CAccessibleItemsDeleter {
    void operator()(CAccessibleItems* items) const;
};
// Makes Qt's accessibility ask the layer for view widgets (once per program).
void AfxInstallViewAccessibility();

// The view's widget: its surface, event translation.
class CViewWidget : public QWidget {
  public:
    explicit CViewWidget(CView* view);
    ~CViewWidget() override;
    void RequestDraw();
    // Presents the surface at the next event loop pass.
    void SchedulePresent();
    void DetachView() { m_view = nullptr; }
    CView* View() const { return m_view; }
    CAccessibleItems* AccessibleItems();
    std::shared_ptr<CViewSurface> m_surface;
    bool m_drawPending = false;
    bool m_drawPosted = false;
    bool m_presentPosted = false;
    // In the view's own drawing, which a message box opened from it can hold up in its event loop.
    bool m_drawing = false;
    // Resized since the view last drew: what the next draw changes comes from the new size.
    bool m_resizedSinceDraw = false;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    CView* m_view;
    std::unique_ptr<CAccessibleItems, CAccessibleItemsDeleter> m_accessible;
};

// Caret internals (AfxCaret.cpp). Whether the caret is to be seen in widget now (shown, in the
// visible phase of its blink), and where.
bool AfxWantedCaret(const QWidget* widget, CCaretPicture* caret);
// Inverts the caret's pixels in image (whose pixel ratio says how many pixels a logical one has):
// done twice, it leaves the image as it was.
void AfxInvertCaret(QImage& image, const CCaretPicture& caret);
// Called when a window goes away: its caret goes with it.
void AfxCaretWindowDestroyed(CWnd* wnd);

QWidget* AfxMainWidget();

// The menu bar and the accelerators of resource id, built into the frame's window (AfxMenu.cpp).
class QMainWindow;
void AfxInstallMenuAndAccelerators(QMainWindow* window, CFrameWnd* frame, UINT resourceId);

// A modal window (message box, dialog, file, print or page-setup dialog) over the views. Before
// it shows, what the views drew is put on screen; once it has gone, the views are asked to
// paint, as the window system asks a window that was covered (a compositing desktop sends no
// such request, so the layer makes it), and the keyboard focus returns to the main view.
class CModalCover {
  public:
    CModalCover();
    ~CModalCover();
    CModalCover(const CModalCover&) = delete;
    CModalCover& operator=(const CModalCover&) = delete;
};
// What CModalCover does when the window has gone (AfxView.cpp).
void AfxViewsUncovered();
class QAccessibleEvent;
// While one lives, assistive technologies are told nothing: what changes meanwhile they find as it
// is when they next look. Nests.
class CQuietAccessibility {
  public:
    CQuietAccessibility();
    ~CQuietAccessibility();
    CQuietAccessibility(const CQuietAccessibility&) = delete;
    CQuietAccessibility& operator=(const CQuietAccessibility&) = delete;

  private:
    bool m_quiet;
    void (*m_previous)(QAccessibleEvent*) = nullptr;
};

// Gives the keyboard focus back to the main window's view once the event in hand is done,
// unless a modal window or a popup menu has it then.
void AfxFocusMainView();

// The game's 8-bit text is in the character set of the player's locale: the C library writes
// dates (the caption's, the print header's) that way. Everything the game wrote itself is ASCII,
// which reads the same in every such set. count < 0: up to the terminating zero; otherwise at
// most count bytes, stopping at a zero.
QString AfxTextToQt(const char* text, int count = -1);
QByteArray AfxTextFromQt(const QString& text);

// The framework's file dialog with the filter "All Files (*.*)"; empty when cancelled.
QString AfxFileDialog(bool save);
