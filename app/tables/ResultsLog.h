#pragma once
// The results log INFO.DBF (NAME, VARIANT, COUNT, TRUECOUNT, DATE; oldest first):
// recording one scored test after removing the results more than 31 days old.

#include <string>

class TRidedezDataSet;

// Purges the log (records whose DATE lies more than 31 days before now; then a pack,
// whenever the log held a record) and appends the result dated now. Errors propagate.
void RecordResult(TRidedezDataSet& info, const std::string& name, const std::string& variant, int questionCount,
                  int rightCount);

// Adds the persistent fields the program binds in INFO.DBF to a closed dataset.
void AddResultFields(TRidedezDataSet& info);
