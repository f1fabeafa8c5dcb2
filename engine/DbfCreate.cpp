#include "engine/DbfCreate.h"

#include <cctype>
#include <cstring>

#include "engine/ByteOrder.h"
#include "engine/DbfHeader.h"
#include "engine/DiskFile.h"
#include "engine/ErrorCodes.h"
#include "engine/ErrorHandler.h"
#include "engine/Exception.h"
#include "engine/platform/Clock.h"
#include "engine/platform/Paths.h"
#include "engine/platform/FileSystem.h"
#include "engine/platform/ReplaceFile.h"
#include "engine/platform/SystemCodes.h"

namespace {

constexpr int kMaxRecordLength = 65535;
constexpr int kMemoHeaderSize = 512;
constexpr int kFoxBlockSize = 64;

[[noreturn]] void Refuse(int code, const std::string& detail) {
    ReportEngineError(code, gsSub::kCreate, detail);
}


std::string VersionText(uint8_t v) {
    static const char* hex = "0123456789ABCDEF";
    return std::string("0x") + hex[v >> 4] + hex[v & 15];
}

// Checks one field and settles its length; returns the stored length.
int CheckField(uint8_t version, TgsFieldDef& f) {
    if (f.name.empty() || f.name.size() > 10) {
        Refuse(gsErr::kBadFieldName, "'" + f.name + "': a field name has 1 to 10 characters");
    }
    for (char& c : f.name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (!(std::isalnum(u) && u < 0x80) && c != '_') {
            Refuse(gsErr::kBadFieldName,
                   "'" + f.name + "': a field name holds only letters, digits and underscores");
        }
        c = static_cast<char>(std::toupper(u));
    }
    f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(f.type)));
    const bool fox = version == gsVersionVisualFox;
    auto fixed = [&](int len) {
        if (f.length != 0 && f.length != len) {
            Refuse(gsErr::kBadFieldType, f.name + ": type " + f.type + " is always " +
                                             std::to_string(len) + " bytes long");
        }
        f.length = len;
        f.decimals = 0;
    };
    switch (f.type) {
        case 'C':
            if (f.length < 1 || f.length > kMaxRecordLength - 1) {
                Refuse(gsErr::kBadFieldType, f.name + ": a C field is 1 to 65,534 bytes long");
            }
            f.decimals = 0;
            break;
        case 'N':
        case 'F':
            if (f.length < 1 || f.length > 20) {
                Refuse(gsErr::kBadFieldType,
                       f.name + ": a " + f.type + " field is 1 to 20 digits long");
            }
            if (f.decimals < 0 || f.decimals > 18 || (f.decimals > 0 && f.decimals > f.length - 2)) {
                Refuse(gsErr::kBadFieldType,
                       f.name + ": " + std::to_string(f.decimals) +
                           " decimals leave no room for the point and a digit in " +
                           std::to_string(f.length));
            }
            break;
        case 'D': fixed(8); break;
        case 'L': fixed(1); break;
        case 'M':
            if (version == gsVersionDBase3) {
                Refuse(gsErr::kBadFieldType,
                       f.name + ": version 0x03 tables have no memo file for an M field");
            }
            fixed(fox ? 4 : 10);
            break;
        case 'G':
            if (version == gsVersionFoxPro) {  // FoxPro 2 keeps general fields as memo references
                fixed(10);
                break;
            }
            [[fallthrough]];
        case 'I':
        case 'T':
        case 'Y':
        case 'B':
            if (!fox) {
                Refuse(gsErr::kBadFieldType, f.name + ": type " + f.type +
                                                 " needs a version 0x30 table, not " +
                                                 VersionText(version));
            }
            fixed(f.type == 'I' || f.type == 'G' ? 4 : 8);
            break;
        default:
            Refuse(gsErr::kBadFieldType, f.name + ": unknown field type '" + f.type + "'");
    }
    return f.length;
}

