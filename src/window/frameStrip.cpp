#include "frameStrip.h"

#include "document.h"
#include "frameStripHost.h"
#include "paintBox.h"
#include "undoCommands.h"
#include "widgetColours.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

namespace vistrel {

namespace {

// Strip layout, in pixels of the strip.
constexpr int StripHeight = 89;
constexpr int SlotLefts[TFrameStrip::SlotCount] = {7, 135, 263, 391, 519};
constexpr int SlotTop = 4;
constexpr QSize SlotSize(107, 60);
constexpr QRect ScrollBarRect(7, 68, 619, 17);

// Layout inside a slot.
constexpr QRect ViewRect(4, 4, FrameWidth + 2, FrameHeight + 2);
constexpr QRect NumberRect(2, 41, 56, 16);
constexpr QRect EditRect(60, 6, 25, 21);
constexpr int UpDownWidth = 13;
// The duration box grows to show its widest value, 255, whole in the font the
// system gives it, up to the room the slot has to the right of the picture.
constexpr int DurationSample = 255;
constexpr int MaxEditRight = SlotSize.width() - 2 - UpDownWidth;
constexpr int PopupButtonSize = 11;

// The strip's colours as 0x00BBGGRR values: red in the low byte, blue in the
// high one.
constexpr unsigned clNavy = 0x800000;
constexpr unsigned clRed = 0x0000FF;
constexpr unsigned clBlue = 0xFF0000;
constexpr unsigned clSilver = 0xC0C0C0;
constexpr unsigned clWhite = 0xFFFFFF;
constexpr unsigned clBlack = 0x000000;

// A line edit's text area is its width less the frame and a small margin each side.
QRect DurationEditRect(const QLineEdit& edit) {
    constexpr int FrameAndMargin = 2 + 2;
    const QMargins text = edit.textMargins();
    const int needed = edit.fontMetrics().horizontalAdvance(QString::number(DurationSample)) +
                       2 * FrameAndMargin + text.left() + text.right() + 1;
    QRect rect = EditRect;
    rect.setWidth(std::clamp(needed, EditRect.width(), MaxEditRight - EditRect.left() + 1));
    return rect;
}

} // namespace

TFrameStrip::TFrameStrip(IFrameStripHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("pnlFrames"));
    setFixedHeight(StripHeight);
    setMinimumWidth(ScrollBarRect.right() + 1 + SlotLefts[0]);

    for (int slot = 0; slot < SlotCount; ++slot)
        BuildSlot(slot);

    m_scrollBar = new QScrollBar(Qt::Horizontal, this);
    m_scrollBar->setObjectName(QStringLiteral("scrlbrFrames"));
    m_scrollBar->setGeometry(ScrollBarRect);
    m_scrollBar->setRange(0, 0);
    m_scrollBar->setSingleStep(1);
    m_scrollBar->setPageStep(4);
    m_scrollBar->setFocusPolicy(Qt::NoFocus);
    m_scrollBar->setEnabled(false);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this] { scrlbrFramesChange(); });

    m_drag = new TStripDragController(*this, host, SlotRow(), this);
}

TSlotRow TFrameStrip::SlotRow() {
    return {SlotLefts[0],     SlotLefts[1] - SlotLefts[0], SlotSize.width(), SlotCount, SlotTop,
            SlotSize.height()};
}

