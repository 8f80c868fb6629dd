#include "stripDragController.h"

#include "document.h"
#include "frameStripHost.h"
#include "moveFramesCommand.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace vistrel {

namespace {

// The drop marker: a black bar across the slots' height in the space between two.
constexpr int MarkerWidth = 3;
constexpr int MarkerOverhang = 2;

// Escape pressed anywhere in the program while a drag is under way. A shortcut
// on Escape must not take the key first.
class TEscapeWatch : public QObject {
public:
    TEscapeWatch(QObject* parent, std::function<void()> onEscape)
        : QObject(parent), m_onEscape(std::move(onEscape)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return false;
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
            return false;
        event->accept();
        if (event->type() == QEvent::KeyPress)
            m_onEscape();
        return true;
    }

private:
    std::function<void()> m_onEscape;
};

} // namespace

TStripDragController::TStripDragController(IStripDragView& strip, IFrameStripHost& host,
                                           const TSlotRow& row, QObject* parent)
    : QObject(parent), m_strip(strip), m_host(host), m_row(row) {
    m_dragScroll = new QTimer(this);
    m_dragScroll->setInterval(DragScrollInterval);
    connect(m_dragScroll, &QTimer::timeout, this, [this] { DragScrollTick(); });
    m_escapeWatch = new TEscapeWatch(this, [this] {
        if (m_press)
            m_press->Cancelled = true;
        EndDrag();
    });
}

TStripDragController::~TStripDragController() {
    // The strip is going too: nothing of it may be touched, but the cursor and
    // the program's keys go back.
    if (m_drag)
        ReleaseDragHolds();
}

bool TStripDragController::MouseEvent(int frame, QEvent::Type type, const QMouseEvent& mouse,
                                      QPoint at) {
    switch (type) {
    case QEvent::MouseButtonPress:
        // The press only remembers where: a release without moving far is a
        // click, a move past the start distance a drag.
        if (mouse.button() == Qt::LeftButton && !m_drag &&
            m_host.Document().Animation().IsValidIndex(frame))
            m_press = TPress{frame, at};
        return true;
    case QEvent::MouseMove:
        if (!m_press || m_press->Cancelled || !(mouse.buttons() & Qt::LeftButton))
            return false;
        if (m_drag)
            DragTo(at.x());
        else if ((at - m_press->At).manhattanLength() >= QApplication::startDragDistance())
            BeginDrag(at.x());
        return true;
    case QEvent::MouseButtonRelease: {
        if (mouse.button() != Qt::LeftButton || !m_press)
            return false;
        const TPress press = *m_press;
        m_press.reset();
        if (m_drag) {
            DropFrames(press.Frame);
            return true;
        }
        return press.Cancelled;
    }
    default:
        return false;
    }
}

void TStripDragController::BeginDrag(int x) {
    const TDocument& document = m_host.Document();
    // The frames changed under the held button: the slot pressed may show
    // another frame by now.
    if (!document.Animation().IsValidIndex(m_press->Frame)) {
        m_press->Cancelled = true;
        return;
    }
    m_drag.emplace(m_row, document.Animation().FrameCount(), m_press->Frame, document.MultipleSel(),
                   document.SelFirst(), document.SelLast());
    QApplication::instance()->installEventFilter(m_escapeWatch);
    QApplication::setOverrideCursor(Qt::ClosedHandCursor);
    DragTo(x);
}

void TStripDragController::DragTo(int x) {
    m_pointerX = x;
    m_dropGap = m_drag->GapAt(x, m_strip.Position());
    m_strip.RepaintDropMarker();
    if (m_drag->ScrollStep(x, m_strip.Position(), m_strip.MaxPosition()) != 0) {
        if (!m_dragScroll->isActive())
            m_dragScroll->start();
    } else {
        m_dragScroll->stop();
    }
}

void TStripDragController::DragScrollTick() {
    const int step =
        m_drag ? m_drag->ScrollStep(m_pointerX, m_strip.Position(), m_strip.MaxPosition()) : 0;
    if (step == 0) {
        m_dragScroll->stop();
        return;
    }
    m_strip.SetPosition(m_strip.Position() + step);
    m_dropGap = m_drag->GapAt(m_pointerX, m_strip.Position());
    m_strip.RepaintDropMarker();
}

void TStripDragController::EndDrag() {
    if (!m_drag)
        return;
    m_drag.reset();
    m_dropGap = -1;
    m_dragScroll->stop();
    ReleaseDragHolds();
    m_strip.RepaintDropMarker();
}

void TStripDragController::ReleaseDragHolds() {
    QApplication::instance()->removeEventFilter(m_escapeWatch);
    QApplication::restoreOverrideCursor();
}

void TStripDragController::DropFrames(int pressed) {
    const TStripDrag drag = *m_drag;
    const int gap = m_dropGap;
    EndDrag();
    TDocument& document = m_host.Document();
    // Frames that came or went while the drag was under way (an import putting
    // its frames in) leave the gap counted in frames that are no longer there.
    if (drag.Moves(gap) && document.Animation().FrameCount() == drag.FrameCount()) {
        m_host.BeforeFramesChange();
        m_host.StoreCurrentFrame();
        // A range keeps its current frame; a frame dragged alone becomes current.
        const int current = document.CurFrame();
        const bool currentCarried =
            drag.CarriesRange() && current >= drag.First() && current <= drag.Last();
        const int shown = (currentCarried ? current : pressed) - drag.First();
        document.Push(new TMoveFramesCommand(document, drag.First(), drag.Last(),
                                             drag.Destination(gap), drag.CarriesRange(), shown));
    }
    m_strip.RefreshFrameStrip();
    m_host.ReleaseKeyboardFocus();
}

int TStripDragController::DropMarkerX() const {
    return m_drag ? m_drag->MarkerX(m_dropGap, m_strip.Position()) : -1;
}

void TStripDragController::PaintDropMarker(QWidget& strip) const {
    const int x = DropMarkerX();
    if (x < 0)
        return;
    QPainter painter(&strip);
    painter.fillRect(x - MarkerWidth / 2, m_row.Top - MarkerOverhang, MarkerWidth,
                     m_row.SlotHeight + 2 * MarkerOverhang, Qt::black);
}

} // namespace vistrel
