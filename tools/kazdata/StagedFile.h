#pragma once
// A file written under a temporary name beside its final one and renamed into place
// only when complete, so that a failure never leaves a half-written file behind: the
// temporary file goes when the object goes without Commit.

#include <string>

namespace kazdata {

class StagedFile {
  public:
    explicit StagedFile(std::string finalPath);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Where to write meanwhile.
    const std::string& TempPath() const { return temp_; }
    // Puts the finished file in place of the final one (replacing an older one).
    // Raises std::runtime_error when the rename fails.
    void Commit();

  private:
    std::string final_;
    std::string temp_;
    bool committed_ = false;
};

}  // namespace kazdata
