#include "platform/AfxInternal.h"

#include <QGuiApplication>
#include <QString>

#include <cstring>
#include <iterator>
#include <string>
#include <unordered_map>

CGdiObject::~CGdiObject() = default;

BOOL CGdiObject::DeleteObject() {
    BOOL was = m_valid ? TRUE : FALSE;
    m_valid = false;
    return was;
}

BOOL CPen::CreatePen(int, int, COLORREF color) {
    m_color = color & 0xFFFFFF;
    m_valid = true;
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    m_color = color & 0xFFFFFF;
    m_valid = true;
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Fonts

namespace {

struct FaceMap {
    const char* face;
    const char* family;
    bool monospace;
};

// Faces the game names, mapped to installed families: metric-compatible Liberation faces where
// the layouts depend on the widths (Arial, Courier New), and the four faces of the Fonts menu each
// to a face of its own, so every choice there shows.
const FaceMap kFaces[] = {
    {"Arial", "Liberation Sans", false},          {"Microsoft Sans Serif", "DejaVu Sans", false},
    {"MS Sans Serif", "Liberation Sans", false},  {"Helvetica", "Liberation Sans", false},
    {"Courier New", "Liberation Mono", true},     {"Courier", "Liberation Mono", true},
    {"Lucida Console", "DejaVu Sans Mono", true}, {"Times New Roman", "Liberation Serif", false},
};

const FaceMap* FindFace(const std::string& face) {
    for (const auto& m : kFaces)
        if (strcasecmp(face.c_str(), m.face) == 0)
            return &m;
    return nullptr;
}

bool IsMonospaceFamily(const CString& family) {
    for (const auto& m : kFaces)
        if (m.monospace && family == m.family)
            return true;
    return false;
}

bool EndsWith(const std::string& s, const char* suffix) {
    size_t n = strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

// Fonts resolved so far, by face, height and style.
std::unordered_map<std::string, std::shared_ptr<const CFontData>>& ResolvedFonts() {
    static std::unordered_map<std::string, std::shared_ptr<const CFontData>> resolved;
    return resolved;
}

int CellOf(const QFont& f) {
    QFontMetrics fm(f);
    return fm.ascent() + fm.descent();
}

} // namespace

CString CFont::MapFace(const char* faceName, bool* bold) {
    std::string face = faceName ? faceName : "";
    bool isBold = false;
    if (EndsWith(face, " Bold")) {
        isBold = true;
        face.resize(face.size() - 5);
    }
    if (bold)
        *bold = isBold;
    if (const FaceMap* m = FindFace(face))
        return CString(m->family);
    if (face.empty())
        return CString("Liberation Sans");
    return CString(face);
}

CFont::~CFont() = default;

BOOL CFont::DeleteObject() {
    m_data.reset();
    return CGdiObject::DeleteObject();
}

BOOL CFont::CreateSimple(int height, const char* faceName) {
    return CreateFontA(height, 0, 0, 0, FW_DONTCARE, 0, 0, 0, ANSI_CHARSET, OUT_DEVICE_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 0, faceName);
}

BOOL CFont::CreateFontA(int height, int, int, int, int weight, BYTE italic, BYTE underline, BYTE strikeOut,
                        BYTE, BYTE, BYTE, BYTE quality, BYTE, const char* faceName) {
    bool bold = false;
    CString family = MapFace(faceName, &bold);
    const bool monospace = IsMonospaceFamily(family);
    bold = bold || weight >= 600;
    const bool smooth = quality == ANTIALIASED_QUALITY;

    // The game recreates the same few fonts over and over (the possibles' font once per square
    // and paint); a resolved font is kept and shared, with the word widths it has measured.
    // Keyed by the face asked for, which the text record reports.
    std::string key(faceName ? faceName : "");
    key += '|';
    key += family.GetString();
    key += '|';
    key += std::to_string(height);
    for (bool flag : {bold, italic != 0, underline != 0, strikeOut != 0, smooth, monospace})
        key += flag ? '1' : '0';
    auto& resolved = ResolvedFonts();
    if (auto it = resolved.find(key); it != resolved.end()) {
        m_data = it->second;
        m_valid = true;
        return TRUE;
    }

    auto data = std::make_shared<CFontData>();
    data->face = faceName ? faceName : "";
    data->requestedHeight = height;
    QFont f{AfxTextToQt(family.GetString())};
    f.setStyleHint(monospace ? QFont::Monospace : QFont::SansSerif);
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    f.setItalic(italic != 0);
    f.setUnderline(underline != 0);
    f.setStrikeOut(strikeOut != 0);
    f.setKerning(false);
    f.setStyleStrategy(smooth ? QFont::PreferAntialias : QFont::NoAntialias);

    if (height > 0) {
        // Largest pixel size whose cell (ascent + descent) does not exceed the requested height;
        // any remaining pixel rows are added to the cell so it is exactly that tall.
        int size = height * 7 / 8;
        if (size < 1)
            size = 1;
        f.setPixelSize(size);
        while (size > 1 && CellOf(f) > height)
            f.setPixelSize(--size);
        for (int tries = 0; tries < 64; ++tries) {
            QFont bigger = f;
            bigger.setPixelSize(size + 1);
            if (CellOf(bigger) > height)
                break;
            f = bigger;
            ++size;
        }
        QFontMetrics fm(f);
        int extra = height - (fm.ascent() + fm.descent());
        if (extra < 0)
            extra = 0;
        data->cellHeight = height;
        data->ascent = fm.ascent() + extra / 2;
    } else {
        f.setPixelSize(height < 0 ? -height : 16);
        QFontMetrics fm(f);
        data->cellHeight = fm.ascent() + fm.descent();
        data->ascent = fm.ascent();
    }
    data->font = f;
    // Far more than the game's faces and sizes at any moment. When full, the fonts no CFont holds
    // any more (those of earlier window sizes) go first, with what they had measured.
    constexpr size_t kResolvedLimit = 64;
    if (resolved.size() >= kResolvedLimit) {
        for (auto it = resolved.begin(); it != resolved.end();)
            it = it->second.use_count() == 1 ? resolved.erase(it) : std::next(it);
        if (resolved.size() >= kResolvedLimit)
            resolved.clear();
    }
    resolved.emplace(std::move(key), data);
    m_data = std::move(data);
    m_valid = true;
    return TRUE;
}

void AfxForgetResolvedFonts() {
    ResolvedFonts().clear();
}

std::shared_ptr<const CFontData> AfxDefaultFontData() {
    static std::shared_ptr<const CFontData> data = [] {
        CFont f;
        f.CreateSimple(16, "MS Sans Serif");
        return f.Data();
    }();
    return data;
}

// ---------------------------------------------------------------------------------------------
// Bitmaps

CBitmap::~CBitmap() = default;

// A bitmap of up to 256 colours stays at a byte a pixel, a quarter of its size in 32 bits, until
// something draws on it.
BOOL CBitmap::LoadBitmap(UINT id) {
    auto img = std::make_shared<QImage>();
    for (const char* ext : {".bmp", ".png"}) {
        if (img->load(QStringLiteral(":/res/bitmap/%1%2").arg(id).arg(QLatin1String(ext)))) {
            if (img->format() != QImage::Format_Indexed8 || img->hasAlphaChannel())
                *img = img->convertToFormat(QImage::Format_RGB32);
            m_image = std::move(img);
            m_valid = true;
            return TRUE;
        }
    }
    m_image.reset();
    m_valid = false;
    return FALSE;
}

BOOL CBitmap::CreateBitmap(int width, int height) {
    if (width <= 0 || height <= 0)
        return FALSE;
    m_image = std::make_shared<QImage>(width, height, QImage::Format_RGB32);
    m_image->fill(Qt::white);
    m_valid = true;
    return TRUE;
}

BOOL CBitmap::DeleteObject() {
    m_image.reset();
    return CGdiObject::DeleteObject();
}

// ---------------------------------------------------------------------------------------------
// Stock objects: what a fresh DC has selected, and what selecting over it hands back.

CPen* AfxStockPen() {
    static CPen black(PS_SOLID, 1, RGB(0, 0, 0));
    return &black;
}

CBrush* AfxStockBrush() {
    static CBrush white(RGB(255, 255, 255));
    return &white;
}

CFont* AfxStockFont() {
    static CFont systemFont;
    if (!systemFont.IsValid())
        systemFont.CreateSimple(16, "MS Sans Serif");
    return &systemFont;
}
