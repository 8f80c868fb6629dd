#include "widgetColours.h"

#include <QWidget>

namespace vistrel {

void SetPaletteColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

void FillBackground(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    SetPaletteColour(widget, QPalette::Window, colour);
}

QWidget* NewPanel(const char* name, QWidget* parent, const QColor& colour) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    FillBackground(panel, colour);
    return panel;
}

} // namespace vistrel
