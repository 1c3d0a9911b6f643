// What the print flow hands to the view's printing virtuals.
#pragma once

#include "platform/AfxTypes.h"

class CPrintInfo {
  public:
    CRect m_rectDraw; // the printable area of the sheet, printer pixels, left/top 0
};
