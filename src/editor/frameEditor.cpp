#include "frameEditor.h"

#include "document.h"
#include "editorToolBar.h"
#include "paintBox.h"
#include "pixelClipboard.h"
#include "prompts.h"
#include "textLayout.h"
#include "toolCursors.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <algorithm>

namespace vistrel {

namespace {

constexpr QRgb OutlineColour = 0xFF0000FF; // blue

// Every pixel of the rectangle's area of picture inverted.
void InvertArea(QImage& picture, const QRect& area) {
    const QRect inside = area.intersected(picture.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x)
            row[x] = (~row[x] & 0xFFFFFF) | 0xFF000000;
    }
}

// The dotted outline around a rectangle of screen pixels, its right and bottom
// lines on the first pixels outside it.
void DrawOutline(QPainter& painter, const QRect& area) {
    const int right = area.x() + area.width();
    const int bottom = area.y() + area.height();
    const QPoint corners[] = {
        area.topLeft(), {area.x(), bottom}, {right, bottom}, {right, area.y()}, area.topLeft()};
    painter.drawPolyline(corners, 5);
}

// A font's size in whole points. One given in pixels (the first text font is)
// counts at 96 pixels an inch.
int FontPoints(const QFont& font) {
    const qreal points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
    return qRound(points);
}

QFont InitialTextFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(9);
    return font;
}

} // namespace

TFrameEditor::TFrameEditor(IFrameEditorHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_textFont(InitialTextFont()) {
    m_clipboard.SetFormatName(QString::fromLatin1(PixelClipboardFormat));
    m_caretTimer.setInterval(CaretInterval);
    connect(&m_caretTimer, &QTimer::timeout, this, &TFrameEditor::tmrTextCursorTimer);
    m_onionSkin = new QAction(tr("&Onion Skin"), this);
    m_onionSkin->setObjectName(QStringLiteral("OnionSkin1"));
    m_onionSkin->setCheckable(true);
    m_onionSkin->setShortcut(QKeySequence(Qt::Key_F3));
    connect(m_onionSkin, &QAction::toggled, this, &TFrameEditor::OnionSkinChanged);
}

void TFrameEditor::Attach(TPaintBox* editorBox, TPaintBox* previewBox, TEditorToolBar* toolBar,
                          QMenu* editMenu) {
    m_editorBox = editorBox;
    m_previewBox = previewBox;
    m_toolBar = toolBar;
    m_editorBox->OnPaint = [this](QPainter& painter) { pntbxEditorPaint(painter); };
    m_previewBox->OnPaint = [this](QPainter& painter) { pntbxPreviewPaint(painter); };
    connect(toolBar, &TEditorToolBar::ToolClicked, this, &TFrameEditor::spdbtnPenClick);
    connect(toolBar, &TEditorToolBar::InvertClicked, this, &TFrameEditor::spdbtnInvertClick);
    connect(toolBar, &TEditorToolBar::SwapClicked, this, &TFrameEditor::SwapButtonsClick);
    // The item lives with the widgets that show it, among the window's items.
    m_onionSkin->setParent(toolBar);
    toolBar->AttachOnionSkin(m_onionSkin);
    // The window holds the keyboard while text is typed.
    m_editorBox->window()->installEventFilter(this);
    m_editorBox->setMouseTracking(true);
    ShowToolCursor();
    m_editorBox->OnMouseDown = [this](QMouseEvent& event) {
        pntbxEditorMouseDown(event.button(), event.position().toPoint());
    };
    m_editorBox->OnMouseMove = [this](QMouseEvent& event) {
        pntbxEditorMouseMove(event.position().toPoint(), event.modifiers() & Qt::ShiftModifier);
    };
    m_editorBox->OnMouseUp = [this](QMouseEvent& event) {
        pntbxEditorMouseUp(event.position().toPoint());
    };
    BuildEditMenu(editMenu);
    TDocument& document = m_host.Document();
    connect(&document, &TDocument::framesChanged, this, &TFrameEditor::DocumentFramesChanged);
    // The Undo and Redo items name the step they would take.
    connect(&document.UndoStack(), &QUndoStack::indexChanged, this, &TFrameEditor::Edit1Click);
    // Paste follows what any program puts on the clipboard, also for its shortcut.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &TFrameEditor::Edit1Click);
    Edit1Click();
}

QAction* TFrameEditor::AddEditItem(QMenu* menu, const char* name, const QString& caption,
                                   QKeySequence shortcut, void (TFrameEditor::*handler)()) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setShortcut(shortcut);
    connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return item;
}

