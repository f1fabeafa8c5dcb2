#pragma once
// A text file cut into lines: a UTF-8 byte-order mark at the start is dropped, and a
// line may end in LF or CR LF.

#include <string>
#include <string_view>
#include <vector>

namespace kazdata {

class SourceLines {
  public:
    static std::string_view WithoutBom(std::string_view content);
    static std::vector<std::string_view> Split(std::string_view content);
    // Without leading and trailing blanks and tabs.
    static std::string_view Trim(std::string_view text);
};

}  // namespace kazdata
