#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

namespace vistrel {

// Colours written as 0x00BBGGRR words (red in the low byte, blue in the high
// one), the form every colour of the program's palette is given in.
inline QColor ColourFromBGR(unsigned value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

void SetPaletteColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);
// A panel's own background: filled with this colour behind its children.
void FillBackground(QWidget* widget, const QColor& colour);
// A plain panel of that background, named for tests to find.
QWidget* NewPanel(const char* name, QWidget* parent, const QColor& colour);

} // namespace vistrel
