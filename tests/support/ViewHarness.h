#pragma once
// Helpers for driving the real view offscreen: sizing and painting it, reading its pixels and
// recording the sound cues.

#include <QImage>
#include <QRgb>
#include <memory>
#include <string>
#include <vector>

#include "platform/Afx.h"
#include "screen/QuillmoorView.h"

// Sizes the view's window to a client area of width x height and lets the paint run.
void ShowAndPaint(CQuillmoorView& view, int width, int height);

// A view of the given client size after its first paint, with the generator seeded first.
std::unique_ptr<CQuillmoorView> MakePaintedView(int width, int height, unsigned seed);

// Runs pending events so scheduled presentations and paints happen.
void ProcessEvents();

QRgb PixelAt(const CQuillmoorView& view, int x, int y);
bool IsColour(QRgb pixel, int r, int g, int b);

// Pixel statistics over a rectangle of the backing image (right and bottom exclusive).
int CountColour(const CQuillmoorView& view, const RECT& rect, int r, int g, int b);
bool AllWhite(const CQuillmoorView& view, const RECT& rect);

// The pixels of a rectangle, cropped to the bounding box of the non-white ones, as text rows
// ("#" for ink, "." for white) so two drawn glyphs can be compared.
std::vector<std::string> InkShape(const CQuillmoorView& view, const RECT& rect);

// Records every text the device contexts draw, on screen and on paper, while it lives.
class CTextLog : public ITextRecorder {
  public:
    CTextLog() { AfxSetTextRecorder(this); }
    ~CTextLog() override { AfxSetTextRecorder(nullptr); }
    CTextLog(const CTextLog&) = delete;
    CTextLog& operator=(const CTextLog&) = delete;
    void RecordText(const CTextRecord& record) override { m_texts.push_back(record); }
    void Clear() { m_texts.clear(); }
    // Every record of exactly this text, in the order drawn.
    std::vector<CTextRecord> Find(const char* text) const;
    // The last record of exactly this text; a record with an empty text when there is none.
    CTextRecord Last(const char* text) const;
    // The texts drawn, in order.
    std::vector<std::string> Texts() const;
    std::vector<CTextRecord> m_texts;
};

// Records every sound cue instead of playing it.
class CSoundRecorder : public ISoundPlayer {
  public:
    struct Cue {
        int id;
        bool synchronous;
    };
    int Play(int id, bool synchronous) override {
        m_cues.push_back({id, synchronous});
        return m_result;
    }
    std::vector<Cue> m_cues;
    int m_result = 1;
};

// The recorder every test shares (installed by the test main).
CSoundRecorder& TestSoundRecorder();
