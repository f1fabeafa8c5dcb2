#include "engine/DbfHeader.h"

#include <cstring>

#include "engine/platform/Locale.h"

bool TgsDBFHeader::AcceptedVersion(uint8_t version) {
    return version == gsVersionDBase3 || version == gsVersionVisualFox || version == gsVersionDBase3Memo || version == gsVersionDBase4Memo ||
           version == gsVersionFoxPro;
}

int TgsDBFHeader::DescriptorAreaSize() const {
    int size = HeaderLength() - gsHeaderSize - 1;
    if (Version() == gsVersionVisualFox) size -= gsFoxBacklinkSize;
    return size;
}

uint32_t TgsDBFHeader::EncodeStamp(const platform::DateTime& now) {
    return ((static_cast<uint32_t>(now.hour) * 64 + static_cast<uint32_t>(now.minute)) * 64 +
            static_cast<uint32_t>(now.second)) *
               1024 +
           static_cast<uint32_t>(now.millisecond);
}

void TgsDBFHeader::Stamp(uint32_t recordCount, uint8_t flagBits, uint32_t userId,
                         const platform::DateTime& now) {
    bytes[1] = static_cast<uint8_t>(((now.year % 100) + 100) % 100);
    bytes[2] = static_cast<uint8_t>(now.month);
    bytes[3] = static_cast<uint8_t>(now.day);
    gsBytes::Put32LE(bytes + 4, recordCount);
    gsBytes::Put32LE(bytes + 16, EncodeStamp(now));
    gsBytes::Put32LE(bytes + 20, userId);
    bytes[28] = flagBits & 0x07;
}

std::string CheckHeader(const TgsDBFHeader& header, int64_t fileSize) {
    const int minimum = gsHeaderSize + 1 + (header.Version() == gsVersionVisualFox ? gsFoxBacklinkSize : 0);
    if (header.HeaderLength() < minimum) {
        return "header length " + std::to_string(header.HeaderLength()) +
               " is too small for the field descriptors (at least " + std::to_string(minimum) +
               ")";
    }
    if (header.HeaderLength() > fileSize) {
        return "header length " + std::to_string(header.HeaderLength()) +
               " reaches past the end of the file (" + std::to_string(fileSize) + " bytes)";
    }
    if (header.RecordLength() == 0) return "record length is 0";
    return {};
}

std::string ParseDescriptors(const TgsDBFHeader& header, const uint8_t* area, size_t size,
                             std::vector<TgsDBFField>& fields) {
    fields.clear();
    const size_t slots = size / gsDescriptorSize;
    int32_t position = 1;
    for (size_t i = 0; i < slots; ++i) {
        const uint8_t* d = area + i * gsDescriptorSize;
        if (d[0] == gsHeaderTerminator) break;
        if (fields.size() == gsMaxFields) {
            return "more than " + std::to_string(gsMaxFields) + " field descriptors";
        }
        TgsDBFField f;
        std::memcpy(f.name, d, 11);
        f.name[11] = '\0';
        f.type = static_cast<char>(d[11]);
        if (f.type == 'C') {
            f.length = d[16] + 256 * d[17];
            f.decimals = 0;
        } else {
            f.length = d[16];
            f.decimals = d[17];
        }
        f.position = position;
        f.number = static_cast<uint16_t>(fields.size() + 1);
        position += f.length;
        if (position > header.RecordLength()) {
            return "field " + std::string(f.name) + " ends at byte " + std::to_string(position) +
                   " of a record of " + std::to_string(header.RecordLength()) + " bytes";
        }
        fields.push_back(f);
    }
    return {};
}

int32_t DeriveRecordCount(int64_t fileSize, uint16_t headerLength, uint16_t recordLength) {
    if (recordLength == 0 || fileSize <= headerLength) return 0;
    int64_t count = (fileSize - headerLength) / recordLength;
    return count > INT32_MAX ? INT32_MAX : static_cast<int32_t>(count);
}

bool FieldNameMatches(const TgsDBFField& field, const std::string& name) {
    if (name.size() > 11 || name.empty()) return false;
    const platform::Locale& loc = platform::CurrentLocale();
    size_t n = std::strlen(field.name);
    if (n != name.size()) return false;
    for (size_t i = 0; i < n; ++i) {
        if (loc.Upper(static_cast<unsigned char>(field.name[i])) !=
            loc.Upper(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}
