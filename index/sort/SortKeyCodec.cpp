#include "index/sort/SortKeyCodec.h"

#include <cstring>

namespace sortcodec {
namespace {
constexpr uint8_t kEscape = 0x01;
constexpr uint8_t kTerminator = 0x00;
constexpr uint64_t kSignBit64 = 0x8000000000000000ull;
constexpr uint32_t kSignBit32 = 0x80000000u;

uint8_t* PutBigEndian(uint64_t v, int bytes, uint8_t* out) {
    for (int i = bytes - 1; i >= 0; --i) *out++ = static_cast<uint8_t>((v >> (8 * i)) & 0xFF);
    return out;
}

uint64_t GetBigEndian(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}
}  // namespace

uint8_t TypeOf(const TgsVariant& key) {
    switch (key.Type()) {
        case TgsVariantType::Empty:
        case TgsVariantType::Text: return kTypeText;
        case TgsVariantType::Bytes: return kTypeBytes;
        case TgsVariantType::Number: return kTypeNumber;
        case TgsVariantType::Date: return kTypeDate;
        default: return kTypeEnd;
    }
}

size_t Encode(const TgsVariant& key, uint8_t type, int32_t record, uint8_t* out) {
    uint8_t* p = out;
    switch (type) {
        case kTypeText:
        case kTypeBytes: {
            size_t n = key.Length();
            const uint8_t* data = key.Data();
            // Text sorts without its trailing blanks.
            if (type == kTypeText)
                while (n > 0 && data[n - 1] == ' ') --n;
            for (size_t i = 0; i < n; ++i) {
                const uint8_t b = data[i];
                if (b <= kEscape) {
                    *p++ = kEscape;
                    *p++ = static_cast<uint8_t>(b + 1);
                } else {
                    *p++ = b;
                }
            }
            *p++ = kTerminator;
            break;
        }
        case kTypeNumber: {
            double d = key.AsNumber();
            if (d == 0) d = 0;  // -0 sorts with 0
            uint64_t bits;
            std::memcpy(&bits, &d, sizeof bits);
            bits = (bits & kSignBit64) ? ~bits : (bits | kSignBit64);
            p = PutBigEndian(bits, 8, p);
            break;
        }
        case kTypeDate: {
            uint32_t day = static_cast<uint32_t>(key.AsDate()) ^ kSignBit32;
            p = PutBigEndian(day, 4, p);
            break;
        }
        default: break;
    }
    p = PutBigEndian(static_cast<uint32_t>(record), 4, p);
    return static_cast<size_t>(p - out);
}

bool Decode(const uint8_t* bytes, size_t length, uint8_t type, TgsVariant& key, int32_t& record) {
    if (length < kRecordBytes) return false;
    size_t keyLen = length - kRecordBytes;
    record = static_cast<int32_t>(GetBigEndian(bytes + keyLen, 4));
    switch (type) {
        case kTypeText:
        case kTypeBytes: {
            if (keyLen == 0 || bytes[keyLen - 1] != kTerminator) return false;
            // Decoded into the key's own block: never longer than the encoding.
            key.SetSize(keyLen);
            uint8_t* plain = key.Data();
            size_t n = 0;
            for (size_t i = 0; i + 1 < keyLen; ++i) {
                uint8_t b = bytes[i];
                if (b == kEscape) {
                    if (i + 2 >= keyLen) return false;
                    b = static_cast<uint8_t>(bytes[++i] - 1);
                }
                plain[n++] = b;
            }
            if (type == kTypeText) {
                key.SetText(reinterpret_cast<const char*>(plain), n);
            } else {
                key.SetBytes(plain, n);
            }
            return true;
        }
        case kTypeNumber: {
            if (keyLen != 8) return false;
            uint64_t bits = GetBigEndian(bytes, 8);
            bits = (bits & kSignBit64) ? (bits & ~kSignBit64) : ~bits;
            double d;
            std::memcpy(&d, &bits, sizeof d);
            key.SetNumber(d);
            return true;
        }
        case kTypeDate: {
            if (keyLen != 4) return false;
            key.SetDate(static_cast<int32_t>(static_cast<uint32_t>(GetBigEndian(bytes, 4)) ^ kSignBit32));
            return true;
        }
        default: return false;
    }
}

}  // namespace sortcodec
