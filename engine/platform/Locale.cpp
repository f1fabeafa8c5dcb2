#include "engine/platform/Locale.h"

#include <atomic>

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

// Windows-1251 letters outside the two contiguous Russian blocks, as (lower, upper).
constexpr unsigned char kCyrillicPairs[][2] = {
    {0x90, 0x80}, {0x83, 0x81}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D}, {0x9E, 0x8E},
    {0x9F, 0x8F}, {0xA2, 0xA1}, {0xBC, 0xA3}, {0xB4, 0xA5}, {0xB8, 0xA8}, {0xBA, 0xAA},
    {0xBF, 0xAF}, {0xB3, 0xB2}, {0xBE, 0xBD},
};

// Turns a strftime date format into the d/M/y letters of a short date format.
std::string DateFormatFromStrftime(const char* fmt, char& separator) {
    std::string out;
    separator = 0;
    for (const char* p = fmt; *p; ++p) {
        if (*p != '%') {
            out += *p;
            if (!separator && (*p == '.' || *p == '/' || *p == '-')) separator = *p;
            continue;
        }
        ++p;
        switch (*p) {
            case 'd': out += "dd"; break;
            case 'e': out += "d"; break;
            case 'm': out += "MM"; break;
            case 'Y': out += "yyyy"; break;
            case 'y': out += "yy"; break;
            case 'D': out += "MM/dd/yy"; separator = '/'; break;
            case 'F': out += "yyyy-MM-dd"; separator = '-'; break;
            case '\0': return out;
            default: break;
        }
    }
    return out;
}

const char* EnvFor(const char* category) {
    for (const char* name : {"LC_ALL", category, "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v) return v;
    }
    return nullptr;
}

bool IsPlainLocale(const char* v) {
    return !v || std::string(v) == "C" || std::string(v) == "POSIX" ||
           std::string(v).rfind("C.", 0) == 0;
}

}  // namespace

Locale::Locale() : shortDateFormat("dd.MM.yyyy") {
    for (int c = 0; c < 256; ++c) {
        upper_[c] = static_cast<unsigned char>(c);
        lower_[c] = static_cast<unsigned char>(c);
    }
    for (int c = 'a'; c <= 'z'; ++c) SetCasePair(static_cast<unsigned char>(c),
                                                 static_cast<unsigned char>(c - 32));
    for (int c = 0xE0; c <= 0xFF; ++c) SetCasePair(static_cast<unsigned char>(c),
                                                   static_cast<unsigned char>(c - 32));
    for (const auto& pair : kCyrillicPairs) SetCasePair(pair[0], pair[1]);
}

void Locale::SetCasePair(unsigned char lower, unsigned char upper) {
    upper_[lower] = upper;
    lower_[upper] = lower;
}

std::string Locale::UpperCase(std::string s) const {
    for (char& c : s) c = static_cast<char>(upper_[static_cast<unsigned char>(c)]);
    return s;
}

std::string Locale::LowerCase(std::string s) const {
    for (char& c : s) c = static_cast<char>(lower_[static_cast<unsigned char>(c)]);
    return s;
}

Locale Locale::FromEnvironment() {
    Locale l;
    const char* timeName = EnvFor("LC_TIME");
    if (!IsPlainLocale(timeName)) {
        if (locale_t loc = newlocale(LC_TIME_MASK, timeName, static_cast<locale_t>(0))) {
            char sep = 0;
            std::string f = DateFormatFromStrftime(nl_langinfo_l(D_FMT, loc), sep);
            if (f.find('d') != std::string::npos && f.find('M') != std::string::npos &&
                f.find('y') != std::string::npos) {
                l.shortDateFormat = f;
                if (sep) l.dateSeparator = sep;
            }
            freelocale(loc);
        }
    }
    const char* numName = EnvFor("LC_NUMERIC");
    if (!IsPlainLocale(numName)) {
        if (locale_t loc = newlocale(LC_NUMERIC_MASK, numName, static_cast<locale_t>(0))) {
            const char* radix = nl_langinfo_l(RADIXCHAR, loc);
            if (radix && radix[0] && !radix[1]) l.decimalSeparator = radix[0];
            freelocale(loc);
        }
    }
    return l;
}

namespace {
std::mutex gLocaleMutex;
std::atomic<uint64_t> gGeneration{1};
Locale& Current() {
    static Locale locale;
    return locale;
}
}  // namespace

const Locale& CurrentLocale() { return Current(); }

uint64_t LocaleGeneration() { return gGeneration.load(std::memory_order_acquire); }

Locale SetLocale(const Locale& locale) {
    std::lock_guard<std::mutex> g(gLocaleMutex);
    Locale old = Current();
    Current() = locale;
    gGeneration.fetch_add(1, std::memory_order_release);
    return old;
}

}  // namespace platform
