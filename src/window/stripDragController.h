#pragma once

#include "stripDrag.h"

#include <QEvent>
#include <QObject>
#include <QPoint>
#include <optional>

class QMouseEvent;
class QTimer;
class QWidget;

namespace vistrel {

class IFrameStripHost;

// What a drag needs of the strip it runs on: the scroll position and its end,
// scrolling, refilling the slots after a drop and repainting the drop marker.
class IStripDragView {
public:
    virtual ~IStripDragView() = default;
    virtual int Position() const = 0;
    virtual int MaxPosition() const = 0;
    virtual void SetPosition(int value) = 0;
    virtual void RefreshFrameStrip() = 0;
    virtual void RepaintDropMarker() = 0;
};

// The mouse side of moving frames along the strip: a left-button press on a
// slot waits; moved past the start distance it becomes a drag that carries the
// frame, or the marked range it belongs to, shows a marker in the gap under
// the pointer and scrolls the strip while the pointer waits near an end. The
// release drops the frames there as one step of the history; Escape anywhere
// in the program ends the drag and makes the release no click.
class TStripDragController : public QObject {
public:
    // Every tick of this while a drag waits near an end scrolls by one frame.
    static constexpr int DragScrollInterval = 100;

    TStripDragController(IStripDragView& strip, IFrameStripHost& host, const TSlotRow& row,
                         QObject* parent);
    ~TStripDragController() override;

    // A mouse press, move or release on the slot showing frame; at in the
    // strip's pixels. True when the event belongs to the drag: every press, a
    // move with the button held, a release that drops or follows an Escape.
    // A release it leaves is the slot's click.
    bool MouseEvent(int frame, QEvent::Type type, const QMouseEvent& mouse, QPoint at);

    bool Dragging() const { return m_drag.has_value(); }
    // The middle of the drop marker in the strip's pixels; -1 when none shows.
    int DropMarkerX() const;
    void PaintDropMarker(QWidget& strip) const;

private:
    void BeginDrag(int x);
    void DragTo(int x);
    void DragScrollTick();
    // Ends a drag, dropping nothing.
    void EndDrag();
    // Gives back the cursor and the program's keys a drag took.
    void ReleaseDragHolds();
    // The frames the drag carries go to the gap under the pointer; pressed is
    // the frame whose slot was dragged.
    void DropFrames(int pressed);

    IStripDragView& m_strip;
    IFrameStripHost& m_host;
    TSlotRow m_row;

    // The left button held on a slot: the frame pressed and where, until release.
    struct TPress {
        int Frame = -1;
        QPoint At;
        bool Cancelled = false; // Escape ended its drag: the release is no click
    };
    std::optional<TPress> m_press;
    std::optional<TStripDrag> m_drag;
    int m_dropGap = -1;
    int m_pointerX = 0;
    QTimer* m_dragScroll = nullptr;
    // Watches the whole program's keys for Escape while a drag is under way.
    QObject* m_escapeWatch = nullptr;
};

} // namespace vistrel
