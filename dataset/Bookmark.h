#pragma once
// The table dataset's bookmarks: the record number in decimal, right-aligned in ten
// characters, followed by a zero byte (11 bytes), so that they compare byte-wise in
// record-number order.

#include <cstdint>
#include <string>

inline constexpr size_t kBookmarkSize = 11;

std::string MakeBookmark(int32_t recNo);
void WriteBookmark(uint8_t* at, int32_t recNo);
// The record number of a bookmark (leading blanks allowed); false when it is not one.
bool ParseBookmark(const std::string& bookmark, int32_t& recNo);
