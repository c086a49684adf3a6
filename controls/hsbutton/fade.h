// fade.h: the hover fade of the hot-track button as a state machine over the fade step
// (0 shows Color, 8 shows HotTrackColor), driven by a 30 ms tick.
//
// FadeAnimator owns the notion of the fade timer (THSButtonTimer): whether one exists and
// whether it runs. The window layer mirrors `running()` onto a real timer after each call
// and feeds its ticks to Tick(); a tick that arrives while the timer is stopped (a message
// still queued when it was stopped) is ignored.
#pragma once

#include <cstdint>

namespace setup {

enum class THSSlowDecease : uint8_t { sdNone, sdEnterLeave, sdLeave };

class FadeAnimator {
public:
    static constexpr int kTickMs = 30;
    static constexpr int kSteps = 8;

    // What the button must do after an event.
    enum class Repaint : uint8_t { kNone, kNow };

    THSSlowDecease mode() const { return mode_; }
    int step() const { return step_; }
    bool has_timer() const { return has_timer_; }
    bool running() const { return running_; }

    // sdEnterLeave and sdLeave make a timer if there is none; sdNone drops the timer and
    // returns the step to 0, wherever the fade was.
    void SetMode(THSSlowDecease mode);
    // The mouse entered (an enabled, visible button) or left.
    Repaint Enter();
    Repaint Leave();
    // One timer tick; `inside` is the mouse-inside flag.
    Repaint Tick(bool inside);
    // The button is going away: no timer, no more steps.
    void Shutdown();

private:
    THSSlowDecease mode_ = THSSlowDecease::sdNone;
    int step_ = 0;
    bool has_timer_ = true;  // the button makes its timer at construction, stopped
    bool running_ = false;
    bool shut_down_ = false;

    void Start() {
        if (has_timer_ && !running_) running_ = true;
    }
};

}  // namespace setup
