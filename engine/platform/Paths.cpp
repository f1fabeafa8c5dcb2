#include "engine/platform/Paths.h"

#include <unistd.h>

#include <algorithm>
#include <vector>

#include "engine/platform/FileSystem.h"
#include "engine/platform/Locale.h"
#include "engine/text/CaseFold.h"

namespace platform {

namespace {

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : path) {
        if (c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

std::string CurrentDirectory() {
    std::string buf(4096, '\0');
    while (!getcwd(buf.data(), buf.size())) {
        if (buf.size() > (1u << 20)) return "/";
        buf.resize(buf.size() * 2);
    }
    buf.resize(buf.find('\0'));
    return buf;
}

bool Exists(const std::string& path) { return Files().Kind(path, false) != EntryKind::Missing; }

std::vector<std::string> ListDirectory(const std::string& dir) {
    std::vector<std::string> names;
    if (Files().ListDirectory(dir, names) != 0) names.clear();
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return n == "." || n == ".."; }),
                names.end());
    return names;
}

}  // namespace

std::string ExpandPath(const std::string& path) {
    if (path.find('\\') != std::string::npos) return path;
    size_t colon = path.find(':');
    if (colon != std::string::npos && colon > 1) return path;
    std::string full = (!path.empty() && path[0] == '/') ? path : CurrentDirectory() + "/" + path;
    std::vector<std::string> out;
    for (const std::string& part : SplitComponents(full)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!out.empty()) out.pop_back();
            continue;
        }
        out.push_back(part);
    }
    std::string result;
    for (const std::string& part : out) {
        // Two appends: g++ 12 at -O3 warns (-Wrestrict) about "/" + part.
        result += '/';
        result += part;
    }
    if (result.empty()) result = "/";
    if (path.size() > 1 && path.back() == '/' && result != "/") result += '/';
    return result;
}

bool NamesMatch(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::string fa, fb;
    const bool utf8A = xbtext::FoldUtf8(a, fa);
    const bool utf8B = xbtext::FoldUtf8(b, fb);
    if (utf8A != utf8B) return false;
    if (utf8A) return fa == fb;
    const Locale& loc = CurrentLocale();
    return loc.UpperCase(a) == loc.UpperCase(b);
}

PathLookup LookUpPath(const std::string& path) {
    PathLookup result;
    result.path = path;
    if (path.empty() || path.find('\\') != std::string::npos || Exists(path)) return result;
    const bool absolute = path[0] == '/';
    auto join = [&](const std::string& dir, const std::string& part) {
        if (dir.empty()) return absolute ? "/" + part : part;
        return dir + "/" + part;
    };
    std::string dir;  // resolved so far, without a trailing '/'
    bool matching = true;
    for (const std::string& part : SplitComponents(path)) {
        std::string candidate = join(dir, part);
        if (matching && !Exists(candidate)) {
            std::vector<std::string> found;
            for (const std::string& entry : ListDirectory(dir.empty() ? (absolute ? "/" : ".") : dir)) {
                if (NamesMatch(entry, part)) found.push_back(entry);
            }
            if (found.size() > 1) {
                std::sort(found.begin(), found.end());
                for (const std::string& f : found) result.candidates.push_back(join(dir, f));
                return result;
            }
            if (found.size() == 1) {
                candidate = join(dir, found[0]);
            } else {
                matching = false;  // nothing further down can exist
            }
        }
        dir = candidate;
    }
    if (path.back() == '/') dir += '/';
    result.path = dir.empty() ? (absolute ? "/" : path) : dir;
    return result;
}

std::string AmbiguityText(const std::string& path, const PathLookup& lookup) {
    std::string names;
    for (size_t i = 0; i < lookup.candidates.size(); ++i) {
        if (i > 0) names += i + 1 == lookup.candidates.size() ? " and " : ", ";
        names += lookup.candidates[i];
    }
    return path + ": the name fits " + names + " alike; give its exact spelling";
}

std::string ResolveCase(const std::string& path) { return LookUpPath(path).path; }

std::string IdentityKey(const std::string& path) { return CurrentLocale().UpperCase(path); }

bool FileExists(const std::string& path) {
    PathLookup found = LookUpPath(path);
    if (found.Ambiguous()) return false;
    const EntryKind kind = Files().Kind(found.path, true);
    return kind == EntryKind::File || kind == EntryKind::Other;
}

std::string DirectoryPart(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNamePart(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionPart(const std::string& path) {
    std::string name = FileNamePart(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string BaseNamePart(const std::string& path) {
    std::string name = FileNamePart(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string ChangeExtension(const std::string& path, const std::string& ext) {
    std::string dir = DirectoryPart(path);
    return dir + BaseNamePart(path) + ext;
}

std::string SiblingPath(const std::string& path, const std::string& ext) {
    std::string name = ExtensionPart(path);
    bool hasUpper = false, hasLower = false;
    for (char c : name) {
        hasUpper = hasUpper || (c >= 'A' && c <= 'Z');
        hasLower = hasLower || (c >= 'a' && c <= 'z');
    }
    std::string e = ext;
    if (hasLower && !hasUpper) {
        for (char& c : e) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    return ChangeExtension(path, e);
}

}  // namespace platform
