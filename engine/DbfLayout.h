#pragma once
// Reading a table file's header and field descriptors through a disk file, with every
// check that decides whether the file can be used as a table.

#include <vector>

#include "engine/DbfHeader.h"
#include "engine/platform/Assert.h"

class GSO_DiskFile;

struct TgsDBFLayout {
    TgsDBFHeader header;
    std::vector<TgsDBFField> fields;
    int32_t recordCount = 0;

    // Reads the header and the descriptors of the open `file`. A version byte other
    // than the five accepted ones is error 1001 with the path; a header that cannot
    // describe a table is error 1001 with the path and what is wrong; read failures keep
    // their system code, and a file shorter than a header is a short read (221). All with
    // subcode 1204, through the file's ReportError.
    void Read(GSO_DiskFile& file);
    // Re-reads the 32 header bytes and derives the record count from the file size.
    void Refresh(GSO_DiskFile& file);

    int64_t RecordOffset(int32_t recno) const {
        XB_ASSERT(recno >= 1);
        return static_cast<int64_t>(header.HeaderLength()) +
               static_cast<int64_t>(recno - 1) * header.RecordLength();
    }
};
