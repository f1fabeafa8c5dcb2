#pragma once
// The process-wide alias list. Line 0 is always "Default Directory"; every other line is
// NAME=DIRECTORY, both upper case. It is loaded once, before the first dataset needs it,
// from section "Alias" of "ridedez.cfg" in the configuration directory, and grows when a
// directory is used as a dataset's DatabaseName.

#include <mutex>
#include <string>
#include <vector>

inline constexpr const char* kDefaultDirectoryName = "Default Directory";
inline constexpr const char* kAliasFileName = "ridedez.cfg";
inline constexpr const char* kAliasSection = "Alias";

class TAliasList {
public:
    // The list, loaded on first use.
    static TAliasList& Instance();

    // (Re)loads the list from the configuration file; the program calls it at start-up
    // (tests call it again after pointing the configuration directory elsewhere).
    void Load();
    // The directory of the first line whose name equals `name` ignoring case, or "".
    std::string Directory(const std::string& name) const;
    // Appends NAME=DIRECTORY as it is given.
    void Append(const std::string& name, const std::string& directory);
    std::vector<std::string> Lines() const;

private:
    TAliasList();
    int IndexOf(const std::string& name) const;  // -1 when no line has that name
    mutable std::recursive_mutex mutex_;
    std::vector<std::string> lines_;
};

// Loads the alias list (the program's start-up step).
void LoadAliasList();
