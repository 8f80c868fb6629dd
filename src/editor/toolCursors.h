#pragma once

#include <QCursor>

namespace vistrel {

// The editor's cursors, by their fixed numbers: 1 pen, 2 cross, 3 paint can,
// 4 four-headed arrow (over a floating selection), 5 I-beam, 7 open hand.
enum ToolCursorNumber : int {
    PenCursor = 1,
    CrossCursor = 2,
    FillCursor = 3,
    SizeCursor = 4,
    TextCursor = 5,
    MoveCursor = 7,
};

// The cursor of a number, with its hot spot; the arrow for an unknown number.
QCursor ToolCursor(int number);

} // namespace vistrel
