#pragma once
// The results log as a CSV file for spreadsheets: UTF-8, a header row with the field
// names, one line per result in table order, lines ended by CR LF. Names are decoded with
// the program's Kazakh letters; dates are written yyyy-mm-dd.

#include <string>

class TRidedezDataSet;

// The CSV text of an open results log (read with text translation, as the program reads
// it). The dataset's current record does not move.
std::string ResultsCsv(TRidedezDataSet& info);

// One CSV field: quoted when it holds a separator, a quote, a line break or blanks at
// either end; a text a spreadsheet would take for a formula gets a leading apostrophe.
std::string CsvField(const std::string& utf8);
