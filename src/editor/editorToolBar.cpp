#include "editorToolBar.h"

#include "desktopIcons.h"

#include <QAction>
#include <QButtonGroup>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <functional>

namespace vistrel {

namespace {

struct ToolButtonPlace {
    TTool tool;
    const char* name;
    const char* hint;
    QPoint position;
    Qt::Key key;
    bool shifted; // the key is taken with Shift held
};

constexpr ToolButtonPlace Places[ToolCount] = {
    {TTool::Pen, "spdbtnPen", "Pen", {4, 4}, Qt::Key_B, false},
    {TTool::Line, "spdbtnLine", "Line", {29, 4}, Qt::Key_L, false},
    {TTool::Rectangle, "spdbtnRectangle", "Rectangle", {4, 29}, Qt::Key_R, false},
    {TTool::FillRect, "spdbtnFillRect", "Filled Rectangle", {29, 29}, Qt::Key_R, true},
    {TTool::Ellipse, "spdbtnEllipse", "Ellipse", {4, 54}, Qt::Key_E, false},
    {TTool::FillEllipse, "spdbtnFillEllipse", "Filled Ellipse", {29, 54}, Qt::Key_E, true},
    {TTool::Select, "spdbtnSelect", "Selection", {4, 104}, Qt::Key_M, false},
    {TTool::FloodFill, "spdbtnFloodFill", "Flood Fill", {4, 79}, Qt::Key_G, false},
    {TTool::Text, "spdbtnText", "Text", {29, 79}, Qt::Key_T, false},
    {TTool::Shift, "spdbtnShift", "Shift", {29, 104}, Qt::Key_H, false},
};

// "Pen (B)", "Filled Rectangle (Shift+R)".
QString HintWithKey(const ToolButtonPlace& place) {
    const QKeySequence key(place.shifted ? Qt::SHIFT | place.key : QKeyCombination(place.key));
    return QStringLiteral("%1 (%2)").arg(QLatin1String(place.hint),
                                         key.toString(QKeySequence::NativeText));
}

void DrawGlyph(QPainter& p, TTool tool) {
    // Glyphs on a 16 x 16 grid, scaled by the caller.
    switch (tool) {
    case TTool::Pen: {
        QPolygonF body({{3, 13}, {4, 10}, {12, 2}, {14, 4}, {6, 12}});
        p.drawPolygon(body);
        p.drawLine(QPointF(10, 4), QPointF(12, 6));
        break;
    }
    case TTool::Line:
        p.drawLine(QPointF(3, 13), QPointF(13, 3));
        break;
    case TTool::Rectangle:
        p.drawRect(QRectF(2.5, 4.5, 11, 8));
        break;
    case TTool::FillRect:
        p.setBrush(Qt::black);
        p.drawRect(QRectF(2.5, 4.5, 11, 8));
        break;
    case TTool::Ellipse:
        p.drawEllipse(QRectF(2.5, 4.5, 11, 8));
        break;
    case TTool::FillEllipse:
        p.setBrush(Qt::black);
        p.drawEllipse(QRectF(2.5, 4.5, 11, 8));
        break;
    case TTool::Select: {
        QPen dashed = p.pen();
        dashed.setDashPattern({2, 2});
        p.setPen(dashed);
        p.drawRect(QRectF(2.5, 3.5, 11, 9));
        break;
    }
    case TTool::FloodFill: {
        p.save();
        p.translate(8, 8);
        p.rotate(-40);
        p.drawRect(QRectF(-3, -4, 7, 8));
        p.restore();
        p.setBrush(Qt::black);
        p.drawEllipse(QRectF(2, 11, 3, 3));
        break;
    }
    case TTool::Text: {
        QFont font = p.font();
        font.setPixelSize(13);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case TTool::Shift:
        p.drawLine(QPointF(8, 2), QPointF(8, 14));
        p.drawLine(QPointF(2, 8), QPointF(14, 8));
        for (const auto& [a, b, c] :
             {std::tuple{QPointF(6, 4), QPointF(8, 2), QPointF(10, 4)},
              std::tuple{QPointF(6, 12), QPointF(8, 14), QPointF(10, 12)},
              std::tuple{QPointF(4, 6), QPointF(2, 8), QPointF(4, 10)},
              std::tuple{QPointF(12, 6), QPointF(14, 8), QPointF(12, 10)}}) {
            p.drawLine(a, b);
            p.drawLine(b, c);
        }
        break;
    }
}

// Which button draws which colour: two overlapping squares, the front one in
// the left button's colour.
void DrawSwapGlyph(QPainter& p, bool swapped) {
    const QRectF back(6.5, 6.5, 8, 8);
    const QRectF front(1.5, 1.5, 8, 8);
    p.setBrush(swapped ? Qt::black : Qt::white);
    p.drawRect(back);
    p.setBrush(swapped ? Qt::white : Qt::black);
    p.drawRect(front);
}

// Black and white swapping places: a square, one half filled.
void DrawInvertGlyph(QPainter& p) {
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({{2.5, 13.5}, {13.5, 2.5}, {13.5, 13.5}}));
}

// Three frames of a moving dot, the outer two faint: the onion skin.
void DrawOnionSkinGlyph(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x80, 0xD0, 0x80));
    p.drawEllipse(QRectF(1, 7, 5, 5));
    p.setBrush(QColor(0xFF, 0xB0, 0x70));
    p.drawEllipse(QRectF(10, 4, 5, 5));
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(5.5, 5.5, 5, 5));
}

