#pragma once

// Measures the width of a run of 8-bit text in the font the caller has selected. The screen measures
// with the instruction body font, paper with the paper body font; tests use a fixed-width stand-in.
// (Named apart from the platform's own measuring hook, since the view's code sees both.)
class ILineMeasurer {
  public:
    virtual ~ILineMeasurer() = default;
    virtual int TextWidth(const char* text, int length) = 0;
};
