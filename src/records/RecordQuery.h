#pragma once
// The record query: reads the record files the filters choose and lists their finished
// sessions (a record whose end time is empty is a session still open, and never listed),
// with row numbers running on across files and the totals of the listed sessions.

#include "records/RecordFilter.h"
#include "records/RecordFolder.h"
#include "records/RecordTable.h"

namespace tarnix {

class RecordQuery {
  public:
    explicit RecordQuery(const RecordFolder& folder);

    RecordTable run(const RecordFilter& filter) const;
    // Every finished session of every record file, whatever the filters show.
    RecordTable fullRefresh() const { return run(RecordFilter{}); }

  private:
    const RecordFolder& folder_;
};

}  // namespace tarnix
