#pragma once
// Path handling. A file's identity is its full path in upper case; the operating system
// always gets the real path, found case-insensitively when the name as written does not
// exist (tables copied from a case-insensitive system open unchanged).

#include <string>

namespace platform {

// The full path of `path` against the current directory, with "." and ".." folded.
// Paths containing a backslash, or whose first ':' comes after their second character,
// are left as they are.
std::string ExpandPath(const std::string& path);

// `path` (already expanded) as it exists on disk: each component that does not exist as
// written is replaced by the first directory entry that matches it case-insensitively.
// Components without any match are kept as written.
std::string ResolveCase(const std::string& path);

// Upper case in the locale's ANSI code page: the identity key of a path.
std::string IdentityKey(const std::string& path);

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
