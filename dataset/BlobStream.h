#pragma once
// The stream a memo or blob field is read and written through.

#include <cstdint>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TBlobStream {
public:
    virtual ~TBlobStream() = default;
    // Copies at most `count` bytes from the position on; answers the number copied.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    // Writes `count` bytes at the position; answers the number written.
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    // Moves the position and answers it.
    virtual int32_t Seek(int32_t offset, TSeekOrigin origin) = 0;
    virtual int32_t Size() const = 0;
};
