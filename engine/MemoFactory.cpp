#include "engine/MemoFactory.h"

#include "engine/DbfHeader.h"
#include "engine/FXMemo20.h"
#include "engine/Memo4.h"
#include "engine/platform/Paths.h"

namespace {
std::string Trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}
}  // namespace

std::string MemoPathFor(const std::string& tablePath, uint8_t version) {
    switch (version) {
        case gsVersionDBase3Memo:
        case gsVersionDBase4Memo: return platform::SiblingPath(Trimmed(tablePath), ".DBT");
        case gsVersionVisualFox:
        case gsVersionFoxPro: return platform::SiblingPath(Trimmed(tablePath), ".FPT");
        default: return std::string();
    }
}

std::unique_ptr<GSobjMemo> CreateMemoObject(GSO_DiskFile* owner, const std::string& tablePath,
                                            uint8_t version, bool readWrite, bool shared,
                                            TgsLokProtocol protocol) {
    const std::string path = MemoPathFor(tablePath, version);
    if (path.empty()) return nullptr;
    std::unique_ptr<GSobjMemo> memo;
    switch (version) {
        case gsVersionDBase3Memo: memo = std::make_unique<GSobjMemo>(owner, path, version, readWrite, shared); break;
        case gsVersionDBase4Memo: memo = std::make_unique<GSobjMemo4>(owner, path, version, readWrite, shared); break;
        default: memo = std::make_unique<GSobjFXMemo20>(owner, path, version, readWrite, shared); break;
    }
    memo->MemoSetLockProtocol(protocol);
    memo->OpenMemo();
    return memo;
}
