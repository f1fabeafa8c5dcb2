#pragma once
// The system-wide configuration directory the alias file is read from ("/etc" unless a
// test or the program points it elsewhere).

#include <string>

namespace platform {

std::string ConfigDirectory();
void SetConfigDirectory(const std::string& dir);

}  // namespace platform