void TFrameEditor::BuildEditMenu(QMenu* editMenu) {
    m_undo = AddEditItem(editMenu, "Undo1", QStringLiteral("&Undo"),
                         QKeySequence(Qt::CTRL | Qt::Key_Z), &TFrameEditor::Undo1Click);
    m_redo = AddEditItem(editMenu, "Redo1", QStringLiteral("&Redo"),
                         QKeySequence(Qt::CTRL | Qt::Key_Y), &TFrameEditor::Redo1Click);
    m_redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    editMenu->addSeparator();
    m_cut = AddEditItem(editMenu, "Cut1", QStringLiteral("Cu&t"),
                        QKeySequence(Qt::CTRL | Qt::Key_X), &TFrameEditor::Cut1Click);
    m_copy = AddEditItem(editMenu, "Copy1", QStringLiteral("&Copy"),
                         QKeySequence(Qt::CTRL | Qt::Key_C), &TFrameEditor::Copy1Click);
    m_paste = AddEditItem(editMenu, "Paste1", QStringLiteral("&Paste"),
                          QKeySequence(Qt::CTRL | Qt::Key_V), &TFrameEditor::Paste1Click);
    m_clearSelection =
        AddEditItem(editMenu, "ClearSelection1", QStringLiteral("Clear &Selection"),
                    QKeySequence(Qt::CTRL | Qt::Key_Delete), &TFrameEditor::ClearSelection1Click);
    m_selectAll = AddEditItem(editMenu, "SelectAll1", QStringLiteral("Select &All"),
                              QKeySequence(Qt::CTRL | Qt::Key_A), &TFrameEditor::SelectAll1Click);
    editMenu->addSeparator();
    m_flipHorizontal =
        AddEditItem(editMenu, "FlipHorizontal1", QStringLiteral("Flip &Horizontal"),
                    QKeySequence(Qt::SHIFT | Qt::Key_H), &TFrameEditor::FlipHorizontal1Click);
    m_flipVertical =
        AddEditItem(editMenu, "FlipVertical1", QStringLiteral("Flip &Vertical"),
                    QKeySequence(Qt::SHIFT | Qt::Key_V), &TFrameEditor::FlipVertical1Click);
    m_rotate180 = AddEditItem(editMenu, "Rotate1801", QStringLiteral("R&otate 180\u00B0"),
                              QKeySequence(), &TFrameEditor::Rotate1801Click);
    connect(editMenu, &QMenu::aboutToShow, this, &TFrameEditor::WatchClipboard);
}

// ---------------------------------------------------------------------------
// Editing state

void TFrameEditor::LoadFrame(const TAnimation& animation, int currentFrame) {
    EndEditing();
    m_bitmaps.WorkBitmap = NewFrameBitmap(Qt::white);
    animation.DrawFrame(currentFrame, m_bitmaps.WorkBitmap);
    BuildOnionSkin(animation, currentFrame);
    RepaintEditor();
    Edit1Click();
}

void TFrameEditor::DocumentFramesChanged() {
    const TDocument& document = m_host.Document();
    const TAnimation& animation = document.Animation();
    const int current = document.CurFrame();
    // The editor's own steps store exactly the picture it shows: those change
    // nothing here, and typing or a floating selection goes on. The
    // neighbours may have changed all the same (a frame command, an undo).
    if (!animation.IsValidIndex(current) ||
        animation.Frame(current).Pixels == TAnimation::PixelsOf(m_bitmaps.WorkBitmap)) {
        if (OnionSkinShown()) {
            BuildOnionSkin(animation, current);
            if (m_editorBox != nullptr)
                m_editorBox->update();
        }
        return;
    }
    LoadFrame(animation, current);
}

bool TFrameEditor::OnionSkinShown() const {
    return m_onionSkin->isChecked();
}

void TFrameEditor::SetOnionSkinShown(bool shown) {
    m_onionSkin->setChecked(shown);
}

void TFrameEditor::SetOnionSkinSettings(const TOnionSkinSettings& settings) {
    m_onionSkinSettings = settings;
    OnionSkinChanged();
}

