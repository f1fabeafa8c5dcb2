#pragma once
// Putting a finished file in place of another in one step.

#include <string>

namespace platform {

// Renames `from` to `to`, replacing `to` when it exists: a reader sees the old file or
// the new one, never a mixture. 0 or a system code.
int ReplaceFile(const std::string& from, const std::string& to);

// A name beside `path`, in its directory, for a file being written before it is renamed
// to `path`; no other process picks the same one.
std::string TemporarySibling(const std::string& path);

}  // namespace platform
