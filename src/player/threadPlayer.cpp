#include "threadPlayer.h"

#include "unitAnimation.h"

#include <QWidget>

namespace vistrel {

TPlayerThread::TPlayerThread(const TAnimation& animation, QWidget& target, int tickMs)
    : m_animation(animation), m_target(target), m_tickMs(tickMs), m_ticks(animation) {
    // This object lives in the GUI thread: the posted steps run there.
    connect(this, &TPlayerThread::StepPosted, this, &TPlayerThread::RunPostedStep,
            Qt::QueuedConnection);
}

TPlayerThread::~TPlayerThread() {
    // Safe to wait here: after Stop the worker no longer waits for this thread.
    Stop();
    wait();
    // The worker's last write was under the lock; taking it once more orders
    // that write before the members go, also for thread checkers that cannot
    // see into QThread::wait.
    const std::lock_guard lock(m_mutex);
}

TPlayerThread::TState TPlayerThread::State() const {
    const std::lock_guard lock(m_mutex);
    return m_state;
}

std::optional<TPlayerThread::Clock::duration> TPlayerThread::PausedRest() const {
    const std::lock_guard lock(m_mutex);
    return m_pausedRest;
}

bool TPlayerThread::WaitingForGui() const {
    const std::lock_guard lock(m_mutex);
    return !m_terminated && m_stepsRun < m_stepsPosted;
}

void TPlayerThread::Play(int first, int last, int passes) {
    {
        const std::lock_guard lock(m_mutex);
        // One run per player: a stopped or started player is not started again.
        if (m_terminated || m_stepsPosted > 0 || isRunning())
            return;
        m_state = Playing;
    }
    m_picture.ClearComposite();
    m_ticks.Start(first, last, passes);
    start();
}

void TPlayerThread::Pause() {
    const std::lock_guard lock(m_mutex);
    if (m_state == Paused)
        m_state = Playing;
    else if (m_state == Playing)
        m_state = Paused;
    else
        return;
    // Woken both ways: a worker asleep in a tick must see the pause now, while the
    // rest of the tick can still be measured and kept.
    m_wake.notify_all();
}

void TPlayerThread::Stop() {
    const std::lock_guard lock(m_mutex);
    m_state = Stopped;
    m_terminated = true;
    m_wake.notify_all();
}

void TPlayerThread::ShowFirst() {
    m_ticks.ShowFirst();
    Draw();
}

void TPlayerThread::ShowLast() {
    m_ticks.ShowLast();
    Draw();
}

void TPlayerThread::StepBack() {
    m_ticks.StepBack();
    Draw();
}

void TPlayerThread::StepForward() {
    m_ticks.StepForward();
    Draw();
}

void TPlayerThread::Draw() {
    m_picture.Compose(m_animation, m_ticks.ShownFrame(), ShowBlur);
    m_target.repaint();
    emit Drawn(m_ticks.CurrentFrame(), m_ticks.Tick());
}

void TPlayerThread::Execute() {
    // The first picture is drawn at once; after that every step sleeps a tick
    // after the previous draw has returned, so the draw's time adds to the tick
    // and lost time is never caught up.
    TStep step = TStep::DrawOnly;
    Clock::time_point deadline = Clock::now();
    while (SleepUntil(deadline)) {
        const TOutcome outcome = RunOnGui(step);
        if (outcome == TOutcome::Finished)
            break;
        if (outcome == TOutcome::Skipped) {
            // Paused before the GUI thread got to the step: it is due at once
            // when playback resumes.
            deadline = Clock::now();
            continue;
        }
        step = TStep::Advance;
        // The tick counts from the end of the draw, not from when this thread
        // woke up to notice it.
        const std::lock_guard lock(m_mutex);
        deadline = m_lastStepEnd + std::chrono::milliseconds(m_tickMs);
    }
    const std::lock_guard lock(m_mutex);
    m_state = Stopped;
}

bool TPlayerThread::SleepUntil(Clock::time_point deadline) {
    std::unique_lock lock(m_mutex);
    while (!m_terminated) {
        if (m_state == Paused) {
            // The rest of the tick waits with the worker.
            const Clock::duration left = std::max(deadline - Clock::now(), Clock::duration::zero());
            m_pausedRest = left;
            m_wake.wait(lock, [this] { return m_state != Paused || m_terminated; });
            m_pausedRest.reset();
            deadline = Clock::now() + left;
            continue;
        }
        if (Clock::now() >= deadline)
            return true;
        m_wake.wait_until(lock, deadline);
    }
    return false;
}

TPlayerThread::TOutcome TPlayerThread::RunOnGui(TStep step) {
    std::uint64_t number = 0;
    {
        const std::lock_guard lock(m_mutex);
        if (m_terminated)
            return TOutcome::Skipped;
        number = ++m_stepsPosted;
        m_postedStep = step;
    }
    // Queued, not blocking: the wait below is on our own condition, which Stop
    // wakes, so a stopped worker never waits for the GUI thread. A step still
    // queued when this object is deleted is dropped with it. The signal carries
    // nothing: the step itself is handed over under our own lock, where thread
    // checkers see it.
    emit StepPosted(QPrivateSignal());
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this, number] { return m_stepsRun >= number || m_terminated; });
    return m_stepsRun < number ? TOutcome::Skipped : m_lastOutcome;
}

void TPlayerThread::RunPostedStep() {
    TStep step = TStep::DrawOnly;
    std::uint64_t number = 0;
    {
        const std::lock_guard lock(m_mutex);
        if (m_stepsRun >= m_stepsPosted)
            return;
        step = m_postedStep;
        number = m_stepsPosted;
    }
    GuiStep(step, number);
}

void TPlayerThread::GuiStep(TStep step, std::uint64_t number) {
    // A pause or stop that came in before this step makes no tick and no draw.
    TOutcome outcome = TOutcome::Skipped;
    if (State() == Playing) {
        if (step == TStep::Advance && m_ticks.Advance()) {
            outcome = TOutcome::Finished;
        } else {
            Draw();
            outcome = TOutcome::Done;
        }
    }
    const Clock::time_point end = Clock::now();
    const std::lock_guard lock(m_mutex);
    m_stepsRun = number;
    m_lastOutcome = outcome;
    m_lastStepEnd = end;
    m_wake.notify_all();
}

} // namespace vistrel