std::vector<uint8_t> MemoImage(uint8_t version, const std::string& tablePath) {
    std::vector<uint8_t> b(kMemoHeaderSize, 0);
    if (version == gsVersionVisualFox || version == gsVersionFoxPro) {
        gsBytes::Put32BE(b.data(), kMemoHeaderSize / kFoxBlockSize);
        b[6] = 0;
        b[7] = kFoxBlockSize;
        return b;
    }
    gsBytes::Put32LE(b.data(), 1);  // the next free block, or for dBase IV: no free run
    std::string name = platform::BaseNamePart(tablePath).substr(0, 8);
    for (size_t i = 0; i < name.size(); ++i) {
        b[8 + i] = static_cast<uint8_t>(std::toupper(static_cast<unsigned char>(name[i])));
    }
    if (version == gsVersionDBase3Memo) {
        b[16] = 0x03;
    } else {
        gsBytes::Put32LE(b.data() + 20, kMemoHeaderSize);
    }
    return b;
}

// Writes `image` as a new file. A failure after the file was made removes it again, so
// that no half-written file is left behind; a failure to make it touches nothing.
void WriteFile(const std::string& path, const std::vector<uint8_t>& image) {
    GSO_DiskFile file(path, true, false);
    file.CreateNew();
    try {
        file.WriteAt(0, image.data(), static_cast<int32_t>(image.size()));
        file.Flush();
        file.Close();
    } catch (...) {
        file.Close();
        platform::RemoveFile(file.RealPath());
        throw;
    }
}

// Where a new file goes: the path as found on disk (an existing file of that name in any
// case is the one meant). Refuses a name that fits several files, and an existing file
// unless `overwrite`.
std::string Destination(const std::string& path, bool overwrite) {
    const std::string expanded = platform::ExpandPath(path);
    platform::PathLookup found = platform::LookUpPath(expanded);
    if (found.Ambiguous()) Refuse(gsErr::kAmbiguousName, platform::AmbiguityText(path, found));
    if (!overwrite && platform::FileExists(found.path)) Refuse(platform::kAlreadyExists, found.path);
    return found.path;
}

// The files of a new table, each written whole under a temporary name first. Files not
// yet put in place are removed when creation fails.
class StagedFiles {
public:
    ~StagedFiles() {
        for (const Staged& s : files_) platform::RemoveFile(s.temporary);
    }
    void Write(const std::string& destination, const std::vector<uint8_t>& image) {
        files_.push_back({platform::TemporarySibling(destination), destination});
        WriteFile(files_.back().temporary, image);
    }
    // Renames the files into place, last written first: the table goes last, so that a
    // table never stands without its memo file.
    void PutInPlace() {
        while (!files_.empty()) {
            const Staged& s = files_.back();
            if (int rc = platform::ReplaceFile(s.temporary, s.destination)) {
                Refuse(rc, s.destination);
            }
            files_.pop_back();
        }
    }

private:
    struct Staged {
        std::string temporary;
        std::string destination;
    };
    std::vector<Staged> files_;
};

}  // namespace

std::string MemoExtensionFor(uint8_t version, const std::vector<TgsFieldDef>& fields) {
    switch (version) {
        case gsVersionDBase3Memo:
        case gsVersionDBase4Memo: return ".DBT";
        case gsVersionFoxPro: return ".FPT";
        case gsVersionVisualFox:
            for (const TgsFieldDef& f : fields) {
                char t = static_cast<char>(std::toupper(static_cast<unsigned char>(f.type)));
                if (t == 'M' || t == 'G') return ".FPT";
            }
            return "";
        default: return "";
    }
}

