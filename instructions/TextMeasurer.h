#pragma once

// Measures the width of a run of 8-bit text in the font the caller has selected. The screen measures
// with the instruction body font, paper with the paper body font; tests use a fixed-width stand-in.
class ITextMeasurer {
  public:
    virtual ~ITextMeasurer() = default;
    virtual int TextWidth(const char* text, int length) = 0;
};
