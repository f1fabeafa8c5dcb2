#include "tools/kazdata/StagedFile.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace kazdata {

StagedFile::StagedFile(std::string finalPath) : final_(std::move(finalPath)) {
    const std::filesystem::path p(final_);
    temp_ =
        (p.parent_path() / ("." + p.filename().string() + "." + std::to_string(getpid()) + ".part"))
            .string();
}

StagedFile::~StagedFile() {
    if (committed_) return;
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
}

void StagedFile::Commit() {
    std::error_code ec;
    std::filesystem::rename(temp_, final_, ec);
    if (ec) throw std::runtime_error("cannot put " + final_ + " in place: " + ec.message());
    committed_ = true;
}

}  // namespace kazdata
