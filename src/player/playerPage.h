#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>

class QAction;
class QActionGroup;
class QMenu;
class QPainter;
class QToolBar;
class QToolButton;

namespace vistrel {

class IPlayerHost;
class TPaintBox;
class TPlayerThread;

// The Player page's panel (pnlPlayer): the white player box centred in grey
// above the control bar with the toolbar. It owns the live player, if any, for
// one run at a time: Play and Play Selection create it, its end deletes it.
// Everything it needs of the document goes through IPlayerHost.
class TPlayerPage : public QWidget {
    Q_OBJECT

public:
    static constexpr int ControlWidth = 233;
    static constexpr int ControlHeight = 32;

    // Applies the stored PlayerZoom when it is 1, 2, 4 or 8.
    explicit TPlayerPage(IPlayerHost& host, QWidget* parent = nullptr);
    // Stops a live player and waits for its worker to end.
    ~TPlayerPage() override;

    // The live player, or none between runs.
    TPlayerThread* PlayerThread() const { return m_player.get(); }

    // Toolbar handlers.
    void tlbtnPlayClick();
    void tlbtnPlaySelectionClick();
    void tlbtnPauseClick();
    void tlbtnStopClick();
    void tlbtnFirstClick();
    void tlbtnPrevClick();
    void tlbtnNextClick();
    void tlbtnLastClick();
    // Shared by the four zoom items.
    void mnuitmZoom800Click(QAction* item);

    // The window's calls: before the document changes, when the page is left and
    // when the window closes (returns at once; the run ends on its own), when
    // the current frame changes, and when the range selection comes or goes.
    void StopPlayer();
    // Stops a live player and waits for its worker to end, without the idle
    // refresh: for the window's destruction, before the document goes away.
    void EndPlayer();
    // Stops a live player, waits for its worker to end and shows the idle page:
    // before a command changes the frames the run is showing.
    void HaltPlayer();
    void CurrentFrameChanged();
    void MultipleSelChanged(bool value);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildToolBar();
    void BuildZoomMenu();
    QToolButton* AddButton(const char* name, const QString& hint, int picture,
                           void (TPlayerPage::*handler)());
    void StartPlayer(int first, int last, int passes);
    void PlayerDone(std::uint64_t run);
    void SetButtons(bool idle, bool paused);
    void pntbxPlayerPaint(QPainter& painter);
    void pnlPlayerResize();

    IPlayerHost& m_host;
    std::unique_ptr<TPlayerThread> m_player;
    std::uint64_t m_run = 0; // number of the latest run started

    QWidget* m_window = nullptr; // pnlPlayerWindow
    TPaintBox* m_box = nullptr;  // pntbxPlayer
    QWidget* m_control = nullptr;
    QToolBar* m_toolBar = nullptr;
    QToolButton* m_play = nullptr;
    QToolButton* m_playSelection = nullptr;
    QToolButton* m_pause = nullptr;
    QToolButton* m_stop = nullptr;
    QToolButton* m_first = nullptr;
    QToolButton* m_prev = nullptr;
    QToolButton* m_next = nullptr;
    QToolButton* m_last = nullptr;
    QToolButton* m_zoom = nullptr;
    QMenu* m_zoomMenu = nullptr;
    QActionGroup* m_zoomItems = nullptr;
};

} // namespace vistrel
