#include "dataset/AliasList.h"

#include "dataset/Profile.h"
#include "engine/platform/ConfigDir.h"
#include "engine/platform/Locale.h"

TAliasList& TAliasList::Instance() {
    static TAliasList list;
    return list;
}

TAliasList::TAliasList() { Load(); }

void LoadAliasList() { TAliasList::Instance().Load(); }

int TAliasList::IndexOf(const std::string& name) const {
    const platform::Locale& loc = platform::CurrentLocale();
    const std::string wanted = loc.UpperCase(name);
    for (size_t i = 0; i < lines_.size(); ++i) {
        size_t eq = lines_[i].find('=');
        if (eq == std::string::npos) continue;
        if (loc.UpperCase(lines_[i].substr(0, eq)) == wanted) return static_cast<int>(i);
    }
    return -1;
}

void TAliasList::Load() {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    lines_.assign(1, kDefaultDirectoryName);
    std::string path = platform::ConfigDirectory();
    if (path.empty() || path.back() != '/') path += '/';
    path += kAliasFileName;
    const TProfileFile profile(path);
    for (const std::string& name : profile.EntryNames(kAliasSection)) {
        const std::string value = profile.ReadString(kAliasSection, name);
        const int at = IndexOf(name);
        if (value.empty()) {
            if (at > 0) lines_.erase(lines_.begin() + at);
        } else if (at > 0) {
            lines_[static_cast<size_t>(at)] = lines_[static_cast<size_t>(at)].substr(0, lines_[static_cast<size_t>(at)].find('=') + 1) + value;
        } else {
            lines_.push_back(name + "=" + value);
        }
    }
    const platform::Locale& loc = platform::CurrentLocale();
    for (size_t i = 1; i < lines_.size(); ++i) lines_[i] = loc.UpperCase(lines_[i]);
}

std::string TAliasList::Directory(const std::string& name) const {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    const int at = IndexOf(name);
    if (at < 0) return "";
    const std::string& line = lines_[static_cast<size_t>(at)];
    return line.substr(line.find('=') + 1);
}

void TAliasList::Append(const std::string& name, const std::string& directory) {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    lines_.push_back(name + "=" + directory);
}

std::vector<std::string> TAliasList::Lines() const {
    std::lock_guard<std::recursive_mutex> guard(mutex_);
    return lines_;
}