void TFrameEditor::BuildOnionSkin(const TAnimation& animation, int current) {
    if (OnionSkinShown())
        TOnionSkin::Paint(animation, current, m_onionSkinSettings, m_bitmaps.OnionSkinBitmap);
    else
        m_bitmaps.OnionSkinBitmap.fill(Qt::white);
}

void TFrameEditor::OnionSkinChanged() {
    const TDocument& document = m_host.Document();
    BuildOnionSkin(document.Animation(), document.CurFrame());
    // Only the editor shows it: the preview and the thumbnails show the frame.
    if (m_editorBox != nullptr)
        m_editorBox->update();
}

void TFrameEditor::EndEditing() {
    EndTextMode();
    m_tools.Cancel();
    if (Selection().Active()) {
        Selection().Drop();
        ShowToolCursor();
    }
    RepaintEditor();
}

void TFrameEditor::FramePageLeft() {
    EndEditing();
    TakeUpSelectionTool();
}

void TFrameEditor::TakeUpSelectionTool() {
    if (m_toolBar != nullptr)
        m_toolBar->PutDown(TTool::Select);
    spdbtnPenClick(TTool::Select);
}

void TFrameEditor::EndTextMode() {
    m_caretTimer.stop();
    m_caretShown = false;
}

bool TFrameEditor::TextMode() const {
    return m_tools.CurrentTool() == TTool::Text && m_caretTimer.isActive();
}

void TFrameEditor::ShowToolCursor() {
    if (m_editorBox != nullptr)
        m_editorBox->setCursor(ToolCursor(m_tools.ToolCursor()));
}

void TFrameEditor::Record(const QString& text, int session) {
    m_host.Document().CommitPicture(m_bitmaps.WorkBitmap, text, session);
    RepaintEditor();
    Edit1Click();
}

QString TFrameEditor::MouseStepText() const {
    if (m_movedSelection)
        return tr("Move Selection");
    switch (m_tools.CurrentTool()) {
    case TTool::Pen:
        return tr("Pen");
    case TTool::Line:
        return tr("Line");
    case TTool::Rectangle:
        return tr("Rectangle");
    case TTool::FillRect:
        return tr("Filled Rectangle");
    case TTool::Ellipse:
        return tr("Ellipse");
    case TTool::FillEllipse:
        return tr("Filled Ellipse");
    case TTool::FloodFill:
        return tr("Flood Fill");
    case TTool::Shift:
        return tr("Shift");
    case TTool::Text:
        return tr("Text");
    case TTool::Select:
        break;
    }
    return tr("Select");
}

void TFrameEditor::RepaintEditor() {
    if (m_editorBox == nullptr)
        return;
    m_editorBox->update();
    m_previewBox->update();
    m_host.RepaintCurrentThumbnail();
}

// ---------------------------------------------------------------------------
// Painting

const QImage& TFrameEditor::ComposeEditorPicture() {
    m_bitmaps.ComposeEditorPicture();
    QImage& display = m_bitmaps.DisplayBitmap;
    QPainter painter(&display);
    QPen dotted(QColor::fromRgb(OutlineColour), 1, Qt::DotLine);
    painter.setPen(dotted);
    const TSelection& selection = m_tools.Selection();
    if (selection.Active() && m_tools.MouseState() != TMouseState::msMoving)
        DrawOutline(painter, selection.ScreenRect());
    if (const std::optional<QRect> band = m_tools.RubberBand(); band && !band->isEmpty())
        DrawOutline(painter, *band);
    painter.end();
    if (CaretShown()) {
        // An L two screen pixels thick, inverting what it covers.
        const QRect caret = CaretRect();
        InvertArea(display, QRect(caret.left(), caret.top(), 2, caret.height()));
        InvertArea(display, QRect(caret.left(), caret.bottom() + 1, caret.width(), 2));
    }
    return display;
}

void TFrameEditor::pntbxEditorPaint(QPainter& painter) {
    painter.drawImage(0, 0, ComposeEditorPicture());
}

void TFrameEditor::pntbxPreviewPaint(QPainter& painter) {
    painter.drawImage(m_previewBox->rect(), m_bitmaps.WorkBitmap);
}

// ---------------------------------------------------------------------------
// Tools and mouse

