#include "platform/AfxInternal.h"

#include <QPagedPaintDevice>
#include <QPolygon>
#include <QString>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>
#include <cstring>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Surfaces

CSurface::~CSurface() {
    EndPainting();
}

QPainter* CSurface::Painter() {
    ++m_changes;
    if (!m_painter) {
        QPaintDevice* device = Device();
        if (!device)
            return nullptr;
        m_painter = std::make_unique<QPainter>();
        if (!m_painter->begin(device)) {
            m_painter.reset();
            DeviceDone();
            return nullptr;
        }
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        m_painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
    return m_painter.get();
}

void CSurface::RemoveUser() {
    if (m_users > 0 && --m_users == 0)
        EndPainting();
}

void CSurface::EndPainting() {
    m_filled = QRect();
    if (m_painter) {
        if (m_painter->isActive())
            m_painter->end();
        m_painter.reset();
        DeviceDone();
    }
}

// ---------------------------------------------------------------------------------------------
// Text measurement

namespace {
ITextMeasurer* g_measurer = nullptr;

QColor ToQ(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// On a high-density surface the painter scales, and Qt then blits through its scaling path, many
// times slower than a plain copy. A rectangle that covers whole device pixels can be drawn in
// device pixels instead. Maps rect to the device when that applies.
bool ToDevicePixels(QPainter* p, const QRect& rect, QRect* device) {
    const QTransform& t = p->deviceTransform();
    if (t.type() != QTransform::TxScale || !p->worldTransform().isIdentity())
        return false;
    const QRectF mapped = t.mapRect(QRectF(rect));
    *device = mapped.toRect();
    return QRectF(*device) == mapped;
}

// While it lives, the painter draws in device pixels (its world transform undoes the scaling).
class CDevicePixelScope {
  public:
    explicit CDevicePixelScope(QPainter* p) : m_p(p) {
        p->setWorldTransform(p->deviceTransform().inverted());
    }
    ~CDevicePixelScope() { m_p->setWorldTransform(QTransform()); }
    CDevicePixelScope(const CDevicePixelScope&) = delete;
    CDevicePixelScope& operator=(const CDevicePixelScope&) = delete;

  private:
    QPainter* m_p;
};

} // namespace

void AfxSetTextMeasurer(ITextMeasurer* measurer) {
    g_measurer = measurer;
}

namespace {
ITextRecorder* g_textRecorder = nullptr;
} // namespace

void AfxSetTextRecorder(ITextRecorder* recorder) {
    g_textRecorder = recorder;
}

namespace {
// A font seldom meets more distinct words than this; past it the cache starts again.
constexpr int kWordCacheLimit = 4096;
// Shaped runs are bigger; a font draws far fewer distinct lines (an instruction page has 56).
constexpr int kGlyphRunCacheLimit = 1024;

// Characters whose width depends on more than the character: control characters (a tab's on its
// position; Qt also ends a measurement at U+009C) and the soft hyphen.
bool HasControlCharacter(QStringView text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0xAD)
            return true;
    }
    return false;
}
} // namespace

bool CFontData::Additive(QStringView text) const {
    return !font.kerning() && !HasControlCharacter(text);
}

qreal CFontData::SpaceAdvance() const {
    if (m_spaceAdvance < 0)
        m_spaceAdvance = QFontMetricsF(font).horizontalAdvance(QLatin1Char(' '));
    return m_spaceAdvance;
}

qreal CFontData::WordAdvance(QStringView word) const {
    if (word.isEmpty())
        return 0;
    const QString key = word.toString();
    auto it = m_wordAdvance.constFind(key);
    if (it != m_wordAdvance.constEnd())
        return it.value();
    if (m_wordAdvance.size() >= kWordCacheLimit)
        m_wordAdvance.clear();
    const qreal advance = QFontMetricsF(font).horizontalAdvance(key);
    m_wordAdvance.insert(key, advance);
    return advance;
}

