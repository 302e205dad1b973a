#include "diagnostics/CheckProgress.h"

namespace tarnix {

void CheckProgress::start() {
    if (running()) return;
    stage_ = Stage::Before;
    nextPosition_ = 0;
}

void CheckProgress::stop() {
    stage_ = Stage::Idle;
    position_ = nextPosition_ = 0;
}

CheckProgress::Step CheckProgress::next() {
    switch (stage_) {
        case Stage::Idle:
            return Step::Idle;
        case Stage::Before:
            if (nextPosition_ <= kCheckAfter) {
                position_ = nextPosition_++;
                return Step::Position;
            }
            stage_ = Stage::After;
            return Step::Check;
        case Stage::After:
            if (nextPosition_ <= kRange) {
                position_ = nextPosition_++;
                return Step::Position;
            }
            stage_ = Stage::Idle;
            finishedOnce_ = true;
            return Step::Finish;
    }
    return Step::Idle;
}

}  // namespace tarnix
