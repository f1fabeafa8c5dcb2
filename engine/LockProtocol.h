#pragma once
// The lock protocols shared with other programs: which byte ranges stand for a record,
// the header, the table and the table from the start.

#include <cstdint>

enum class TgsLokProtocol : int { Default = 0, DB4Lock = 1, ClipLock = 2, FoxLock = 3 };

// How long memo and index files wait for a lock, in milliseconds.
constexpr uint16_t gsLockWaitTotal = 2000;
constexpr uint16_t gsLockRetryStep = 50;

// The three constants a protocol implies.
struct TgsLockConstants {
    uint32_t tableOffset = 0x40000000u;
    uint32_t recordBase = 0x7FFFFFFEu;
    uint32_t tableLength = 0x3FFFFFFFu;

    // Sets the constants of protocol `p`; a value outside 0..3 leaves them unchanged
    // and returns false.
    bool SetFor(int p);

    // The one-byte region of record n. False (no region) for a protocol outside 0..3.
    bool RecordRegion(int protocol, int32_t n, bool indexFilesOpen, uint32_t headerLength,
                      uint32_t recordLength, uint32_t& offset) const;
    uint32_t HeaderOffset() const { return recordBase; }
};

// Tries `tryLock` up to gsLockWaitTotal / gsLockRetryStep times, sleeping a retry step
// after each failure. True as soon as one try succeeds.
template <typename TryLock>
bool WaitForLock(TryLock tryLock);

void SleepMilliseconds(int ms);

template <typename TryLock>
bool WaitForLock(TryLock tryLock) {
    for (int attempt = 0; attempt < gsLockWaitTotal / gsLockRetryStep; ++attempt) {
        if (tryLock()) return true;
        SleepMilliseconds(gsLockRetryStep);
    }
    return false;
}
