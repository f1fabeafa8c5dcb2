#include "engine/FileColl.h"

#include <algorithm>
#include <pthread.h>

#include <cstdlib>
#include <new>

#include "engine/DiskFile.h"

GSobjFileColl& GSobjFileColl::Instance() {
    // Never destroyed: disk-file objects with static lifetime may outlive any ordering of
    // static destructors. The locks are released when the program exits.
    static GSobjFileColl* coll = [] {
        auto* c = new GSobjFileColl;
        std::atexit([] { GSobjFileColl::Instance().ReleaseAllLocks(); });
        // A forked child is another program: it must open its files anew, not share the
        // parent's open file descriptions (and with them the parent's locks).
        pthread_atfork(nullptr, nullptr, [] { GSobjFileColl::Instance().ForgetAfterFork(); });
        return c;
    }();
    return *coll;
}

void GSobjFileColl::Add(GSO_DiskFile* file) {
    std::lock_guard<std::recursive_mutex> g(guard_);
    if (std::find(files_.begin(), files_.end(), file) == files_.end()) files_.push_back(file);
}

void GSobjFileColl::Remove(GSO_DiskFile* file) {
    std::lock_guard<std::recursive_mutex> g(guard_);
    files_.erase(std::remove(files_.begin(), files_.end(), file), files_.end());
}

GSO_DiskFile* GSobjFileColl::FindSameFile(const platform::FileIdentity& identity,
                                          const GSO_DiskFile* except) const {
    std::lock_guard<std::recursive_mutex> g(guard_);
    for (GSO_DiskFile* f : files_) {
        if (f != except && f->Identity().SameFile(identity)) return f;
    }
    return nullptr;
}

size_t GSobjFileColl::Count() const {
    std::lock_guard<std::recursive_mutex> g(guard_);
    return files_.size();
}

void GSobjFileColl::ForgetAfterFork() {
    // Only the forking thread exists now; the guard may have been held by another thread
    // at the moment of the fork, so it is rebuilt rather than taken.
    new (&guard_) std::recursive_mutex();
    files_.clear();
}

void GSobjFileColl::ReleaseAllLocks() {
    std::lock_guard<std::recursive_mutex> g(guard_);
    for (GSO_DiskFile* f : files_) f->ReleaseSystemLock();
}
