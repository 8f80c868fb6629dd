#pragma once

namespace vistrel {

class TAnimation;

// Where playback stands and how it moves on: the frame on show, the ticks spent
// in it and the passes through the range. The player's worker only keeps time;
// every move happens here, on the GUI thread, so the animation is never read
// from two threads and tests can drive playback tick by tick.
//
// The range asked for is kept as given. Frames may be deleted or inserted while
// a run goes on, so every operation first bounds the range and the current frame
// to the frames the animation has at that moment.
class TPlayerTicks {
public:
    // A pass count from here on never ends a run by itself.
    static constexpr int EndlessRepeats = 255;

    explicit TPlayerTicks(const TAnimation& animation) : m_animation(animation) {}

    // Starts a run over [first, last] with the given number of passes.
    void Start(int first, int last, int repeats);

    // One tick has passed. Returns true when the run is over: the last pass has
    // shown its last frame for the frame's whole duration, or there are no
    // frames left to show. A finished run stays finished.
    bool Advance();

    // Moves made while paused, one tick at a time.
    void ShowFirst();
    void ShowLast();
    void StepBack();
    void StepForward();

    // The frame to draw, inside the animation's frames; -1 when it has none.
    int ShownFrame();

    int FirstFrame() const { return m_firstFrame; }
    int LastFrame() const { return m_lastFrame; }
    int CurrentFrame() const { return m_currentFrame; }
    int Tick() const { return m_tick; }
    int Repeats() const { return m_repeats; }
    int PassesDone() const { return m_passesDone; }
    bool Finished() const { return m_finished; }

private:
    // The range and the current frame brought inside the frames the animation
    // holds now; false when it holds none.
    bool Bound(int& first, int& last);
    int Duration(int frame) const;
    // The index of a frame's last tick; a frame of duration 0 still shows once.
    int LastTickOf(int frame) const;

    const TAnimation& m_animation;
    int m_firstFrame = 0;
    int m_lastFrame = -1;
    int m_currentFrame = 0;
    int m_tick = 0;
    int m_repeats = 1;
    int m_passesDone = 0;
    bool m_finished = false;
};

} // namespace vistrel
