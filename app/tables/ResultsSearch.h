#pragma once
// The search of the results window: the log narrowed to the records whose NAME holds
// the text typed, in any case and anywhere in the name.

#include <string>

class TRidedezDataSet;

// Narrows the open log `info` to the names holding `text` (display bytes, as typed);
// blank text shows every record again. The cursor goes to the first record shown.
void SetResultsSearch(TRidedezDataSet& info, const std::string& text);

// Whether `name` (as the log gives it back) holds `text` in the sense of the search.
bool NameMatches(const std::string& name, const std::string& text);
