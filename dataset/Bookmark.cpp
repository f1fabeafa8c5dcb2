#include "dataset/Bookmark.h"

#include <cstring>

void WriteBookmark(uint8_t* at, int32_t recNo) {
    // The number right-justified in ten characters, blanks before it, then a NUL.
    uint32_t v = recNo < 0 ? static_cast<uint32_t>(-static_cast<int64_t>(recNo)) : static_cast<uint32_t>(recNo);
    int i = 9;
    do {
        at[i--] = static_cast<uint8_t>('0' + v % 10);
        v /= 10;
    } while (v && i >= 0);
    if (recNo < 0 && i >= 0) at[i--] = '-';
    while (i >= 0) at[i--] = ' ';
    at[10] = 0;
}

std::string MakeBookmark(int32_t recNo) {
    uint8_t b[kBookmarkSize];
    WriteBookmark(b, recNo);
    return std::string(reinterpret_cast<const char*>(b), kBookmarkSize);
}

bool ParseBookmark(const std::string& bookmark, int32_t& recNo) {
    size_t end = bookmark.find('\0');
    std::string t = bookmark.substr(0, end);
    size_t i = t.find_first_not_of(' ');
    if (i == std::string::npos) return false;
    // A record number: digits, after blanks and at most a plus sign. A negative number
    // would be taken for a movement code.
    if (t[i] == '+') ++i;
    if (i >= t.size()) return false;
    int64_t v = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9') return false;
        v = v * 10 + (t[i] - '0');
        if (v > INT32_MAX) return false;
    }
    recNo = static_cast<int32_t>(v);
    return true;
}
