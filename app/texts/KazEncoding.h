#pragma once
// The display encoding: the 256 byte values of a display text and the Unicode characters
// they stand for. It is Windows-1251 with the Kazakh letters put in place of rarely used
// Cyrillic characters, as the font "Helv/Kazakh" draws them:
//
//   byte  Windows-1251      Kazakh letter
//   80    Ђ U+0402          І U+0406   (ours: Windows-1251 keeps І at B2, which is Қ here)
//   8A    Љ U+0409          Ә U+04D8   (ours)
//   8C    Њ U+040A          Ғ U+0492   (ours)
//   8D    Ќ U+040C          Ң U+04A2   (ours)
//   8E    Ћ U+040B          Ү U+04AE   (ours)
//   8F    Џ U+040F          Һ U+04BA   (ours)
//   9A    љ U+0459          ә U+04D9   (ours)
//   9F    џ U+045F          һ U+04BB   (ours)
//   B2    І U+0406          Қ U+049A
//   B3    і U+0456          і U+0456   (unchanged; the program's own texts write a Latin i)
//   B4    ґ U+0491          Ө U+04E8
//   B5    µ U+00B5          Ұ U+04B0
//   B9    № U+2116          ғ U+0493
//   BA    є U+0454          қ U+049B
//   BB    » U+00BB          ң U+04A3
//   BC    ј U+0458          ө U+04E9
//   BD    Ѕ U+0405          ұ U+04B1
//   BE    ѕ U+0455          ү U+04AF
//
// The positions marked "ours" are this program's choice for the letters the font leaves
// out: Serbian and Macedonian letters, never a Russian letter, ASCII or common
// punctuation; upper and lower case of Ә and Һ stand 10 hex apart, as the case pairs of
// those letters do in Windows-1251. The characters these positions displace (Ђ Љ Њ Ќ Ћ
// Џ љ џ ґ µ № є » ј Ѕ ѕ) cannot be written in a display text. Byte 98, unassigned in
// Windows-1251, reads as U+0098, so that every byte value reads as a distinct character.

#include <cstdint>
#include <optional>

namespace kaztexts {

class KazEncoding {
  public:
    // The character a display byte stands for.
    static char32_t ToUnicode(uint8_t byte);
    // The display byte of a character, or nothing when the encoding cannot hold it.
    static std::optional<uint8_t> FromUnicode(char32_t ch);
};

}  // namespace kaztexts
