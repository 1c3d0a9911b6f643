// What assistive technologies (screen readers) see of a view that draws itself. A drawn view is
// one picture to them; the view says what it shows as numbered items (a table and its cells,
// buttons, texts), and the layer presents those through Qt's accessibility, which reaches AT-SPI
// on Linux. After every input event and command the layer tells listeners what changed: the item
// with the focus, names, the set of items.
#pragma once

#include "platform/AfxString.h"
#include "platform/AfxTypes.h"

enum class CAccessibleRole {
    Table,  // its children are its cells, row by row
    Cell,   // a cell of the table it is the child of
    Button, // pressed through the view's OnAccessiblePress
    Text,   // readable text
};

struct CAccessibleItem {
    CAccessibleRole role = CAccessibleRole::Text;
    CString name;        // what a screen reader says for the item
    CString description; // how it is used, with its keys
    CString key;         // the key that does what pressing the item does
    RECT rect = {};      // where it is, in client pixels
    int row = -1;        // a cell's place in its table, from 0
    int column = -1;
    int rows = 0; // a table's size
    int columns = 0;
    bool focusable = false; // can hold the keyboard focus (the view says which one does)
    // Said at once when it appears, over whatever is being said (a verdict). Where there is no
    // announcement event (Qt before 6.8) the view moves the focus to it instead.
    bool urgent = false;
};

// The largest number of children one item may list.
inline constexpr int kMaxAccessibleChildren = 128;