qreal CFontData::Advance(QStringView text) const {
    if (font.kerning())
        return QFontMetricsF(font).horizontalAdvance(text.toString());
    // The instruction layout measures its line again after every word it adds: carry on from
    // the run measured last when it begins this one and ends between words.
    qsizetype i = 0;
    qreal advance = 0;
    if (!m_lastRun.isEmpty() && m_lastRun.endsWith(QLatin1Char(' ')) && text.startsWith(m_lastRun)) {
        i = m_lastRun.size();
        advance = m_lastAdvance;
    }
    if (HasControlCharacter(text.mid(i)))
        return QFontMetricsF(font).horizontalAdvance(text.toString());
    const qsizetype n = text.size();
    while (i < n) {
        if (text[i] == QLatin1Char(' ')) {
            advance += SpaceAdvance();
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < n && text[end] != QLatin1Char(' '))
            ++end;
        advance += WordAdvance(text.mid(i, end - i));
        i = end;
    }
    m_lastRun = text.toString();
    m_lastAdvance = advance;
    return advance;
}

const QList<QGlyphRun>* CFontData::GlyphRuns(const QString& text) const {
    if (font.underline() || font.strikeOut() || font.overline())
        return nullptr;
    auto it = m_glyphRuns.constFind(text);
    if (it != m_glyphRuns.constEnd())
        return &it.value();
    if (m_glyphRuns.size() >= kGlyphRunCacheLimit)
        m_glyphRuns.clear();
    QTextLayout layout(text, font);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    QList<QGlyphRun> runs = line.isValid() ? line.glyphRuns() : QList<QGlyphRun>();
    const QPointF toBaseline(0, -line.ascent());
    for (QGlyphRun& run : runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& position : positions)
            position += toBaseline;
        run.setPositions(positions);
    }
    return &m_glyphRuns.insert(text, runs).value();
}

int CFontData::Width(QStringView text) const {
    return qRound(Advance(text));
}

// ---------------------------------------------------------------------------------------------
// DC state

struct CDCState {
    std::shared_ptr<CSurface> surface;
    bool memory = false;
    bool valid = false;
    bool pageOpen = true;

    CPen* pen = nullptr;
    CBrush* brush = nullptr;
    CFont* font = nullptr;
    CBitmap* bitmap = nullptr;

    COLORREF penColor = RGB(0, 0, 0);
    COLORREF brushColor = RGB(255, 255, 255);
    std::shared_ptr<const CFontData> fontData;

    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    QPoint pos{0, 0};

    const CFontData& Font() {
        if (!fontData)
            fontData = AfxDefaultFontData();
        return *fontData;
    }
    QPainter* Painter() {
        if (!surface)
            return nullptr;
        QPainter* p = surface->Painter();
        if (p) {
            p->setClipping(false);
            p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        return p;
    }
};

namespace {
// Tells the test's recorder, if one is set, what a DC is drawing.
void RecordText(CDCState& s, const QString& text, const RECT& rect, UINT format, bool textOut) {
    const CFontData& f = s.Font();
    CTextRecord record;
    record.text = CString(AfxTextFromQt(text).toStdString());
    record.rect = rect;
    record.format = format;
    record.textOut = textOut;
    record.colour = s.textColor;
    record.face = CString(f.face);
    record.family = CString(AfxTextFromQt(f.font.family()).toStdString());
    record.height = f.requestedHeight;
    record.printer = s.surface && s.surface->IsPrinter();
    g_textRecorder->RecordText(record);
}
} // namespace

CDC::CDC() : m_state(std::make_unique<CDCState>()) {}

CDC::~CDC() {
    DetachSurface();
}

void CDC::AttachSurface(const std::shared_ptr<CSurface>& surface) {
    DetachSurface();
    m_state->surface = surface;
    if (surface)
        surface->AddUser();
    m_state->valid = surface != nullptr;
}

void CDC::DetachSurface() {
    if (m_state->surface) {
        auto s = std::move(m_state->surface);
        m_state->surface.reset();
        s->RemoveUser();
    }
}

CSurface* CDC::Surface() const {
    return m_state->surface.get();
}

bool CDC::IsValid() const {
    return m_state->valid;
}

bool CDC::IsPrinting() const {
    return m_state->surface && m_state->surface->IsPrinter();
}

BOOL CDC::CreateCompatibleDC(CDC*) {
    DetachSurface();
    m_state = std::make_unique<CDCState>();
    m_state->memory = true;
    m_state->valid = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!m_state->valid)
        return FALSE;
    DetachSurface();
    m_state = std::make_unique<CDCState>();
    return TRUE;
}

