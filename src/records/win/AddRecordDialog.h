#pragma once
// "添加上网记录": a session typed by hand, with its address in an IP control and its start
// and end in date and time pickers that open at the current time.

#include "base/Clock.h"
#include "records/RecordEditor.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class AddRecordDialog : public Dialog {
  public:
    explicit AddRecordDialog(Clock& clock = systemClock());

    // The session typed, read at "确定".
    const ManualSession& session() const { return session_; }

  protected:
    BOOL onInitDialog() override;
    void onOK() override;

  private:
    LocalTime pickedTime(int dateId, int timeId) const;

    Clock& clock_;
    ManualSession session_;
};

}  // namespace tarnix