void TFrameStrip::BuildSlot(int slot) {
    TSlot& s = m_slots[static_cast<std::size_t>(slot)];

    s.Panel = new QFrame(this);
    s.Panel->setObjectName(QStringLiteral("pnlFrame%1").arg(slot));
    s.Panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    s.Panel->setAutoFillBackground(true);
    s.Panel->setGeometry(QRect(QPoint(SlotLefts[slot], SlotTop), SlotSize));
    // Shown by RefreshFrameStrip once there is a frame for it.
    s.Panel->hide();

    s.View = new QFrame(s.Panel);
    s.View->setObjectName(QStringLiteral("pnlFrame%1View").arg(slot));
    s.View->setFrameStyle(QFrame::Box | QFrame::Plain);
    s.View->setLineWidth(1);
    FillBackground(s.View, ColourFromBGR(clWhite));
    SetPaletteColour(s.View, QPalette::WindowText, ColourFromBGR(clBlack));
    s.View->setGeometry(ViewRect);

    s.Thumbnail = new TPaintBox(s.View);
    s.Thumbnail->setObjectName(QStringLiteral("pntbxFrame%1").arg(slot));
    s.Thumbnail->setGeometry(1, 1, FrameWidth, FrameHeight);
    s.Thumbnail->OnPaint = [this, slot](QPainter& painter) { PaintThumbnail(slot, painter); };

    s.Number = new QLabel(QStringLiteral("000/000"), s.Panel);
    s.Number->setObjectName(QStringLiteral("lblFrame%1Num").arg(slot));
    s.Number->setAlignment(Qt::AlignCenter);
    s.Number->setGeometry(NumberRect);

    s.Edit = new TDurationEdit(s.Panel);
    s.Edit->setObjectName(QStringLiteral("edtFrame%1").arg(slot));
    s.Edit->setText(QStringLiteral("1"));
    // Clicking in gives the edit the keyboard, tabbing never does: the window's
    // own key handlers must keep getting the keys.
    s.Edit->setFocusPolicy(Qt::ClickFocus);
    s.Edit->setGeometry(DurationEditRect(*s.Edit));

    s.UpDown = new TUpDown(s.Panel);
    s.UpDown->setObjectName(QStringLiteral("updnFrame%1").arg(slot));
    s.UpDown->setGeometry(s.Edit->geometry().right() + 1, EditRect.top(), UpDownWidth,
                          EditRect.height());

    s.PopupButton = new QToolButton(s.Panel);
    s.PopupButton->setObjectName(QStringLiteral("spdbtnFrame%1").arg(slot));
    s.PopupButton->setArrowType(Qt::DownArrow);
    s.PopupButton->setFocusPolicy(Qt::NoFocus);
    s.PopupButton->setGeometry(SlotSize.width() - PopupButtonSize - 2,
                               SlotSize.height() - PopupButtonSize - 2, PopupButtonSize,
                               PopupButtonSize);

    connect(s.Edit, &QLineEdit::textChanged, this, [this, slot] { edtFrame0Change(slot); });
    connect(s.Edit, &TDurationEdit::EnterPressed, this, [this] {
        ++m_typing;
        m_host.ReleaseKeyboardFocus();
    });
    // The arrows step the edit first, so its change handler stores the new
    // duration before the click makes the frame current.
    connect(s.UpDown, &TUpDown::Clicked, this, [this, slot] {
        const TSlot& clicked = m_slots[static_cast<std::size_t>(slot)];
        clicked.Edit->setText(QString::number(clicked.UpDown->Position()));
        updnFrame3Click(slot);
    });
    connect(s.PopupButton, &QToolButton::clicked, this, [this, slot] { spdbtnFrame0Click(slot); });

    s.Edit->installEventFilter(this);
    for (QWidget* target : {static_cast<QWidget*>(s.Panel), static_cast<QWidget*>(s.View),
                            static_cast<QWidget*>(s.Thumbnail), static_cast<QWidget*>(s.Number)})
        target->installEventFilter(this);

    ColourSlot(slot, clSilver);
}

int TFrameStrip::Position() const {
    return m_scrollBar->value();
}

int TFrameStrip::MaxPosition() const {
    return m_scrollBar->maximum();
}

void TFrameStrip::SetPosition(int value) {
    m_scrollBar->setValue(value);
}

int TFrameStrip::SlotIndex(int slot) const {
    return slot + Position();
}

int TFrameStrip::CurrentSlot() const {
    const int current = m_host.Document().CurFrame();
    if (!m_host.Document().Animation().IsValidIndex(current))
        return -1;
    const int slot = current - Position();
    return slot >= 0 && slot < SlotCount ? slot : -1;
}

