#pragma once
// The on-disk layout of a table file: the 32-byte header, the field descriptors, and how
// the record count and the field positions follow from them. Pure functions on bytes, so
// that the table object and the tools share one reading of a header.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ByteOrder.h"
#include "engine/platform/Clock.h"

constexpr int gsHeaderSize = 32;
constexpr int gsDescriptorSize = 32;
constexpr int gsFoxBacklinkSize = 263;
constexpr int gsMaxFields = 4096;
constexpr uint8_t gsHeaderTerminator = 0x0D;
constexpr uint8_t gsEndOfFile = 0x1A;

// The version bytes (header offset 0) a table may carry.
constexpr uint8_t gsVersionDBase3 = 0x03;      // dBase III, no memo file
constexpr uint8_t gsVersionVisualFox = 0x30;   // Visual FoxPro (.FPT when it has memo fields)
constexpr uint8_t gsVersionDBase3Memo = 0x83;  // dBase III with a .DBT memo file
constexpr uint8_t gsVersionDBase4Memo = 0x8B;  // dBase IV with a .DBT memo file
constexpr uint8_t gsVersionFoxPro = 0xF5;      // FoxPro 2 with an .FPT memo file

// Table flag bits (header offset 28).
constexpr uint8_t gsFlagProductionIndex = 0x01;
constexpr uint8_t gsFlagMemo = 0x02;
constexpr uint8_t gsFlagDatabase = 0x04;

// One field descriptor as the engine uses it.
struct TgsDBFField {
    char name[12] = {};  // up to 11 characters, NUL-terminated
    char type = 'C';
    int32_t position = 1;  // offset in the record, from 1 (byte 0 is the deletion flag)
    int32_t length = 0;    // for C fields: decimals byte x 256 + length byte
    uint8_t decimals = 0;  // 0 for C fields, whose decimals byte is part of the length
    uint16_t number = 0;   // 1-based, in descriptor order
};

class TgsDBFHeader {
public:
    uint8_t bytes[gsHeaderSize] = {};

    static bool AcceptedVersion(uint8_t version);

    uint8_t Version() const { return bytes[0]; }
    uint32_t StoredCount() const { return gsBytes::Get32LE(bytes + 4); }
    uint16_t HeaderLength() const { return gsBytes::Get16LE(bytes + 8); }
    uint16_t RecordLength() const { return gsBytes::Get16LE(bytes + 10); }
    uint32_t UpdateStamp() const { return gsBytes::Get32LE(bytes + 16); }
    uint32_t UserId() const { return gsBytes::Get32LE(bytes + 20); }
    uint8_t FlagBits() const { return bytes[28] & 0x07; }
    uint8_t LanguageDriver() const { return bytes[29]; }
    // Year of the last update as stored (modulo 100), month and day.
    int StoredYear() const { return bytes[1]; }
    int StoredMonth() const { return bytes[2]; }
    int StoredDay() const { return bytes[3]; }

    // The size of the descriptor area the header length implies (negative when the
    // header length is too small for even the terminator).
    int DescriptorAreaSize() const;

    // Fills the fields a header write changes: date, record count, update stamp, user
    // id and the three flag bits (the five high bits become 0).
    void Stamp(uint32_t recordCount, uint8_t flagBits, uint32_t userId,
               const platform::DateTime& now);
    static uint32_t EncodeStamp(const platform::DateTime& now);

};

// Checks a header against the size of its file. Returns "" when it is usable, otherwise
// what is wrong with it (for the detail of error 1001).
std::string CheckHeader(const TgsDBFHeader& header, int64_t fileSize);

// Reads the fields from the descriptor area and computes their positions and numbers.
// The list ends at the area's end or at a descriptor slot that starts with the header
// terminator (writers that add an area after the terminator). Returns "" or the problem.
std::string ParseDescriptors(const TgsDBFHeader& header, const uint8_t* area, size_t size,
                             std::vector<TgsDBFField>& fields);

// (file size - header length) div record length, never negative.
int32_t DeriveRecordCount(int64_t fileSize, uint16_t headerLength, uint16_t recordLength);

// Compares a requested field name with a stored one, case-insensitively up to the NUL.
// Names longer than the 11-byte slot match nothing.
bool FieldNameMatches(const TgsDBFField& field, const std::string& name);
