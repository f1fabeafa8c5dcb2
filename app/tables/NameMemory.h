#pragma once
// The memory of the candidates' names in NAME.DBF (field "Name", oldest first): the list
// offered when the name box is entered, and storing a new name when it is left.

#include <string>
#include <vector>

class TRidedezDataSet;

// The stored names, in table order. Past eight names the oldest is deleted first and the
// table packed: one name per call, so an overfull table shrinks step by step.
std::vector<std::string> TakeNameList(TRidedezDataSet& names);

// Appends `name` (display bytes, untrimmed) unless a record holds exactly that name.
// A name is compared as it reads back from the file, so letters the file's code page
// lacks do not make it new each time.
void StoreName(TRidedezDataSet& names, const std::string& name);

// Whether a text is empty once blanks and control characters are cut from both ends.
bool IsBlankText(const std::string& text);
