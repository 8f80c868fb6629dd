#pragma once

#include "stripControls.h"
#include "stripDragController.h"

#include <QEvent>
#include <QPoint>
#include <QWidget>
#include <array>

class QFrame;
class QLabel;
class QMouseEvent;
class QScrollBar;
class QToolButton;

namespace vistrel {

class IFrameStripHost;
class TPaintBox;

// The strip of five frame slots over a scroll bar at the bottom of the main
// window (pnlFrames). It shows the frames from the scroll position on, lets the
// user pick the current frame, mark a range with Shift, edit durations and open
// a frame's popup menu, and moves the current frame for the navigation keys.
// A slot dragged past the start distance carries its frame, or the marked range
// it belongs to, to the gap it is dropped in (TStripDragController). Everything
// it needs of the document goes through IFrameStripHost.
class TFrameStrip : public QWidget, private IStripDragView {
    Q_OBJECT

public:
    static constexpr int SlotCount = 5;

    TFrameStrip(IFrameStripHost& host, QWidget* parent = nullptr);

    // Refills the five slots from the scroll position: captions, durations,
    // colours and thumbnails; slots past the last frame are hidden.
    void RefreshFrameStrip() override;
    // Fits the scroll bar to the frame count, then refreshes the time panels.
    void UpdateStripScrollBar();
    // Scrolls right when the current frame stands in the last slot or beyond it,
    // so that it ends up in the fourth slot with the next frame beside it (or in
    // the last slot at the end of the animation). A current frame left of the
    // slots does not scroll the strip.
    void ScrollToCurrent();
    // Repaints the thumbnail of the current frame when it is in view.
    void RepaintCurrentThumbnail();

    int Position() const override;
    // Moves the scroll bar; a change of position refreshes the strip and gives
    // the keyboard back to the window.
    void SetPosition(int value) override;
    // The frame index slot (0..4) shows at the current scroll position.
    int SlotIndex(int slot) const;

    // A mouse button released on a slot's panel, view, thumbnail or label.
    void pnlFrame0ViewMouseUp(int slot, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // The popup button of a slot: opens the frame menu at the button's top right corner.
    void spdbtnFrame0Click(int slot);
    // Navigation keys of the Frame page; true when key is one of them.
    bool HandleNavigationKey(int key, Qt::KeyboardModifiers modifiers);
    void SetPopupButtonsEnabled(bool enabled);

    // The row of slots as laid out, for the drag's sums.
    static TSlotRow SlotRow();
    bool Dragging() const { return m_drag->Dragging(); }
    // The middle of the drop marker in the strip's pixels; -1 when none shows.
    int DropMarkerX() const { return m_drag->DropMarkerX(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct TSlot {
        QFrame* Panel = nullptr;
        QFrame* View = nullptr;
        TPaintBox* Thumbnail = nullptr;
        QLabel* Number = nullptr;
        TDurationEdit* Edit = nullptr;
        TUpDown* UpDown = nullptr;
        QToolButton* PopupButton = nullptr;
    };

    void BuildSlot(int slot);
    // Panel colour as a 0x00BBGGRR value; the caption turns white on the dark ones.
    void ColourSlot(int slot, unsigned panelColour);
    void PaintThumbnail(int slot, QPainter& painter);
    int MaxPosition() const override;
    void RepaintDropMarker() override { update(); }
    void scrlbrFramesChange();
    void edtFrame0Change(int slot);
    void updnFrame3Click(int slot);
    void ClearRangeMarks();
    void EndRangeSelection();
    // The slot showing the current frame, or -1 when it is out of view.
    int CurrentSlot() const;
    int SlotOf(const QObject* widget) const;

    // The mouse on a slot's panel, view, thumbnail or label; at in the strip's pixels.
    bool SlotMouseEvent(int slot, QEvent::Type type, const QMouseEvent& mouse, QPoint at);

    IFrameStripHost& m_host;
    std::array<TSlot, SlotCount> m_slots{};
    QScrollBar* m_scrollBar = nullptr;
    bool m_showingDurations = false; // RefreshFrameStrip writing the edits
    // Counts up each time a duration box gives up the keyboard: the keys typed
    // in one spell make one step of the history.
    int m_typing = 0;

    TStripDragController* m_drag = nullptr;
};

} // namespace vistrel