int TFrameStrip::SlotOf(const QObject* widget) const {
    for (int slot = 0; slot < SlotCount; ++slot) {
        const TSlot& s = m_slots[static_cast<std::size_t>(slot)];
        if (widget == s.Panel || widget == s.View || widget == s.Thumbnail || widget == s.Number)
            return slot;
    }
    return -1;
}

void TFrameStrip::ColourSlot(int slot, unsigned panelColour) {
    const TSlot& s = m_slots[static_cast<std::size_t>(slot)];
    SetPaletteColour(s.Panel, QPalette::Window, ColourFromBGR(panelColour));
    // Only the caption follows the slot colour; the edit and arrows keep theirs.
    SetPaletteColour(s.Number, QPalette::WindowText,
                     ColourFromBGR(panelColour == clSilver ? clBlack : clWhite));
}

void TFrameStrip::RefreshFrameStrip() {
    TAnimation& animation = m_host.Document().Animation();
    const int position = Position();
    const int count = animation.FrameCount();
    const int last = count <= position + 4 ? count - position - 1 : 4;

    for (int slot = std::max(last + 1, 0); slot < SlotCount; ++slot)
        m_slots[static_cast<std::size_t>(slot)].Panel->hide();

    const int currentSlot = m_host.Document().CurFrame() - position;
    for (int slot = 0; slot < SlotCount && SlotIndex(slot) < count; ++slot) {
        const TFrame& frame = animation.Frame(SlotIndex(slot));
        unsigned colour = clSilver;
        if (slot == currentSlot || frame.Selected())
            colour = clNavy;
        else if (frame.RedLayer())
            colour = clRed;
        else if (frame.BlueLayer())
            colour = clBlue;
        ColourSlot(slot, colour);
    }

    for (int slot = 0; slot <= last; ++slot) {
        const TSlot& s = m_slots[static_cast<std::size_t>(slot)];
        const int index = position + slot;
        s.Number->setText(QString::asprintf("%.3d/%.3d", index + 1, count));
        s.Panel->show();
        const int duration = animation.Frame(index).Duration();
        s.UpDown->SetPosition(duration);
        // Showing a duration is no edit of it: a frame loaded with 0 ticks shows 0
        // and keeps it until the user types or steps a new one.
        const QString text = QString::number(duration);
        if (s.Edit->text() != text) {
            m_showingDurations = true;
            s.Edit->setText(text);
            m_showingDurations = false;
        }
        s.Thumbnail->update();
    }
}

void TFrameStrip::UpdateStripScrollBar() {
    const int count = m_host.Document().Animation().FrameCount();
    if (count <= SlotCount) {
        m_scrollBar->setEnabled(false);
        // With room for every frame the strip goes back to its start, so that no
        // frame stays hidden behind a scroll bar the user cannot move.
        m_scrollBar->setMaximum(0);
    } else {
        m_scrollBar->setEnabled(true);
        // A position beyond the new end drops to it and refreshes the strip.
        m_scrollBar->setMaximum(count - SlotCount);
    }
    m_host.RefreshTimePanels();
}

void TFrameStrip::ScrollToCurrent() {
    const int current = m_host.Document().CurFrame();
    if (current + 1 > Position() + 4)
        SetPosition(current + 1 - 4);
}

void TFrameStrip::RepaintCurrentThumbnail() {
    const int slot = CurrentSlot();
    if (slot >= 0)
        m_slots[static_cast<std::size_t>(slot)].Thumbnail->update();
}

void TFrameStrip::PaintThumbnail(int slot, QPainter& painter) {
    painter.fillRect(0, 0, FrameWidth, FrameHeight, ColourFromBGR(clWhite));
    const TAnimation& animation = m_host.Document().Animation();
    const int index = SlotIndex(slot);
    if (!animation.IsValidIndex(index))
        return;
    // The frame being edited shows its edits before they are stored.
    if (index == m_host.Document().CurFrame()) {
        painter.drawImage(0, 0, m_host.WorkBitmap());
        return;
    }
    QImage bitmap(FrameWidth, FrameHeight, QImage::Format_RGB32);
    bitmap.fill(ColourFromBGR(clWhite));
    animation.DrawFrame(index, bitmap);
    painter.drawImage(0, 0, bitmap);
}

