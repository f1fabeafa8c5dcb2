#include "engine/text/OemAnsi.h"

#include <cassert>

#include "engine/text/CodePage.h"

namespace xbtext {

namespace {

constexpr char32_t kBullet = 0x2022;
constexpr char32_t kBulletOperator = 0x2219;

struct Permutation {
    std::array<uint8_t, 256> ansiToOem{};
    std::array<uint8_t, 256> oemToAnsi{};

    Permutation() {
        const CodePage& ansi = CodePage::Of(CodePageId::Cp1251);
        const CodePage& oem = CodePage::Of(CodePageId::Cp866);
        std::array<bool, 256> ansiPlaced{}, oemTaken{};
        for (int b = 0; b < 256; ++b) {
            char32_t ch = ansi.ToUnicode(static_cast<uint8_t>(b));
            if (ch == kBullet) ch = kBulletOperator;
            if (std::optional<uint8_t> o = oem.FromUnicode(ch)) Pair(b, *o, ansiPlaced, oemTaken);
        }
        int free = 0;
        for (int b = 0; b < 256; ++b) {
            if (ansiPlaced[b]) continue;
            while (oemTaken[free]) ++free;
            Pair(b, free, ansiPlaced, oemTaken);
        }
    }

    void Pair(int a, int o, std::array<bool, 256>& ansiPlaced, std::array<bool, 256>& oemTaken) {
        assert(!ansiPlaced[a] && !oemTaken[o]);
        ansiToOem[a] = static_cast<uint8_t>(o);
        oemToAnsi[o] = static_cast<uint8_t>(a);
        ansiPlaced[a] = oemTaken[o] = true;
    }
};

const Permutation& Tables() {
    static const Permutation p;
    return p;
}

}  // namespace

const std::array<uint8_t, 256>& AnsiToOemTable() { return Tables().ansiToOem; }
const std::array<uint8_t, 256>& OemToAnsiTable() { return Tables().oemToAnsi; }

}  // namespace xbtext
