#pragma once
// Reading an initialisation file in the private-profile format: "[Section]" lines open a
// section, "name=value" lines are its entries, lines starting with ';' are comments and
// blank lines are skipped. Section and entry names compare without regard to case;
// names and values lose their surrounding blanks, and a value enclosed in a pair of
// double or single quotes loses the quotes. When a section or an entry appears twice,
// the first one counts. The file is only read, never written.

#include <string>
#include <utility>
#include <vector>

class TProfileFile {
public:
    // Reads the file; a missing or unreadable file is an empty profile.
    explicit TProfileFile(const std::string& path);
    // Parses the text of a profile (for callers that already have it).
    static TProfileFile FromText(const std::string& text);

    // The entry names of a section in file order, each once; none for a missing section.
    std::vector<std::string> EntryNames(const std::string& section) const;
    // The value of an entry, or `fallback` when the section or the entry is missing.
    std::string ReadString(const std::string& section, const std::string& name,
                           const std::string& fallback = "") const;

private:
    TProfileFile() = default;
    void Parse(const std::string& text);
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    const Section* Find(const std::string& section) const;
    std::vector<Section> sections_;
};