void TFrameStrip::scrlbrFramesChange() {
    RefreshFrameStrip();
    m_host.ReleaseKeyboardFocus();
}

void TFrameStrip::edtFrame0Change(int slot) {
    if (m_showingDurations)
        return;
    TAnimation& animation = m_host.Document().Animation();
    const int index = SlotIndex(slot);
    if (!animation.IsValidIndex(index))
        return;
    const TSlot& s = m_slots[static_cast<std::size_t>(slot)];
    // Text that is not a duration (empty, 0, above 255) leaves the arrows, and
    // so the frame, at the last good value.
    bool isNumber = false;
    const int typed = s.Edit->text().toInt(&isNumber);
    if (isNumber && typed >= TUpDown::Minimum && typed <= TUpDown::Maximum)
        s.UpDown->SetPosition(typed);
    // Only a duration that really changed is an edit: the strip writing the same
    // number into the edit while scrolling must not mark a saved document. The
    // keys typed into one box one after the other make one step of the history.
    const auto duration = static_cast<std::uint8_t>(s.UpDown->Position());
    if (animation.Frame(index).Duration() != duration)
        m_host.Document().Push(new TDurationCommand(m_host.Document(), index, duration, m_typing));
    m_host.RefreshTimePanels();
}

void TFrameStrip::updnFrame3Click(int slot) {
    const int index = SlotIndex(slot);
    if (index != m_host.Document().CurFrame()) {
        m_host.SetCurFrame(index);
        RefreshFrameStrip();
    }
    // The step the arrow made has marked the document already.
    m_host.ReleaseKeyboardFocus();
}

void TFrameStrip::spdbtnFrame0Click(int slot) {
    const int index = SlotIndex(slot);
    if (!m_host.Document().Animation().IsValidIndex(index))
        return;
    const QToolButton* button = m_slots[static_cast<std::size_t>(slot)].PopupButton;
    m_host.PopupFrameMenu(index, button->mapToGlobal(QPoint(button->width(), 0)));
}

void TFrameStrip::SetPopupButtonsEnabled(bool enabled) {
    for (const TSlot& s : m_slots)
        s.PopupButton->setEnabled(enabled);
}

void TFrameStrip::ClearRangeMarks() {
    // Every frame, not only SelFirst..SelLast: frames inserted into or before the
    // range move marked frames out of it.
    m_host.Document().Animation().ClearSelectedMarks();
}

void TFrameStrip::EndRangeSelection() {
    if (m_host.Document().MultipleSel())
        ClearRangeMarks();
    m_host.Document().SetMultipleSel(false);
}

void TFrameStrip::pnlFrame0ViewMouseUp(int slot, Qt::MouseButton button,
                                       Qt::KeyboardModifiers modifiers) {
    if (button != Qt::LeftButton)
        return;
    TAnimation& animation = m_host.Document().Animation();
    const int index = SlotIndex(slot);
    if (!animation.IsValidIndex(index))
        return;

    if (m_host.Document().MultipleSel())
        ClearRangeMarks();

    if (modifiers & Qt::ShiftModifier) {
        // The range runs from the current frame, which is the frame clicked
        // before, so a second Shift+click re-anchors on it.
        const int current = m_host.Document().CurFrame();
        if (current != -1) {
            const int first = std::min(index, current);
            const int last = std::max(index, current);
            m_host.Document().SetSelRange(first, last);
            for (int marked = first; marked <= last; ++marked)
                if (animation.IsValidIndex(marked))
                    animation.Frame(marked).SetSelected(true);
            m_host.SetCurFrame(index);
            m_host.Document().SetMultipleSel(true);
        }
    } else if (modifiers & Qt::ControlModifier) {
        // Ctrl+click drops the range and keeps the current frame, so that no
        // range is left selected without its marks.
        m_host.Document().SetMultipleSel(false);
    } else {
        m_host.EndTextCaret();
        m_host.SetCurFrame(index);
        m_host.Document().SetMultipleSel(false);
    }
    RefreshFrameStrip();
}