CPen* CDC::SelectObject(CPen* pen) {
    CPen* old = m_state->pen ? m_state->pen : AfxStockPen();
    if (pen) {
        m_state->pen = pen;
        m_state->penColor = pen->Color();
    }
    return old;
}

CBrush* CDC::SelectObject(CBrush* brush) {
    CBrush* old = m_state->brush ? m_state->brush : AfxStockBrush();
    if (brush) {
        m_state->brush = brush;
        m_state->brushColor = brush->Color();
    }
    return old;
}

CFont* CDC::SelectObject(CFont* font) {
    CFont* old = m_state->font ? m_state->font : AfxStockFont();
    if (font) {
        m_state->font = font;
        m_state->fontData = font->Data() ? font->Data() : AfxDefaultFontData();
    }
    return old;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    if (!m_state->memory)
        return nullptr;
    CBitmap* old = m_state->bitmap;
    m_state->bitmap = bitmap;
    if (bitmap && bitmap->Image())
        AttachSurface(std::make_shared<CImageSurface>(bitmap->Image()));
    else
        DetachSurface();
    m_state->valid = true;
    return old;
}

COLORREF CDC::SetTextColor(COLORREF color) {
    COLORREF old = m_state->textColor;
    m_state->textColor = color & 0xFFFFFF;
    return old;
}
COLORREF CDC::SetBkColor(COLORREF color) {
    COLORREF old = m_state->bkColor;
    m_state->bkColor = color & 0xFFFFFF;
    return old;
}
int CDC::SetBkMode(int mode) {
    int old = m_state->bkMode;
    if (mode == TRANSPARENT || mode == OPAQUE)
        m_state->bkMode = mode;
    return old;
}

void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
    if (!rect || rect->right <= rect->left || rect->bottom <= rect->top)
        return;
    if (QPainter* p = m_state->Painter()) {
        const QRect r(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
        p->fillRect(r, ToQ(color));
        m_state->surface->NoteFilled(r);
    }
}

void CDC::FillRect(const RECT* rect, CBrush* brush) {
    if (!brush)
        return;
    FillSolidRect(rect, brush->Color());
}

CPoint CDC::MoveTo(int x, int y) {
    CPoint old(m_state->pos.x(), m_state->pos.y());
    m_state->pos = QPoint(x, y);
    return old;
}

BOOL CDC::LineTo(int x, int y) {
    QPoint from = m_state->pos;
    QPoint to(x, y);
    m_state->pos = to;
    if (from == to)
        return TRUE;
    QPainter* p = m_state->Painter();
    if (!p)
        return FALSE;
    QColor color = ToQ(m_state->penColor);
    // Pixel by pixel: the end point is left out, as GDI does.
    if (from.y() == to.y()) {
        int x0 = from.x() < to.x() ? from.x() : to.x() + 1;
        int x1 = from.x() < to.x() ? to.x() - 1 : from.x();
        p->fillRect(QRect(x0, from.y(), x1 - x0 + 1, 1), color);
        return TRUE;
    }
    if (from.x() == to.x()) {
        int y0 = from.y() < to.y() ? from.y() : to.y() + 1;
        int y1 = from.y() < to.y() ? to.y() - 1 : from.y();
        p->fillRect(QRect(from.x(), y0, 1, y1 - y0 + 1), color);
        return TRUE;
    }
    QPolygon points;
    int dx = std::abs(to.x() - from.x()), sx = from.x() < to.x() ? 1 : -1;
    int dy = -std::abs(to.y() - from.y()), sy = from.y() < to.y() ? 1 : -1;
    int err = dx + dy;
    int cx = from.x(), cy = from.y();
    while (cx != to.x() || cy != to.y()) {
        points << QPoint(cx, cy);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            cx += sx;
        }
        if (e2 <= dx) {
            err += dx;
            cy += sy;
        }
    }
    p->setPen(QPen(color, 1));
    p->drawPoints(points);
    return TRUE;
}

