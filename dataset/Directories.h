#pragma once
// How a dataset's DatabaseName becomes the directory in front of its file names.

#include <functional>
#include <string>

// The directory of the program's executable file, with a trailing '/'.
std::string ExecutableDirectory();
// Replaces the function that answers ExecutableDirectory (null: the running program's).
void SetExecutableDirectoryFunction(std::function<std::string()> fn);

// The stored form of a new DatabaseName: "Default Directory" (any case) as given;
// anything else upper-cased without one trailing '/', and made an alias of itself when
// the alias list has no directory for it.
std::string NormaliseDatabaseName(const std::string& value);
// The directory for a DatabaseName: empty, or ending in '/'.
std::string TableDirectory(const std::string& databaseName);
