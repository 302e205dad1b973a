#pragma once
// FaultCheckForm: the fault-check window without the window. It carries a run of "开始"
// (the bar to half, the machine read and judged, the bar to the end, the summary view),
// the check run again when the details box is cleared, "停止", and what the buttons and
// the two views show meanwhile.
//
// The machine is read elsewhere (the window: on a worker thread) and handed back with the
// number of the reading asked for; a reading that comes back after "停止", or after a
// newer one was asked for, is dropped. One run checks the machine once: the summary view
// at its end shows that check's verdict.
//
// Threads: the window's thread only.

#include "diagnostics/CheckProgress.h"
#include "diagnostics/FaultCheck.h"
#include "diagnostics/InventorySnapshot.h"

namespace tarnix {

class FaultCheckForm {
  public:
    // Bar positions moved by one tick of the window's timer.
    static constexpr int kPositionsPerTick = 5;

    enum class Next {
        Idle,      // no run: the timer may stop
        Moved,     // the bar moved (or waits for the reading)
        Read,      // read the machine now, as reading number readingNumber()
        Finished,  // the run is over: the summary view with the verdict, the timer stops
    };

    FaultCheckForm() = default;
    FaultCheckForm(const FaultCheckForm&) = delete;
    FaultCheckForm& operator=(const FaultCheckForm&) = delete;

    // "开始": false (nothing starts) while a check is under way.
    bool start();
    // One tick of the run.
    Next tick();
    // The details box cleared: the summary view, and the check again without the bar.
    // False while a check is under way; true: read the machine as readingNumber().
    bool refresh();
    // The details box set: the details view (only when the box may be used).
    void showDetails();
    // "停止", or the window closing: the reading under way is dropped, the bar is cleared,
    // and what the last finished check found stays.
    void stop();
    // The reading number `number` has come: judged when it is still awaited (its messages
    // over `owner`). True when judged.
    bool arrive(unsigned number, InventorySnapshot snapshot, void* owner);

    unsigned readingNumber() const { return reading_; }
    bool busy() const { return progress_.running() || refreshing_; }
    bool startEnabled() const { return !busy(); }
    bool stopEnabled() const { return busy(); }
    bool detailsEnabled() const { return progress_.detailsEnabled() && !busy(); }
    bool detailsView() const { return details_; }
    int position() const { return progress_.position(); }
    const FaultCheck& check() const { return check_; }

  private:
    CheckProgress progress_;
    InventorySnapshot snapshot_;
    FaultCheck check_{snapshot_};
    unsigned reading_ = 0;
    bool awaiting_ = false;    // the run waits for its reading before going on
    bool refreshing_ = false;  // a check without the bar waits for its reading
    bool details_ = false;
};

}  // namespace tarnix