void CreateDBFTable(const std::string& path, uint8_t version,
                    const std::vector<TgsFieldDef>& fieldsIn, const TgsCreateOptions& options) {
    if (!TgsDBFHeader::AcceptedVersion(version)) {
        Refuse(gsErr::kHeaderInvalid, path + ": version " + VersionText(version) +
                                          " is not one of 0x03, 0x30, 0x83, 0x8B, 0xF5");
    }
    if (fieldsIn.empty()) Refuse(gsErr::kBadFieldName, path + ": a table needs at least one field");
    if (fieldsIn.size() > 255) Refuse(gsErr::kBadFieldName, path + ": more than 255 fields");
    std::vector<TgsFieldDef> fields = fieldsIn;
    int recordLength = 1;
    for (size_t i = 0; i < fields.size(); ++i) {
        recordLength += CheckField(version, fields[i]);
        for (size_t j = 0; j < i; ++j) {
            if (fields[j].name == fields[i].name) {
                Refuse(gsErr::kBadFieldName, fields[i].name + ": the name is used twice");
            }
        }
        if (recordLength > kMaxRecordLength) {
            Refuse(gsErr::kBadFieldType, path + ": the fields need more than 65,535 bytes a record");
        }
    }

    const std::string memoExt = MemoExtensionFor(version, fields);
    const std::string tablePath = Destination(path, options.overwrite);
    const std::string memoPath =
        memoExt.empty() ? "" : Destination(platform::SiblingPath(tablePath, memoExt), options.overwrite);

    const bool fox = version == gsVersionVisualFox;
    const int headerLength =
        gsHeaderSize + gsDescriptorSize * static_cast<int>(fields.size()) + 1 +
        (fox ? gsFoxBacklinkSize : 0);
    std::vector<uint8_t> image(static_cast<size_t>(headerLength) + 1, 0);
    TgsDBFHeader header;
    header.bytes[0] = version;
    gsBytes::Put16LE(header.bytes + 8, static_cast<uint16_t>(headerLength));
    gsBytes::Put16LE(header.bytes + 10, static_cast<uint16_t>(recordLength));
    header.bytes[29] = options.languageDriver;
    header.Stamp(0, (fox && !memoExt.empty()) ? gsFlagMemo : 0, 0, platform::Now());
    // A fresh table carries no update stamp or user id.
    std::memset(header.bytes + 16, 0, 8);
    std::memcpy(image.data(), header.bytes, gsHeaderSize);

    uint32_t position = 1;
    for (size_t i = 0; i < fields.size(); ++i) {
        const TgsFieldDef& f = fields[i];
        const size_t at = gsHeaderSize + i * gsDescriptorSize;
        std::memcpy(image.data() + at, f.name.data(), f.name.size());
        image[at + 11] = static_cast<uint8_t>(f.type);
        gsBytes::Put32LE(image.data() + at + 12, position);
        if (f.type == 'C') {
            gsBytes::Put16LE(image.data() + at + 16, static_cast<uint16_t>(f.length));
        } else {
            image[at + 16] = static_cast<uint8_t>(f.length);
            image[at + 17] = static_cast<uint8_t>(f.decimals);
        }
        position += static_cast<uint32_t>(f.length);
    }
    image[gsHeaderSize + gsDescriptorSize * fields.size()] = gsHeaderTerminator;
    image[static_cast<size_t>(headerLength)] = gsEndOfFile;

    StagedFiles staged;
    staged.Write(tablePath, image);
    if (!memoPath.empty()) staged.Write(memoPath, MemoImage(version, tablePath));
    staged.PutInPlace();
}

TgsFieldDef ParseFieldDef(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t colon = text.find(':', start);
        parts.push_back(text.substr(start, colon == std::string::npos ? colon : colon - start));
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    auto number = [&](const std::string& s) {
        if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos) {
            Refuse(gsErr::kBadFieldType, "'" + text + "': '" + s + "' is not a length");
        }
        return std::stoi(s);
    };
    if (parts.size() < 2 || parts.size() > 4 || parts[1].size() != 1) {
        Refuse(gsErr::kBadFieldType, "'" + text + "': a field is NAME:TYPE[:LENGTH[:DECIMALS]]");
    }
    TgsFieldDef f;
    f.name = parts[0];
    f.type = parts[1][0];
    if (parts.size() > 2) f.length = number(parts[2]);
    if (parts.size() > 3) f.decimals = number(parts[3]);
    return f;
}