// Outline and fill stay inside rect (right/bottom exclusive).
BOOL CDC::Ellipse(const RECT* rect) {
    if (!rect || rect->right - rect->left < 2 || rect->bottom - rect->top < 2)
        return FALSE;
    QPainter* p = m_state->Painter();
    if (!p)
        return FALSE;
    p->setPen(QPen(ToQ(m_state->penColor), 1));
    p->setBrush(ToQ(m_state->brushColor));
    // An aliased 1-pixel outline of QRect(x, y, w, h) covers x .. x + w.
    p->drawEllipse(QRect(rect->left, rect->top, rect->right - rect->left - 1, rect->bottom - rect->top - 1));
    p->setBrush(Qt::NoBrush);
    return TRUE;
}

namespace {
// Scaling is the costly part of a blit, and the game scales the same bitmaps to the same sizes at
// every repaint (baskets, score panels): the scaled copies are kept, at 32 bits a pixel, which
// blit fastest. Unsmoothed scaling samples the source relative to the target's corner, so blitting
// a copy scaled once draws exactly what scaling in place would. An image changed since (painted
// on, replaced) has a new cache key. On a high-density surface the copy at the target's size is
// stretched once more, to `device` pixels, and only that copy is kept.
QImage ScaledCopy(const QImage& image, const QRect& source, const QSize& size,
                  const QSize& device = QSize()) {
    struct Entry {
        qint64 key;
        QRect source;
        QSize size, device;
        QImage scaled;
        unsigned lastUse;
    };
    constexpr size_t kEntries = 32;
    static std::vector<Entry> entries;
    static unsigned clock = 0;
    entries.reserve(kEntries);
    ++clock;
    for (Entry& e : entries) {
        if (e.key == image.cacheKey() && e.source == source && e.size == size && e.device == device) {
            e.lastUse = clock;
            return e.scaled;
        }
    }
    auto stretched = [](const QImage& from, const QRect& part, const QSize& to) {
        const QImage::Format format =
            from.format() == QImage::Format_ARGB32_Premultiplied ? from.format() : QImage::Format_RGB32;
        QImage result(to, format);
        QPainter painter(&result);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QRect(QPoint(0, 0), to), from, part);
        return result;
    };
    QImage scaled = stretched(image, source, size);
    if (device.isValid())
        scaled = stretched(scaled, scaled.rect(), device);
    if (entries.size() < kEntries) {
        entries.push_back({image.cacheKey(), source, size, device, std::move(scaled), clock});
        return entries.back().scaled;
    }
    auto oldest = std::min_element(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return clock - a.lastUse > clock - b.lastUse;
    });
    *oldest = Entry{image.cacheKey(), source, size, device, std::move(scaled), clock};
    return oldest->scaled;
}
} // namespace

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* src, int srcX, int srcY, int srcWidth,
                     int srcHeight, DWORD) {
    if (!src || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return FALSE;
    if (!src->m_state->surface)
        return FALSE;
    QPainter* p = m_state->Painter();
    if (!p)
        return FALSE;
    // Close the source's painter so its pixels are complete (it reopens on its next call). A
    // view's pixels are there only while it paints: a view blits only from itself.
    if (src->m_state->surface != m_state->surface)
        src->m_state->surface->EndPainting();
    QImage* image = src->m_state->surface->Image();
    if (!image || image->isNull())
        return FALSE;
    const QRect target(x, y, width, height), source(srcX, srcY, srcWidth, srcHeight);
    if (target.size() != source.size() && src->m_state->surface != m_state->surface &&
        m_state->surface->Image() && p->transform().type() == QTransform::TxNone &&
        image->rect().contains(source) &&
        (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32_Premultiplied ||
         image->format() == QImage::Format_Indexed8)) {
        // On a high-density surface the copy is stretched once more, to the device's pixels.
        QRect device;
        if (ToDevicePixels(p, target, &device)) {
            const QImage onDevice = ScaledCopy(*image, source, target.size(), device.size()); // shared
            CDevicePixelScope scope(p);
            p->drawImage(device.topLeft(), onDevice);
            return TRUE;
        }
        p->drawImage(target.topLeft(), ScaledCopy(*image, source, target.size()));
        return TRUE;
    }
    p->drawImage(target, *image, source);
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Text

BOOL CDC::GetTextExtentPoint32A(const char* text, int count, SIZE* size) const {
    if (!size)
        return FALSE;
    if (count < 0)
        count = text ? static_cast<int>(strlen(text)) : 0;
    if (g_measurer) {
        *size = g_measurer->Measure(m_state->font, text, count);
        return TRUE;
    }
    const CFontData& f = m_state->Font();
    size->cx = f.Width(AfxTextToQt(text, count));
    size->cy = f.cellHeight;
    return TRUE;
}

CSize CDC::GetTextExtent(const char* text, int count) const {
    SIZE s{0, 0};
    GetTextExtentPoint32A(text, count, &s);
    return CSize(s);
}

namespace {
// Draws one run with its top-left cell corner at (x, y); width is its measured width, or -1.
void DrawRun(CDCState& s, QPainter* p, int x, int y, const QString& text, int width = -1) {
    if (text.isEmpty())
        return;
    const CFontData& f = s.Font();
    if (s.bkMode == OPAQUE) {
        if (width < 0)
            width = f.Width(text);
        p->fillRect(QRect(x, y, width, f.cellHeight), ToQ(s.bkColor));
    }
    p->setPen(ToQ(s.textColor));
    if (const QList<QGlyphRun>* runs = f.GlyphRuns(text)) {
        for (const QGlyphRun& run : *runs)
            p->drawGlyphRun(QPointF(x, y + f.ascent), run);
        return;
    }
    p->setFont(f.font);
    p->drawText(QPoint(x, y + f.ascent), text);
}

// "&x" shows x (the mnemonic underline is not drawn); "&&" shows "&".
QString StripPrefix(const QString& in) {
    QString out;
    out.reserve(in.size());
    for (int i = 0; i < in.size(); ++i) {
        if (in[i] == QLatin1Char('&') && i + 1 < in.size())
            ++i;
        else if (in[i] == QLatin1Char('&'))
            continue;
        out += in[i];
    }
    return out;
}

// One line of a DrawText: its text and its advance.
struct CTextLine {
    QString text;
    qreal advance = 0;
    int Width() const { return qRound(advance); }
};

// Breaks a paragraph at spaces into lines no wider than width; a single word wider than the
// line stands alone (and is clipped). A line takes the next word while the line so far, its
// trailing spaces and the word measure no more than width; the spaces at a break are dropped.
// Each word is measured once and the line's advance is added up as it grows (where the font
// allows; otherwise every candidate line is measured whole).
void WrapParagraph(const QString& para, const CFontData& f, int width, std::vector<CTextLine>& lines) {
    const int n = static_cast<int>(para.size());
    if (n == 0) {
        lines.push_back(CTextLine());
        return;
    }
    const QStringView view(para);
    const bool additive = f.Additive(view);
    const qreal space = f.SpaceAdvance();
    int lineStart = 0, lineEnd = 0, trailingSpaces = 0;
    qreal advance = 0; // of para[lineStart, lineEnd), trailing spaces included
    auto pushLine = [&] {
        const QString text = para.mid(lineStart, lineEnd - trailingSpaces - lineStart);
        lines.push_back({text, additive ? advance - trailingSpaces * space : f.Advance(text)});
    };
    int i = 0;
    while (i < n) {
        const int start = i;
        while (i < n && para[i] != QLatin1Char(' '))
            ++i;
        const qreal word = additive ? f.WordAdvance(view.mid(start, i - start)) : 0;
        int spaceEnd = i;
        while (spaceEnd < n && para[spaceEnd] == QLatin1Char(' '))
            ++spaceEnd;
        const qreal candidate = additive ? advance + word : f.Advance(view.mid(lineStart, i - lineStart));
        if (lineEnd > lineStart && qRound(candidate) > width) {
            pushLine();
            lineStart = start;
            advance = 0;
        }
        advance += word + (spaceEnd - i) * space;
        trailingSpaces = spaceEnd - i;
        lineEnd = spaceEnd;
        i = spaceEnd;
    }
    pushLine();
}
} // namespace

BOOL CDC::TextOut(int x, int y, const char* text, int count) {
    QPainter* p = m_state->Painter();
    if (!p)
        return FALSE;
    const QString run = AfxTextToQt(text, count);
    if (g_textRecorder) {
        const CFontData& f = m_state->Font();
        RecordText(*m_state, run, CRect(x, y, x + f.Width(run), y + f.cellHeight), 0, true);
    }
    DrawRun(*m_state, p, x, y, run);
    return TRUE;
}

namespace {
// A DrawText over a rectangle that the DC's last call filled with one colour draws the same
// pixels whenever it is given the same text, font, colours and rectangle: the two text panels
// beside the grid, at every repaint of the play screen, where drawing them glyph by glyph is a
// third of the repaint. Seen a second time, such a text is kept as the pixels where it differs
// from the fill, one bit each (the game's fonts are not antialiased, so they are of one colour;
// a text of more colours is not kept); from the third time on those bits are set in the picture
// in place of drawing the glyphs. Same pixels, a small part of the time.
struct CTextPictureKey {
    QString text;
    QString font;
    int cellHeight, ascent;
    UINT format;
    COLORREF textColor, bkColor;
    int bkMode;
    QRect rect, device; // the DrawText's rectangle, and its pixels in the picture
    QRgb fill;
    QImage::Format imageFormat;
    bool operator==(const CTextPictureKey& o) const {
        return text == o.text && font == o.font && cellHeight == o.cellHeight && ascent == o.ascent &&
               format == o.format && textColor == o.textColor && bkColor == o.bkColor && bkMode == o.bkMode &&
               rect == o.rect && device == o.device && fill == o.fill && imageFormat == o.imageFormat;
    }
};

struct CTextPicture {
    CTextPictureKey key;
    bool seen = false;               // drawn once; kept the next time
    bool kept = false;               // the bits below hold the text
    bool mixed = false;              // of more than one colour: never kept
    QRgb ink = 0;                    // its one colour
    std::vector<unsigned char> bits; // a bit a pixel of `device`, rows of (width + 7) / 8 bytes
    unsigned lastUse = 0;
};

class CTextPictures {
  public:
    // The entry of the key, made if there is none (then forgetting the least used ones while the
    // kept bits exceed the budget).
    CTextPicture& Find(const CTextPictureKey& key) {
        ++m_clock;
        for (CTextPicture& e : m_entries) {
            if (e.key == key) {
                e.lastUse = m_clock;
                return e;
            }
        }
        while (m_entries.size() >= kEntries || (!m_entries.empty() && Bytes() > kBudget)) {
            m_entries.erase(std::min_element(m_entries.begin(), m_entries.end(),
                                             [this](const CTextPicture& a, const CTextPicture& b) {
                                                 return m_clock - a.lastUse > m_clock - b.lastUse;
                                             }));
        }
        m_entries.push_back(CTextPicture{key, false, false, false, 0, {}, m_clock});
        return m_entries.back();
    }

  private:
    size_t Bytes() const {
        size_t n = 0;
        for (const CTextPicture& e : m_entries)
            n += e.bits.size();
        return n;
    }
    static constexpr size_t kEntries = 16;
    static constexpr size_t kBudget = 1 << 20; // the two panels at 3840 x 2160 take 0.3 MiB
    std::vector<CTextPicture> m_entries;
    unsigned m_clock = 0;
};

CTextPictures& TextPictures() {
    static CTextPictures pictures;
    return pictures;
}

// The pixels of rect in image, when the painter maps it onto whole pixels of a 32-bit image.
bool PixelsOf(QPainter* p, const QImage* image, const QRect& rect, QRect* pixels) {
    if (!image || image->depth() != 32 || !p->worldTransform().isIdentity() ||
        p->deviceTransform().type() > QTransform::TxScale)
        return false;
    const QRectF mapped = p->deviceTransform().mapRect(QRectF(rect));
    if (QRectF(mapped.toRect()) != mapped)
        return false;
    *pixels = mapped.toRect() & image->rect();
    return !pixels->isEmpty();
}

// Takes the text's bits out of the picture, where they differ from the fill; false when the text
// has more than one colour.
bool KeepText(const QImage& image, CTextPicture& e) {
    const QRect& d = e.key.device;
    const int stride = (d.width() + 7) / 8;
    std::vector<unsigned char> bits(size_t(stride) * d.height(), 0);
    bool inked = false;
    QRgb ink = 0;
    for (int y = 0; y < d.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(d.top() + y)) + d.left();
        unsigned char* row = bits.data() + size_t(y) * stride;
        for (int x = 0; x < d.width(); ++x) {
            if (line[x] == e.key.fill)
                continue;
            if (!inked) {
                ink = line[x];
                inked = true;
            } else if (line[x] != ink) {
                return false;
            }
            row[x >> 3] |= static_cast<unsigned char>(1u << (x & 7));
        }
    }
    e.bits = std::move(bits);
    e.ink = ink;
    e.kept = true;
    return true;
}

void SetText(QImage& image, const CTextPicture& e) {
    const QRect& d = e.key.device;
    const int stride = (d.width() + 7) / 8;
    for (int y = 0; y < d.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(d.top() + y)) + d.left();
        const unsigned char* row = e.bits.data() + size_t(y) * stride;
        for (int byte = 0; byte < stride; ++byte) {
            for (unsigned b = row[byte]; b != 0; b &= b - 1)
                line[byte * 8 + __builtin_ctz(b)] = e.ink;
        }
    }
}
} // namespace

