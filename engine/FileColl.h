#pragma once
// The process-wide collection of open disk files. Objects that open the same file share
// one handle and one critical section through it; when the program ends it releases every
// lock still held.

#include <mutex>
#include <string>
#include <vector>

#include "engine/platform/FileIdentity.h"

class GSO_DiskFile;

class GSobjFileColl {
public:
    static GSobjFileColl& Instance();

    void Add(GSO_DiskFile* file);
    void Remove(GSO_DiskFile* file);
    // The first open object of this file other than `except`, or null.
    GSO_DiskFile* FindSameFile(const platform::FileIdentity& identity,
                               const GSO_DiskFile* except) const;
    size_t Count() const;
    // Releases the operating-system lock of every file whose lock count is positive.
    void ReleaseAllLocks();

    // In a forked child: forgets the parent's open files, so that every path the child
    // opens gets a handle of its own.
    void ForgetAfterFork();

    // Held while an object looks up, takes over or gives up a shared handle.
    std::recursive_mutex& Guard() const { return guard_; }

private:
    GSobjFileColl() = default;
    mutable std::recursive_mutex guard_;
    std::vector<GSO_DiskFile*> files_;
};
