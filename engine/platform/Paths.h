#pragma once
// Path handling. The operating system always gets the real path, found
// case-insensitively when the name as written does not exist (tables copied from a
// case-insensitive system open unchanged). The full path in upper case is what messages
// show and what names are compared by; which file a path means is settled by
// FileIdentity.h.

#include <string>
#include <vector>

namespace platform {

// The full path of `path` against the current directory, with "." and ".." folded.
// Paths containing a backslash, or whose first ':' comes after their second character,
// are left as they are.
std::string ExpandPath(const std::string& path);

// Whether two names are the same but for case. A name that is valid UTF-8 is folded by
// Unicode (Latin, Greek and Cyrillic letters, the Kazakh ones included); any other name by
// the locale's 8-bit table. A UTF-8 name never matches one that is not.
bool NamesMatch(const std::string& a, const std::string& b);

// A path looked up on disk. Each component that does not exist as written is replaced
// by the one directory entry that matches it case-insensitively (NamesMatch); a
// component without any match, and everything after it, is kept as written. When a
// component matches several entries, none of them exactly, the lookup stops there:
// `candidates` holds the paths of all of them and `path` the path as written.
struct PathLookup {
    std::string path;
    std::vector<std::string> candidates;
    bool Ambiguous() const { return candidates.size() > 1; }
};
PathLookup LookUpPath(const std::string& path);
// What an error says about an ambiguous lookup of `path`: the name and its candidates.
std::string AmbiguityText(const std::string& path, const PathLookup& lookup);

// `path` (absolute or relative to the current directory) as it exists on disk:
// LookUpPath(path).path.
std::string ResolveCase(const std::string& path);

// Upper case in the locale's ANSI code page: the form of a path that messages show and
// names are compared by.
std::string IdentityKey(const std::string& path);

// Whether `path` (absolute or relative), looked up as LookUpPath does, is an existing
// file that is not a directory.
bool FileExists(const std::string& path);

// The parts of a path with '/' as separator.
std::string DirectoryPart(const std::string& path);   // with trailing '/', or ""
std::string FileNamePart(const std::string& path);    // after the last '/'
std::string ExtensionPart(const std::string& path);   // ".DBF" or "" (from the file name)
std::string BaseNamePart(const std::string& path);    // file name without extension
std::string ChangeExtension(const std::string& path, const std::string& ext);
// The companion file of `path` with extension `ext` (".DBT"), written in lower case
// when the extension of `path` is lower case ("Kaz1.dbf" -> "Kaz1.dbt").
std::string SiblingPath(const std::string& path, const std::string& ext);

}  // namespace platform