// Glyphs are drawn on a 16-unit square, scaled to the size asked for.
QImage PaintGlyph(int size, const std::function<void(QPainter&)>& draw) {
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    painter.setPen(QPen(Qt::black, 1.2));
    draw(painter);
    return picture;
}

// The buttons' pictures are painted when the tool bar first shows them.
QIcon Glyph(std::function<void(QPainter&)> draw) {
    return IconPaintedOnDemand([draw](int size) { return PaintGlyph(size, draw); },
                               {TEditorToolBar::IconSize});
}

} // namespace

QImage PaintToolGlyph(TTool tool, int size) {
    return PaintGlyph(size, [tool](QPainter& p) { DrawGlyph(p, tool); });
}

QIcon ToolIcon(TTool tool) {
    return Glyph([tool](QPainter& p) { DrawGlyph(p, tool); });
}

TEditorToolBar::TEditorToolBar(QWidget* parent) : QWidget(parent), m_group(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("pnlFrameToolBar"));
    setFixedWidth(Width);
    m_group->setExclusive(true);
    for (const ToolButtonPlace& place : Places) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(place.name));
        button->setToolTip(HintWithKey(place));
        button->setAccessibleName(QLatin1String(place.hint));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(ToolIcon(place.tool));
        button->setIconSize(QSize(IconSize, IconSize));
        button->setGeometry(QRect(place.position, QSize(ButtonSize, ButtonSize)));
        m_group->addButton(button, static_cast<int>(place.tool));
    }
    Button(TTool::Pen)->setChecked(true);
    connect(m_group, &QButtonGroup::idClicked, this,
            [this](int id) { emit ToolClicked(static_cast<TTool>(id)); });

    // Not a tool: one click inverts the frame.
    m_invert = new QToolButton(this);
    m_invert->setObjectName(QStringLiteral("spdbtnInvert"));
    m_invert->setToolTip(QStringLiteral("Invert"));
    m_invert->setAccessibleName(QStringLiteral("Invert"));
    m_invert->setAutoRaise(true);
    m_invert->setFocusPolicy(Qt::NoFocus);
    m_invert->setIcon(Glyph(DrawInvertGlyph));
    m_invert->setIconSize(QSize(IconSize, IconSize));
    m_invert->setGeometry(QRect(QPoint(4, 129), QSize(ButtonSize, ButtonSize)));
    connect(m_invert, &QToolButton::clicked, this, &TEditorToolBar::InvertClicked);

    m_swap = new QToolButton(this);
    m_swap->setObjectName(QStringLiteral("imgSwapColors"));
    m_swap->setCheckable(true);
    m_swap->setAutoRaise(true);
    m_swap->setFocusPolicy(Qt::NoFocus);
    m_swap->setIconSize(QSize(IconSize, IconSize));
    m_swap->setGeometry(QRect(QPoint(29, 129), QSize(ButtonSize, ButtonSize)));
    // The editor swaps the buttons and shows the new state through ShowButtonsSwapped.
    connect(m_swap, &QToolButton::clicked, this, &TEditorToolBar::SwapClicked);
    ShowButtonsSwapped(false);

    m_onionSkin = new QToolButton(this);
    m_onionSkin->setObjectName(QStringLiteral("spdbtnOnionSkin"));
    m_onionSkin->setAutoRaise(true);
    m_onionSkin->setFocusPolicy(Qt::NoFocus);
    m_onionSkin->setIconSize(QSize(IconSize, IconSize));
    m_onionSkin->setGeometry(QRect(QPoint(4, 154), QSize(ButtonSize, ButtonSize)));
}

void TEditorToolBar::AttachOnionSkin(QAction* action) {
    action->setIcon(Glyph(DrawOnionSkinGlyph));
    action->setToolTip(QStringLiteral("Onion Skin (%1)")
                           .arg(action->shortcut().toString(QKeySequence::NativeText)));
    m_onionSkin->setDefaultAction(action);
    m_onionSkin->setAccessibleName(QStringLiteral("Onion Skin"));
}

void TEditorToolBar::ShowButtonsSwapped(bool swapped) {
    m_swap->setChecked(swapped);
    m_swap->setIcon(Glyph([swapped](QPainter& p) { DrawSwapGlyph(p, swapped); }));
    const QString state = swapped ? QStringLiteral("Right button draws black")
                                  : QStringLiteral("Left button draws black");
    m_swap->setToolTip(QStringLiteral("%1; swap the buttons (X)").arg(state));
    m_swap->setAccessibleName(state);
}

bool TEditorToolBar::ShowsButtonsSwapped() const {
    return m_swap->isChecked();
}

std::optional<TTool> ToolForKey(int key, Qt::KeyboardModifiers modifiers) {
    modifiers &= ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier)
        return std::nullopt;
    const bool shifted = modifiers == Qt::ShiftModifier;
    for (const ToolButtonPlace& place : Places)
        if (place.key == key && place.shifted == shifted)
            return place.tool;
    return std::nullopt;
}

void TEditorToolBar::PutDown(TTool tool) {
    Button(tool)->setChecked(true);
}

QToolButton* TEditorToolBar::Button(TTool tool) const {
    return static_cast<QToolButton*>(m_group->button(static_cast<int>(tool)));
}

TTool TEditorToolBar::DownTool() const {
    return static_cast<TTool>(m_group->checkedId());
}

} // namespace vistrel