void TFrameEditor::spdbtnPenClick(TTool tool) {
    if (m_tools.CurrentTool() == TTool::Select)
        Selection().Drop();
    if (m_tools.CurrentTool() == TTool::Text)
        EndTextMode();
    RepaintEditor();
    m_tools.SelectTool(tool);
    if (tool == TTool::Text)
        ChooseTextFont();
    ShowToolCursor();
    Edit1Click();
}

void TFrameEditor::ChooseTextFont() {
    // Text on a 48 x 32 frame is readable only in small sizes: a size outside
    // them is refused with the range, and the dialog asks again with the
    // chosen face at the nearest size it takes. Cancel keeps the font before.
    QFont offered = m_textFont;
    while (std::optional<QFont> chosen = m_host.Prompts().ChooseFont(offered)) {
        const int points = FontPoints(*chosen);
        if (points >= MinFontPoints && points <= MaxFontPoints) {
            m_textFont = *chosen;
            return;
        }
        m_host.Prompts().MessageBox(QStringLiteral("Invalid font size - must be between %1 and "
                                                   "%2 points.")
                                        .arg(MinFontPoints)
                                        .arg(MaxFontPoints),
                                    QStringLiteral("Error"), PromptIcon::Error, PromptButtons::Ok);
        offered = *chosen;
        offered.setPointSize(std::clamp(points, MinFontPoints, MaxFontPoints));
    }
}

void TFrameEditor::pntbxEditorMouseDown(Qt::MouseButton button, QPoint position) {
    const QPoint pixel = TToolStateMachine::PixelAt(position);
    const bool hadSelection = Selection().Active();
    if (!m_tools.MouseDown(button, pixel))
        return;
    m_movedSelection = m_tools.MouseState() == TMouseState::msMoving;
    // The window's own key handlers get the keys while drawing and typing.
    m_host.ReleaseKeyboardFocus();
    if (hadSelection && !Selection().Active())
        ShowToolCursor();
    if (m_tools.MouseState() == TMouseState::msDrawing && m_tools.CurrentTool() == TTool::Text)
        StartText(pixel);
    RepaintEditor();
}

void TFrameEditor::pntbxEditorMouseMove(QPoint position, bool shiftHeld) {
    const QPoint pixel = TToolStateMachine::PixelAt(position);
    // A drag that leaves the editor still reports the mouse; off the frame there
    // is no cell to name.
    m_host.ShowCursorCell(QRect(0, 0, FrameWidth, FrameHeight).contains(pixel) ? pixel
                                                                               : QPoint(-1, -1));
    if (m_tools.MouseState() == TMouseState::msIdle && Selection().Active() &&
        m_editorBox != nullptr)
        m_editorBox->setCursor(
            ToolCursor(Selection().Contains(pixel) ? SizeCursor : m_tools.ToolCursor()));
    if (m_tools.MouseMove(pixel, shiftHeld))
        RepaintEditor();
}

void TFrameEditor::pntbxEditorMouseUp(std::optional<QPoint> position) {
    std::optional<QPoint> pixel;
    if (position)
        pixel = TToolStateMachine::PixelAt(*position);
    if (!m_tools.MouseUp(pixel))
        return;
    Record(MouseStepText());
}

void TFrameEditor::SwapButtonsClick() {
    m_tools.SwapButtons();
    if (m_toolBar != nullptr)
        m_toolBar->ShowButtonsSwapped(m_tools.ButtonsSwapped());
}

bool TFrameEditor::EditorKeyPress(int key, Qt::KeyboardModifiers modifiers) {
    // Keys a text field leaves unused (Up and Down in a duration box) are
    // not the editor's either.
    const QWidget* focus = QApplication::focusWidget();
    if (TextMode() || qobject_cast<const QLineEdit*>(focus) != nullptr ||
        qobject_cast<const QAbstractSpinBox*>(focus) != nullptr ||
        qobject_cast<const QPlainTextEdit*>(focus) != nullptr ||
        qobject_cast<const QTextEdit*>(focus) != nullptr)
        return false;
    modifiers &= ~Qt::KeypadModifier;
    const bool plain = modifiers == Qt::NoModifier;
    if (Selection().Active() && (plain || modifiers == Qt::ShiftModifier)) {
        const int step = plain ? 1 : 8;
        QPoint by;
        switch (key) {
        case Qt::Key_Left:
            by = {-step, 0};
            break;
        case Qt::Key_Right:
            by = {step, 0};
            break;
        case Qt::Key_Up:
            by = {0, -step};
            break;
        case Qt::Key_Down:
            by = {0, step};
            break;
        default:
            break;
        }
        // While a block floats the arrows are its own, also during a drag
        // (which then places it): none of them changes the current frame.
        if (!by.isNull()) {
            NudgeSelection(by);
            return true;
        }
    }
    if (key == Qt::Key_X && plain) {
        SwapButtonsClick();
        return true;
    }
    if (const std::optional<TTool> tool = ToolForKey(key, modifiers)) {
        // A key can change the tool with a button held, which a click on a
        // tool button cannot: the stroke ends there, or the next move would
        // go on with the new tool over an older picture.
        EndMouseOperation();
        if (m_toolBar != nullptr)
            m_toolBar->PutDown(*tool);
        spdbtnPenClick(*tool);
        return true;
    }
    return false;
}

