#pragma once

#include "playerPicture.h"
#include "playerTicks.h"

#include <QThread>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

class QWidget;

namespace vistrel {

class TAnimation;

// One playback run. The worker thread only keeps time: it sleeps a tick, then
// asks the GUI thread to move on one tick and draw, and waits until that has
// run. Every read of the animation and every bitmap operation is on the GUI
// thread.
//
// The worker's waits (the tick's sleep, a pause, the wait for a draw) are all
// waits on one condition that Stop also wakes. The draw is posted to the GUI
// thread as an ordinary queued call instead of a blocking one, so once Stop has
// returned the worker can no longer block on the GUI thread, and the GUI thread
// may wait for the worker to end (the destructor does) without deadlock.
//
// Created idle; Play starts the run; when the worker has ended, finished() is
// delivered to the owner, which deletes the object.
class TPlayerThread : public QThread {
    Q_OBJECT

public:
    enum TState : std::uint8_t { Stopped = 0, Playing = 1, Paused = 2 };
    using Clock = std::chrono::steady_clock;

    // target: the player box, repainted after every picture; tickMs: the length
    // of a tick, as the preferences give it.
    TPlayerThread(const TAnimation& animation, QWidget& target, int tickMs);
    // Stops the run and waits for the worker to end.
    ~TPlayerThread() override;

    int TickMs() const { return m_tickMs; }
    TState State() const;
    bool ShowBlur = true;

    // Starts the run over [first, last] with the given number of passes (255 or
    // more, or 0, never end by themselves).
    void Play(int first, int last, int passes);
    // Toggles between playing and paused; a paused worker makes no tick, sleep or
    // draw until it is resumed, then finishes the tick it was in.
    void Pause();
    // Ends the run without waiting: the worker ends at once, from whatever wait it
    // is in, and finished() follows.
    void Stop();

    // Moves while paused; each draws at once.
    void ShowFirst();
    void ShowLast();
    void StepBack();
    void StepForward();

    // Composes the picture of the current frame and repaints the target.
    void Draw();

    const TPlayerTicks& Ticks() const { return m_ticks; }
    const QImage& Composite() const { return m_picture.Composite(); }
    // True while the worker waits for the GUI thread to run a tick it posted.
    bool WaitingForGui() const;
    // While the worker rests at its pause: the rest of the tick it keeps for the
    // resume; otherwise nothing. For tests, which thus see a paused worker come
    // to rest (no step of its own can follow) instead of waiting out a quiet
    // spell, and learn what the resume still has to wait.
    std::optional<Clock::duration> PausedRest() const;

signals:
    // A picture was drawn, for the frame and tick shown.
    void Drawn(int frame, int tick);
    // The worker posted a step for the GUI thread (private).
    void StepPosted(QPrivateSignal);

protected:
    void run() override { Execute(); }

private:
    enum class TStep { DrawOnly, Advance };
    enum class TOutcome { Done, Skipped, Finished };

    void Execute();
    // Sleeps until the deadline; a pause freezes the time left. False when the
    // run was stopped.
    bool SleepUntil(Clock::time_point deadline);
    // Posts a step to the GUI thread and waits until it has run or the run is
    // stopped.
    TOutcome RunOnGui(TStep step);
    void RunPostedStep();
    void GuiStep(TStep step, std::uint64_t number);

    const TAnimation& m_animation;
    QWidget& m_target;
    const int m_tickMs;
    TPlayerTicks m_ticks;     // GUI thread only
    TPlayerPicture m_picture; // GUI thread only

    // Plain standard primitives, so that thread checkers see every hand-over.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    // Guarded by m_mutex.
    TState m_state = Stopped;
    bool m_terminated = false;
    std::uint64_t m_stepsPosted = 0;
    std::uint64_t m_stepsRun = 0;
    TStep m_postedStep = TStep::DrawOnly;
    TOutcome m_lastOutcome = TOutcome::Done;
    Clock::time_point m_lastStepEnd; // when the GUI thread finished the last step
    std::optional<Clock::duration> m_pausedRest;
};

} // namespace vistrel
