#include "engine/DbfLayout.h"

#include "engine/DiskFile.h"
#include "engine/ErrorCodes.h"
#include "engine/platform/LastError.h"
#include "engine/platform/SystemCodes.h"

namespace {

// Reports the file's last error (a short read among them) as a header read failure, with
// the system's last error set to it as every I/O report leaves it.
void ReportReadError(GSO_DiskFile& file, const std::string& detail) {
    platform::SetLastError(file.LastError());
    file.ReportError(file.LastError(), gsSub::kHeader, detail);
}

void ReadHeaderBytes(GSO_DiskFile& file, TgsDBFHeader& header, int64_t size) {
    file.ReadAt(0, header.bytes, gsHeaderSize);
    if (file.LastError() == platform::kShortRead && size < gsHeaderSize) {
        ReportReadError(file, file.RealPath() + ": the file holds " + std::to_string(size) +
                                  " bytes, fewer than a table header");
    }
    if (file.LastError() != 0) ReportReadError(file, file.RealPath());
}

}  // namespace

void TgsDBFLayout::Read(GSO_DiskFile& file) {
    const int64_t size = file.FileSize();
    ReadHeaderBytes(file, header, size);
    if (!TgsDBFHeader::AcceptedVersion(header.Version())) {
        file.ReportError(gsErr::kHeaderInvalid, gsSub::kHeader, file.RealPath());
    }
    std::string problem = CheckHeader(header, size);
    if (problem.empty()) {
        std::vector<uint8_t> area(static_cast<size_t>(header.DescriptorAreaSize()));
        if (!area.empty()) {
            file.ReadExactly(gsHeaderSize, area.data(), static_cast<int32_t>(area.size()),
                             gsSub::kHeader);
        }
        problem = ParseDescriptors(header, area.data(), area.size(), fields);
    }
    if (!problem.empty()) {
        file.ReportError(gsErr::kHeaderInvalid, gsSub::kHeader, file.RealPath() + ": " + problem);
    }
    recordCount = DeriveRecordCount(size, header.HeaderLength(), header.RecordLength());
}

void TgsDBFLayout::Refresh(GSO_DiskFile& file) {
    const int64_t size = file.FileSize();
    TgsDBFHeader fresh;
    ReadHeaderBytes(file, fresh, size);
    // Another program may rewrite the header but never the structure: keep the lengths
    // this object was opened with if the new bytes disagree (a torn or hostile write).
    if (fresh.Version() == header.Version() && fresh.HeaderLength() == header.HeaderLength() &&
        fresh.RecordLength() == header.RecordLength()) {
        header = fresh;
    }
    recordCount = DeriveRecordCount(size, header.HeaderLength(), header.RecordLength());
}
