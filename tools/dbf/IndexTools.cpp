#include "tools/dbf/IndexTools.h"

#include <cctype>
#include <cstdio>

#include "engine/ErrorCodes.h"
#include "engine/ErrorHandler.h"
#include "engine/Exception.h"
#include "engine/platform/Paths.h"
#include "engine/platform/SystemCodes.h"
#include "engine/platform/Terminal.h"
#include "index/core/GSobjIndexFile.h"
#include "index/core/GSobjIndexTag.h"
#include "index/core/IndexFileFactory.h"

namespace dbftool {

namespace {
constexpr auto kQuietFor = std::chrono::milliseconds(500);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr int kBarWidth = 40;

std::string UpperExtension(const std::string& path) {
    std::string ext = platform::ExtensionPart(path);
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}
}  // namespace

ToolTable::~ToolTable() { Clear(); }

std::unique_ptr<ToolTable> ToolTable::Open(const std::string& path, bool readWrite, bool shared, bool production) {
    auto table = std::make_unique<ToolTable>(path, readWrite, shared);
    table->SetOpenProductionIndex(production);
    table->terminal_ = platform::StandardErrorIsTerminal();
    table->OpenTable();
    return table;
}

void ToolTable::StatusReport(int stat1, int stat2, int stat3) {
    if (!terminal_) return;
    if (stat1 == -1 && (stat2 == gsStatusIndexKeys || stat2 == gsStatusIndexPages)) {
        if (phase_ == 0) started_ = std::chrono::steady_clock::now();
        phase_ = stat2;
        total_ = stat3;
        done_ = 0;
        return;
    }
    if (stat1 == 0) {
        if (phase_ == gsStatusIndexPages) Clear();
        if (phase_ == gsStatusIndexPages || phase_ == 0) phase_ = 0;
        return;
    }
    if (stat1 == phase_ && phase_ != 0) {
        done_ = stat2;
        // The clock is read only now and then: this runs once per record.
        if ((++calls_ & 1023) == 0) Draw(false);
    }
}

void ToolTable::Draw(bool force) {
    const auto now = std::chrono::steady_clock::now();
    if (!force && (now - started_ < kQuietFor || now - lastDrawn_ < kRedrawEvery)) return;
    lastDrawn_ = now;
    const double part = total_ > 0 ? static_cast<double>(done_) / static_cast<double>(total_) : 0;
    const int filled = static_cast<int>(part * kBarWidth);
    std::string bar(static_cast<size_t>(kBarWidth), ' ');
    for (int i = 0; i < filled && i < kBarWidth; ++i) bar[static_cast<size_t>(i)] = '#';
    std::fprintf(stderr, "\r%s [%s] %3d%%", phase_ == gsStatusIndexKeys ? "reading keys " : "writing index",
                 bar.c_str(), static_cast<int>(part * 100));
    std::fflush(stderr);
    drawn_ = true;
}

void ToolTable::Clear() {
    if (!drawn_) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    drawn_ = false;
}

bool HoldsTags(const std::string& indexPath) {
    const std::string ext = UpperExtension(indexPath);
    return ext == ".CDX" || ext == ".MDX";
}

std::unique_ptr<GSobjIndexFile> OpenIndexForTable(GSO_dBHandler& table, const std::string& path, bool readWrite) {
    const std::string ext = UpperExtension(path);
    if (!IndexFormatKnown(ext)) throw ERidedezError("'" + path + "' is not an index file of a format the engine reads");
    std::unique_ptr<GSobjIndexFile> file = OpenIndexFileOfFormat(ext, &table, path, table.IsShared(), readWrite);
    if (!file || !file->Opened())
        ReportEngineError(platform::kFileNotFound, gsSub::kNone, platform::IdentityKey(platform::ExpandPath(path)));
    file->SetLockProtocol(table.LockProtocol());
    return file;
}

}  // namespace dbftool
