// Sheets of paper the job prints, counted operator by operator as the job
// decodes. Each BeginPage is one side of a sheet: a two-sided job marks the
// front of each sheet (DuplexPageSide) and writes its back with or without
// a mark; every other side is a sheet of its own. A sheet prints as often
// as its EndPage's PageCopies say (the PJL copies when it has none).
#pragma once
#include <cstddef>

#include "jobdecode.h"

namespace tamprint {

class SheetCounter {
public:
    // Takes each operator of the job in order.
    void Add(const tam::job::Operator& op);

    // The sheets of the whole job, once every operator is added; `job` gives
    // the PJL copies.
    size_t Sheets(const tam::job::DecodedJob& job) const;

private:
    bool backPending_ = false;  // the last side was the front of a two-sided sheet
    bool frontOpen_ = false;    // a side that starts a sheet is open
    size_t sheets_ = 0;
    size_t withoutCopies_ = 0;  // sheets whose EndPage gives no copies
};

}  // namespace tamprint
