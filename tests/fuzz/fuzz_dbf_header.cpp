// Feeds arbitrary bytes to the table-header and field-descriptor reading, both from memory
// and through a file, as a table object opening a damaged or hostile file would.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/DbfHeader.h"
#include "engine/DbfLayout.h"
#include "engine/DiskFile.h"
#include "engine/Exception.h"

namespace {

std::string ScratchPath() {
    static std::string path = "/dev/shm/fuzz_dbf_header_" + std::to_string(getpid()) + ".dbf";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TgsDBFHeader header;
    std::memcpy(header.bytes, data, size < 32 ? size : 32);
    const int64_t fileSize = static_cast<int64_t>(size);
    if (CheckHeader(header, fileSize).empty() && TgsDBFHeader::AcceptedVersion(header.Version())) {
        const int area = header.DescriptorAreaSize();
        std::vector<TgsDBFField> fields;
        if (area > 0 && 32 + static_cast<size_t>(area) <= size) {
            ParseDescriptors(header, data + 32, static_cast<size_t>(area), fields);
        }
        DeriveRecordCount(fileSize, header.HeaderLength(), header.RecordLength());
    }

    FILE* f = std::fopen(ScratchPath().c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    try {
        GSO_DiskFile file(ScratchPath(), false, false);
        file.Open();
        TgsDBFLayout layout;
        layout.Read(file);
        // A usable layout must describe fields that lie inside the record.
        for (const TgsDBFField& fld : layout.fields) {
            if (fld.position + fld.length > layout.header.RecordLength()) __builtin_trap();
        }
        if (layout.recordCount > 0 &&
            layout.RecordOffset(layout.recordCount) + layout.header.RecordLength() > fileSize) {
            __builtin_trap();
        }
    } catch (const Exception&) {
    }
    return 0;
}