bool TFrameStrip::eventFilter(QObject* watched, QEvent* event) {
    // Typing into a box again after leaving it is a step of its own.
    if (event->type() == QEvent::FocusOut && qobject_cast<TDurationEdit*>(watched))
        ++m_typing;
    // The wheel anywhere over the slots scrolls the strip as over its scroll bar.
    if (event->type() == QEvent::Wheel && SlotOf(watched) >= 0) {
        QCoreApplication::sendEvent(m_scrollBar, event);
        return true;
    }
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
        type == QEvent::MouseButtonRelease) {
        const int slot = SlotOf(watched);
        if (slot >= 0) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint at =
                static_cast<QWidget*>(watched)->mapTo(this, mouse->position().toPoint());
            if (SlotMouseEvent(slot, type, *mouse, at)) {
                event->accept();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TFrameStrip::SlotMouseEvent(int slot, QEvent::Type type, const QMouseEvent& mouse, QPoint at) {
    if (m_drag->MouseEvent(SlotIndex(slot), type, mouse, at))
        return true;
    // A release the drag leaves is a click.
    if (type != QEvent::MouseButtonRelease)
        return false;
    pnlFrame0ViewMouseUp(slot, mouse.button(), mouse.modifiers());
    return true;
}

void TFrameStrip::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    m_drag->PaintDropMarker(*this);
}

bool TFrameStrip::HandleNavigationKey(int key, Qt::KeyboardModifiers modifiers) {
    const int position = Position();
    const int current = m_host.Document().CurFrame();
    const int count = m_host.Document().Animation().FrameCount();

    // Moves the current frame, then either scrolls to newPosition (which
    // refreshes the strip) or, when newPosition is -1 or no move, refreshes.
    const auto moveTo = [this](int frame, int newPosition) {
        EndRangeSelection();
        m_host.SetCurFrame(frame);
        if (newPosition >= 0 &&
            std::clamp(newPosition, m_scrollBar->minimum(), m_scrollBar->maximum()) != Position())
            SetPosition(newPosition);
        else
            RefreshFrameStrip();
    };
    // Right and End: scroll only when the new frame is beyond the last slot,
    // and then so far that it stands in the last slot.
    const auto rightwards = [position](int frame) {
        return position + 4 >= frame ? -1 : frame - 4;
    };

    switch (key) {
    case Qt::Key_Left:
        if (current >= 1)
            moveTo(current - 1, position > current - 1 ? current - 1 : -1);
        return true;
    case Qt::Key_Right:
        if (current < count - 1)
            moveTo(current + 1, rightwards(current + 1));
        return true;
    case Qt::Key_Home:
        if (current != 0 && count != 0)
            moveTo(0, position > 0 ? 0 : -1);
        return true;
    case Qt::Key_End:
        if (current != count - 1)
            moveTo(count - 1, rightwards(count - 1));
        return true;
    case Qt::Key_PageUp:
        if (current >= 1) {
            const int frame = current < 5 ? 0 : current - 5;
            moveTo(frame, position > 4 ? position - 5 : (position < 1 ? -1 : 0));
        }
        return true;
    case Qt::Key_PageDown:
        if (current < count - 1) {
            const int frame = count - 6 > current ? current + 5 : count - 1;
            int newPosition = -1;
            if (position < count - 6)
                newPosition = position + 5;
            else if (position < count - 5)
                newPosition = count - 5;
            moveTo(frame, newPosition);
        }
        return true;
    case Qt::Key_Plus:
        if (!(modifiers & Qt::KeypadModifier))
            return false;
        if (const int slot = CurrentSlot(); slot >= 0)
            spdbtnFrame0Click(slot);
        return true;
    default:
        return false;
    }
}

} // namespace vistrel
