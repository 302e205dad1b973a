#pragma once
// CheckProgress: the run of the fault check's "开始" button as steps the window carries
// out one by one: the progress bar from 0 to 50, the check, the bar from 51 to 100, then
// the end (buttons back, details box cleared and enabled, summary view). The window may
// take the steps back to back or one per timer tick; the buttons' states follow the run.

namespace tarnix {

class CheckProgress {
  public:
    static constexpr int kRange = 100;
    static constexpr int kCheckAfter = 50;  // the check runs once the bar shows this

    enum class Step {
        Position,  // set the bar to position()
        Check,     // run the check
        Finish,    // the run is over: switch to the summary view (which checks again)
        Idle,      // no run under way
    };

    // Starts a run; ignored while one is under way.
    void start();
    // Abandons the run under way (the bar back to 0); a run that never finished leaves
    // the details box as it was.
    void stop();
    // The next step of the run, Idle when none is under way.
    Step next();

    bool running() const { return stage_ != Stage::Idle; }
    int position() const { return position_; }
    // "开始" while no run is under way, "停止" while one is, "详细诊断信息" once a run has
    // ended.
    bool startEnabled() const { return !running(); }
    bool stopEnabled() const { return running(); }
    bool detailsEnabled() const { return finishedOnce_ && !running(); }

  private:
    enum class Stage { Idle, Before, After };
    Stage stage_ = Stage::Idle;
    int position_ = 0;      // shown on the bar
    int nextPosition_ = 0;  // the next to show
    bool finishedOnce_ = false;
};

}  // namespace tarnix