int CDC::DrawText(const char* text, int count, RECT* rect, UINT format) {
    if (!rect)
        return 0;
    QString s = StripPrefix(AfxTextToQt(text, count));
    const CFontData& f = m_state->Font();
    const int width = rect->right - rect->left;
    const int cell = f.cellHeight;

    std::vector<CTextLine> lines;
    s.remove(QLatin1Char('\r'));
    auto measured = [&f](const QString& run) { return CTextLine{run, f.Advance(run)}; };
    if (format & DT_SINGLELINE) {
        s.replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines.push_back(measured(s));
    } else {
        const QStringList paras = s.split(QLatin1Char('\n'));
        for (const QString& para : paras) {
            if (format & DT_WORDBREAK)
                WrapParagraph(para, f, width, lines);
            else
                lines.push_back(measured(para));
        }
    }
    const int total = cell * static_cast<int>(lines.size());

    int y = rect->top;
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        y = (rect->top + rect->bottom - cell) / 2;
    const QRect box(rect->left, rect->top, std::max(width, 0), std::max(rect->bottom - rect->top, 0));
    const QRect filled = m_state->surface ? m_state->surface->FilledLast() : QRect();
    QPainter* p = m_state->Painter();
    if (!p)
        return 0;
    if (g_textRecorder)
        RecordText(*m_state, AfxTextToQt(text, count), *rect, format, false);
    const auto result = [&] {
        return (format & DT_SINGLELINE) && (format & DT_VCENTER)
                   ? (rect->top + rect->bottom - cell) / 2 - rect->top + cell
                   : total;
    };
    QImage* image = m_state->surface->Image();
    CTextPicture* picture = nullptr;
    QRect pixels;
    if (!filled.isEmpty() && filled.contains(box) && PixelsOf(p, image, box, &pixels)) {
        const QRgb fill = reinterpret_cast<const QRgb*>(image->constScanLine(pixels.top()))[pixels.left()];
        picture = &TextPictures().Find({AfxTextToQt(text, count), f.font.key(), f.cellHeight, f.ascent,
                                        format, m_state->textColor, m_state->bkColor, m_state->bkMode, box,
                                        pixels, fill, image->format()});
        if (picture->kept) {
            SetText(*image, *picture);
            return result();
        }
    }
    p->setClipRect(box);
    p->setClipping(true);
    for (const CTextLine& line : lines) {
        const int w = line.Width();
        int x = rect->left;
        if (format & DT_CENTER)
            x = (rect->left + rect->right - w) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - w;
        DrawRun(*m_state, p, x, y, line.text, w);
        y += cell;
        if (y >= rect->bottom)
            break;
    }
    p->setClipping(false);
    if (picture != nullptr && !picture->mixed) {
        if (picture->seen)
            picture->mixed = !KeepText(*image, *picture);
        picture->seen = true;
    }
    return result();
}

// ---------------------------------------------------------------------------------------------
// Pages (printer DCs; nothing on screen). The printer's first sheet is open from the start;
// StartPage after an EndPage opens the next.

int CDC::StartPage() {
    if (!IsPrinting())
        return 1;
    if (!m_state->pageOpen) {
        auto* printer = dynamic_cast<QPagedPaintDevice*>(m_state->surface->Device());
        QPainter* p = m_state->Painter();
        if (printer && p)
            printer->newPage();
        m_state->pageOpen = true;
    }
    return 1;
}

int CDC::EndPage() {
    if (IsPrinting())
        m_state->pageOpen = false;
    return 1;
}
