#include "dataset/Profile.h"

#include <sstream>

#include "engine/platform/FileSystem.h"
#include "engine/platform/Locale.h"

namespace {

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    const platform::Locale& loc = platform::CurrentLocale();
    return loc.UpperCase(a) == loc.UpperCase(b);
}

std::string Unquote(const std::string& v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

}  // namespace

TProfileFile::TProfileFile(const std::string& path) {
    std::string text;
    if (platform::ReadWholeFile(path, text) != 0) return;
    Parse(text);
}

TProfileFile TProfileFile::FromText(const std::string& text) {
    TProfileFile p;
    p.Parse(text);
    return p;
}

void TProfileFile::Parse(const std::string& text) {
    // Editors that save UTF-8 may put a byte-order mark in front of the first section.
    static constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
    const bool marked = text.compare(0, 3, kByteOrderMark) == 0;
    std::istringstream lines(marked ? text.substr(3) : text);
    std::string raw;
    Section* current = nullptr;
    while (std::getline(lines, raw)) {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            std::string name = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            current = nullptr;
            if (!Find(name)) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            }
            continue;
        }
        if (!current) continue;  // entries before any section, or of a repeated section
        size_t eq = line.find('=');
        std::string name = Trim(line.substr(0, eq));
        std::string value = eq == std::string::npos ? "" : Unquote(Trim(line.substr(eq + 1)));
        if (name.empty()) continue;
        bool seen = false;
        for (const auto& e : current->entries) seen = seen || SameName(e.first, name);
        if (!seen) current->entries.emplace_back(name, value);
    }
}

const TProfileFile::Section* TProfileFile::Find(const std::string& section) const {
    for (const Section& s : sections_) {
        if (SameName(s.name, section)) return &s;
    }
    return nullptr;
}

std::vector<std::string> TProfileFile::EntryNames(const std::string& section) const {
    std::vector<std::string> names;
    if (const Section* s = Find(section)) {
        for (const auto& e : s->entries) names.push_back(e.first);
    }
    return names;
}

std::string TProfileFile::ReadString(const std::string& section, const std::string& name,
                                     const std::string& fallback) const {
    if (const Section* s = Find(section)) {
        for (const auto& e : s->entries) {
            if (SameName(e.first, name)) return e.second;
        }
    }
    return fallback;
}
