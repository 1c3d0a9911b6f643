// GDI-like drawing objects and device contexts on Qt.
//
// Pixel rules (the game's layouts and hit tests rely on them):
//  - RECT right/bottom are exclusive; FillRect fills left..right-1, top..bottom-1.
//  - MoveTo/LineTo draw 1-pixel lines with the selected pen and leave the end point out.
//  - Ellipse(rect) stays inside rect: outline with the selected pen, inside with the selected brush.
//  - TextOut(x, y) puts the top-left corner of the text cell at (x, y).
//  - Text is drawn over an opaque background in the background colour (white by default) unless
//    SetBkMode(TRANSPARENT) was called.
//  - StretchBlt copies without smoothing.
//  - A font's positive height is the cell height, ascent + descent, in pixels.
#pragma once

#include "platform/AfxString.h"
#include "platform/AfxTypes.h"

#include <memory>

class QImage;
class QFont;
class QPaintDevice;
struct CFontData;
struct CDCState;
class CSurface;

class CGdiObject {
  public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject();
    // Releases the object; the wrapper can be created again afterwards.
    virtual BOOL DeleteObject();
    bool IsValid() const { return m_valid; }

  protected:
    bool m_valid = false;
};

// The game's pens are solid and one pixel wide.
class CPen : public CGdiObject {
  public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color);
    COLORREF Color() const { return m_color; }

  private:
    COLORREF m_color = 0;
};

class CBrush : public CGdiObject {
  public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    COLORREF Color() const { return m_color; }

  private:
    COLORREF m_color = RGB(255, 255, 255);
};

// Face mapping: "Arial", "MS Sans Serif" -> Liberation Sans; "Courier New" -> Liberation Mono;
// "Times New Roman" -> Liberation Serif; "Microsoft Sans Serif" -> DejaVu Sans; "Lucida Console"
// -> DejaVu Sans Mono. A face ending in " Bold" is the bold weight of its family. Other faces go
// to fontconfig.
class CFont : public CGdiObject {
  public:
    CFont() = default;
    ~CFont() override;
    // height > 0: cell height (ascent + descent) in pixels; height < 0: character (em) height;
    // 0: a default size. width, escapement, orientation, charSet, the precisions and the pitch
    // are accepted and ignored; quality ANTIALIASED_QUALITY smooths the glyphs, the others draw
    // them without antialiasing so text colours stay exact.
    BOOL CreateFontA(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                     BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                     BYTE quality, BYTE pitchAndFamily, const char* faceName);
    // Convenience: CreatePointFont-like creation by cell height and face only.
    BOOL CreateSimple(int height, const char* faceName);
    BOOL DeleteObject() override;

    // Platform internals.
    const std::shared_ptr<const CFontData>& Data() const { return m_data; }
    // The Qt family the face name maps to (for tests and diagnostics).
    static CString MapFace(const char* faceName, bool* bold);

  private:
    std::shared_ptr<const CFontData> m_data;
};

class CBitmap : public CGdiObject {
  public:
    CBitmap() = default;
    ~CBitmap() override;
    // Loads ":/res/bitmap/<id>.bmp" (or .png) from the Qt resources. FALSE when it is missing.
    BOOL LoadBitmap(UINT id);
    // A white bitmap of the given size (a drawing target for a memory DC, in tests).
    BOOL CreateBitmap(int width, int height);
    BOOL DeleteObject() override;

    // Platform internals.
    const std::shared_ptr<QImage>& Image() const { return m_image; }

  private:
    std::shared_ptr<QImage> m_image;
};

// Replaceable text measurer behind GetTextExtentPoint32A, so layout tests can use a fixed-width
// font model. The default measures with the real font metrics.
class ITextMeasurer {
  public:
    virtual ~ITextMeasurer() = default;
    // font is nullptr for the DC's default font.
    virtual SIZE Measure(const CFont* font, const char* text, int count) = 0;
};
// nullptr restores the real measurer. The measurer is not owned.
void AfxSetTextMeasurer(ITextMeasurer* measurer);

// One text as a DC drew it (TextOut or DrawText), for tests that check what the screen and the
// paper say rather than how many pixels are coloured.
struct CTextRecord {
    CString text;    // the characters passed (count applied)
    CRect rect;      // DrawText: the rectangle given; TextOut: the text's cell at its point
    UINT format = 0; // DrawText's flags; 0 for TextOut
    bool textOut = false;
    COLORREF colour = 0;  // the text colour
    CString face;         // the face the font was made with ("Arial Bold"), as the game names it
    CString family;       // the installed family that face stands for
    int height = 0;       // the height the font was made with
    bool printer = false; // drawn on paper rather than on screen
};
class ITextRecorder {
  public:
    virtual ~ITextRecorder() = default;
    virtual void RecordText(const CTextRecord& record) = 0;
};
// Every DC reports each text it draws to the recorder while one is set; nullptr removes it.
// The recorder is not owned.
void AfxSetTextRecorder(ITextRecorder* recorder);

class CDC {
  public:
    CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap); // memory DCs only: the drawing surface and blit source

    COLORREF SetTextColor(COLORREF color);
    // The background behind opaque text (white unless a test chooses another to see it).
    COLORREF SetBkColor(COLORREF color);
    int SetBkMode(int mode);
    // Blits never smooth, so COLORONCOLOR is the only mode.
    int SetStretchBltMode(int) { return COLORONCOLOR; }

    void FillRect(const RECT* rect, CBrush* brush);
    void FillSolidRect(const RECT* rect, COLORREF color);
    // count -1 = up to the terminating '\0'. Returns the height of the drawn text.
    int DrawText(const char* text, int count, RECT* rect, UINT format);
    BOOL TextOut(int x, int y, const char* text, int count);
    BOOL TextOut(int x, int y, const CString& text) { return TextOut(x, y, text, text.GetLength()); }
    CPoint MoveTo(int x, int y);
    BOOL LineTo(int x, int y);
    BOOL Ellipse(const RECT* rect);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* src, int srcX, int srcY, int srcWidth,
                    int srcHeight, DWORD rop);
    BOOL GetTextExtentPoint32A(const char* text, int count, SIZE* size) const;
    CSize GetTextExtent(const char* text, int count) const;

    // A memory DC: draws into the bitmap selected into it and is the source of StretchBlt.
    BOOL CreateCompatibleDC(CDC* other);
    BOOL DeleteDC();
    bool IsValid() const;
    // Printer DC: a new sheet. On screen DCs they do nothing and return 1.
    int StartPage();
    int EndPage();
    bool IsPrinting() const;

    // Platform internals: attach to a drawing surface (view backing image, printer).
    void AttachSurface(const std::shared_ptr<CSurface>& surface);
    void DetachSurface();
    CSurface* Surface() const;

  private:
    std::unique_ptr<CDCState> m_state;
};
