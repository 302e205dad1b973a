#include "diagnostics/FaultCheckForm.h"

#include <utility>

namespace tarnix {

bool FaultCheckForm::start() {
    if (busy()) return false;
    progress_.start();
    details_ = false;
    return true;
}

FaultCheckForm::Next FaultCheckForm::tick() {
    if (!progress_.running()) return Next::Idle;
    if (awaiting_) return Next::Moved;
    for (int moved = 0; moved < kPositionsPerTick; ++moved) {
        switch (progress_.next()) {
            case CheckProgress::Step::Position:
                break;
            case CheckProgress::Step::Check:
                awaiting_ = true;
                ++reading_;
                return Next::Read;
            case CheckProgress::Step::Finish:
                details_ = false;
                return Next::Finished;
            case CheckProgress::Step::Idle:
                return Next::Idle;
        }
    }
    return Next::Moved;
}

bool FaultCheckForm::refresh() {
    details_ = false;
    if (busy()) return false;
    refreshing_ = true;
    ++reading_;
    return true;
}

void FaultCheckForm::showDetails() {
    if (detailsEnabled()) details_ = true;
}

void FaultCheckForm::stop() {
    progress_.stop();
    awaiting_ = refreshing_ = false;
    ++reading_;  // whatever is still being read is not awaited any more
}

bool FaultCheckForm::arrive(unsigned number, InventorySnapshot snapshot, void* owner) {
    if (number != reading_ || !(awaiting_ || refreshing_)) return false;
    snapshot_ = std::move(snapshot);
    // Still awaited while the check's messages are shown: the run goes on after them.
    check_.run(owner);
    awaiting_ = refreshing_ = false;
    return true;
}

}  // namespace tarnix
