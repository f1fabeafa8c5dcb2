#pragma once
// The orders of the results log: one CDX file named after the log (INFO.CDX, beside
// it) with a tag per order. It is built when it is missing, cannot be read, does not
// hold one key per record, or the index checker finds it damaged when it is opened; once open in the log's dataset the table keeps it up to date
// on every append and rebuilds it after each pack.

#include <string>

class TRidedezDataSet;

enum class TResultsOrder { roDate, roName, roVariant };
inline constexpr int kResultsOrders = 3;

// The tag of an order, and its key: the date, the name then the date, the variant's
// number then the date.
const char* ResultsOrderTag(TResultsOrder order);
const char* ResultsOrderKey(TResultsOrder order);

// The full name of the log's order file.
std::string ResultsIndexPath(TRidedezDataSet& info);

// Whether the order file open in `info` has every tag with its key and one key per
// record in each; false when it is not open or cannot be read.
bool ResultsIndexSound(TRidedezDataSet& info);

// Opens the order file in the open dataset `info`, building it first when it is missing
// or not sound. Errors of the building propagate (a directory that cannot be written).
void EnsureResultsIndex(TRidedezDataSet& info);

// Opens the order file of an open log when it exists and is sound (the index checker
// passing every tag against the log), so that the table keeps
// it up to date; otherwise leaves it for EnsureResultsIndex to build. Answers whether
// it is open.
bool OpenResultsIndexIfSound(TRidedezDataSet& info);

// Shows the log in `order` (the order file made sound first).
void SetResultsOrder(TRidedezDataSet& info, TResultsOrder order);
