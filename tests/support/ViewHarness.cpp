#include "ViewHarness.h"

#include <QApplication>
#include <QWidget>

void ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
}

void ShowAndPaint(CQuillmoorView& view, int width, int height) {
    view.ViewWidget();
    QWidget* widget = view.Widget();
    widget->resize(width, height);
    widget->show();
    ProcessEvents();
    view.Invalidate();
    view.UpdateWindow();
    ProcessEvents();
}

std::unique_ptr<CQuillmoorView> MakePaintedView(int width, int height, unsigned seed) {
    auto view = std::make_unique<CQuillmoorView>();
    view->Srand(seed);
    ShowAndPaint(*view, width, height);
    return view;
}

QRgb PixelAt(const CQuillmoorView& view, int x, int y) {
    return view.BackingImage().pixel(x, y);
}

bool IsColour(QRgb pixel, int r, int g, int b) {
    return qRed(pixel) == r && qGreen(pixel) == g && qBlue(pixel) == b;
}

int CountColour(const CQuillmoorView& view, const RECT& rect, int r, int g, int b) {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            if (IsColour(PixelAt(view, x, y), r, g, b)) {
                ++count;
            }
        }
    }
    return count;
}

bool AllWhite(const CQuillmoorView& view, const RECT& rect) {
    const int pixels = (rect.right - rect.left) * (rect.bottom - rect.top);
    return CountColour(view, rect, 255, 255, 255) == pixels;
}

std::vector<std::string> InkShape(const CQuillmoorView& view, const RECT& rect) {
    int left = rect.right, right = rect.left - 1, top = rect.bottom, bottom = rect.top - 1;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            if (!IsColour(PixelAt(view, x, y), 255, 255, 255)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    std::vector<std::string> rows;
    for (int y = top; y <= bottom; ++y) {
        std::string row;
        for (int x = left; x <= right; ++x) {
            row += IsColour(PixelAt(view, x, y), 255, 255, 255) ? '.' : '#';
        }
        rows.push_back(row);
    }
    return rows;
}

CSoundRecorder& TestSoundRecorder() {
    static CSoundRecorder recorder;
    return recorder;
}

std::vector<CTextRecord> CTextLog::Find(const char* text) const {
    std::vector<CTextRecord> found;
    for (const CTextRecord& record : m_texts) {
        if (record.text == text) {
            found.push_back(record);
        }
    }
    return found;
}

CTextRecord CTextLog::Last(const char* text) const {
    const std::vector<CTextRecord> found = Find(text);
    return found.empty() ? CTextRecord() : found.back();
}

std::vector<std::string> CTextLog::Texts() const {
    std::vector<std::string> texts;
    for (const CTextRecord& record : m_texts) {
        texts.push_back(record.text.Str());
    }
    return texts;
}