void TFrameEditor::NudgeSelection(QPoint by) {
    if (m_tools.MouseState() != TMouseState::msIdle)
        return;
    if (m_nudgeGeneration != Selection().Generation() || m_nudgeSession == 0) {
        m_nudgeGeneration = Selection().Generation();
        m_nudgeSession = NewSession();
    }
    Selection().MoveTo(Selection().Cells().topLeft() + by);
    Record(tr("Move Selection"), m_nudgeSession);
}

bool TFrameEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && TextMode()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers held =
            key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        if (held == Qt::NoModifier && !key->text().isEmpty() && key->text().front().isPrint()) {
            event->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TFrameEditor::spdbtnInvertClick() {
    // Typing would go on from the picture before the inversion.
    EndTextMode();
    Selection().Invert();
    Record(tr("Invert"));
}

// ---------------------------------------------------------------------------
// Text

void TFrameEditor::StartText(QPoint pixel) {
    const TFontMeasure measure(m_textFont);
    constexpr int Cell = TEditorBitmaps::CellSize;
    m_textColour = m_tools.DrawColor();
    const int letterHeight = measure.CapHeight();
    m_caretRect = QRect(pixel.x() * Cell, (pixel.y() - letterHeight) * Cell,
                        measure.AverageWidth() * Cell, letterHeight * Cell);
    m_caretOffset = QPoint(0, 0);
    // Letters without descenders stand on the clicked row's upper edge.
    m_textOrigin = QPoint(pixel.x(), pixel.y() - measure.Ascent());
    m_typed.clear();
    m_textSession = NewSession();
    m_caretShown = true;
    m_caretTimer.start();
}

bool TFrameEditor::FormKeyPress(const QString& text) {
    if (!TextMode() || text.isEmpty())
        return false;
    bool escape = false;
    bool typed = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('\x1b')) {
            escape = true;
            break;
        }
        if (c == QLatin1Char('\b')) {
            m_typed.chop(1);
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            m_typed += TextLineBreak;
        } else if (c.category() == QChar::Other_Control) {
            // Tab, Delete and the other control keys have no letter to draw:
            // the font would show them as boxes.
            continue;
        } else {
            m_typed += c;
        }
        typed = true;
    }
    if (typed)
        RenderTypedText();
    if (escape) {
        // The text typed so far stays as it is drawn.
        EndTextMode();
        RepaintEditor();
    }
    return true;
}

void TFrameEditor::RenderTypedText() {
    // Rendered afresh from the picture at the click on every key.
    m_bitmaps.WorkBitmap = m_bitmaps.BackupBitmap.copy();
    const TFontMeasure measure(m_textFont);
    const TTextLayout layout = LayoutText(m_typed, measure, m_textOrigin, FrameWidth);
    DrawTextLines(m_bitmaps.WorkBitmap, layout, m_textFont, m_textColour);
    m_caretOffset = layout.CaretOffset * TEditorBitmaps::CellSize;
    m_caretShown = true;
    Record(tr("Text"), m_textSession);
}

bool TFrameEditor::DeleteKeyPress() {
    if (TextMode())
        return true;
    if (!Selection().Active())
        return false;
    ClearSelection1Click();
    return true;
}

void TFrameEditor::tmrTextCursorTimer() {
    m_caretShown = !m_caretShown;
    if (m_editorBox != nullptr)
        m_editorBox->update();
}

} // namespace vistrel
