#include "controls/hsbutton/fade.h"

namespace setup {

void FadeAnimator::SetMode(THSSlowDecease mode) {
    if (shut_down_) return;
    mode_ = mode;
    if (mode == THSSlowDecease::sdNone) {
        if (has_timer_) {
            step_ = 0;
            has_timer_ = false;
            running_ = false;
        }
    } else if (!has_timer_) {
        has_timer_ = true;
        running_ = false;
    }
}

FadeAnimator::Repaint FadeAnimator::Enter() {
    if (shut_down_) return Repaint::kNone;
    if (mode_ == THSSlowDecease::sdEnterLeave) {
        Start();  // the first tick paints step 1
        return Repaint::kNone;
    }
    step_ = kSteps;
    return Repaint::kNow;
}

FadeAnimator::Repaint FadeAnimator::Leave() {
    if (shut_down_) return Repaint::kNone;
    if (mode_ != THSSlowDecease::sdNone) {
        Start();
        return Repaint::kNone;
    }
    step_ = 0;
    return Repaint::kNow;
}

FadeAnimator::Repaint FadeAnimator::Tick(bool inside) {
    if (shut_down_ || !running_) return Repaint::kNone;
    step_ += inside ? 1 : -1;
    if (step_ <= 0 || step_ >= kSteps) {
        running_ = false;
        step_ = inside ? kSteps : 0;
    }
    return Repaint::kNow;
}

void FadeAnimator::Shutdown() {
    shut_down_ = true;
    has_timer_ = false;
    running_ = false;
}

}  // namespace setup
