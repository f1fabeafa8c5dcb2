#pragma once
// Helpers of the memo tests: tables with a memo field made by the creation facility,
// memo block numbers read from and written into records by hand (the table object is
// not used here), text patterns, and error capture.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "engine/DbfCreate.h"
#include "engine/DbfLayout.h"
#include "engine/DiskFile.h"
#include "engine/Exception.h"
#include "engine/Memo.h"
#include "engine/MemoFactory.h"
#include "engine/platform/Paths.h"

namespace memotest {

// A table NAME C(10), NOTE M of `version` with its empty memo file; answers its path.
inline std::string MakeTable(const testutil::TempDir& dir, const std::string& name, uint8_t version) {
    const std::string path = dir.File(name);
    CreateDBFTable(path, version, {ParseFieldDef("NAME:C:10"), ParseFieldDef("NOTE:M")});
    return path;
}

// The memo object of a table, opened read-write.
inline std::unique_ptr<GSobjMemo> OpenMemo(const std::string& table, uint8_t version,
                                           bool shared = false,
                                           TgsLokProtocol p = TgsLokProtocol::Default) {
    return CreateMemoObject(nullptr, table, version, true, shared, p);
}

// Deterministic text of n bytes from printable and high bytes, without 1A.
inline std::string Pattern(size_t n, unsigned seed) {
    std::string s(n, ' ');
    uint32_t x = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        uint8_t c = static_cast<uint8_t>(0x20 + (x >> 16) % 0xDF);  // 0x20 .. 0xFE
        if (c == 0x7F) c = 'x';
        s[i] = static_cast<char>(c);
    }
    return s;
}

inline std::string ErrorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no exception>";
}

// The memo block numbers kept in field `field` of every record of a table file:
// text digits, or 4 binary bytes in version 0x30 tables.
inline std::vector<int32_t> BlockNumbers(const std::string& table, const std::string& field) {
    GSO_DiskFile file(table, false, false);
    file.Open();
    TgsDBFLayout layout;
    layout.Read(file);
    const TgsDBFField* f = nullptr;
    for (const TgsDBFField& d : layout.fields) {
        if (FieldNameMatches(d, field)) f = &d;
    }
    std::vector<int32_t> out;
    if (f == nullptr) return out;
    std::vector<uint8_t> rec(layout.header.RecordLength());
    for (int32_t n = 1; n <= layout.recordCount; ++n) {
        file.ReadAt(layout.RecordOffset(n), rec.data(), static_cast<int32_t>(rec.size()));
        const uint8_t* p = rec.data() + f->position;
        if (layout.header.Version() == 0x30 && f->length == 4) {
            out.push_back(static_cast<int32_t>(gsBytes::Get32LE(p)));
        } else {
            std::string digits(reinterpret_cast<const char*>(p), static_cast<size_t>(f->length));
            out.push_back(static_cast<int32_t>(std::atol(digits.c_str())));
        }
    }
    file.Close();
    return out;
}

// Appends one record per block number to a table made by MakeTable (NAME, NOTE), with
// the block number written into NOTE as a reader of the file expects it.
inline void AppendRecords(const std::string& table, const std::vector<int32_t>& blocks) {
    std::vector<uint8_t> bytes = testutil::ReadBytes(table);
    const uint16_t headerLen = static_cast<uint16_t>(bytes[8] | (bytes[9] << 8));
    const uint16_t recordLen = static_cast<uint16_t>(bytes[10] | (bytes[11] << 8));
    uint32_t count = gsBytes::Get32LE(bytes.data() + 4);
    bytes.resize(headerLen + static_cast<size_t>(count) * recordLen);
    const bool binary = bytes[0] == 0x30;
    for (int32_t b : blocks) {
        std::vector<uint8_t> rec(recordLen, ' ');
        std::string name = "R" + std::to_string(count + 1);
        std::memcpy(rec.data() + 1, name.data(), name.size());
        if (binary) {
            gsBytes::Put32LE(rec.data() + 11, static_cast<uint32_t>(b));
        } else if (b != 0) {
            std::string digits = std::to_string(b);
            std::memcpy(rec.data() + 11 + 10 - digits.size(), digits.data(), digits.size());
        }
        bytes.insert(bytes.end(), rec.begin(), rec.end());
        ++count;
    }
    gsBytes::Put32LE(bytes.data() + 4, count);
    bytes.push_back(0x1A);
    testutil::WriteBytes(table, bytes);
}

// The path of the memo file of a table of `version`.
inline std::string MemoFile(const std::string& table, uint8_t version) {
    return MemoPathFor(table, version);
}

}  // namespace memotest
