#pragma once
// The body shared by the memo fuzz targets: the input is a memo file; the target opens
// it, asks for lengths and reads into bounded buffers, writes, rewrites and frees. Every
// failure must be one of the engine's exceptions; a memo that was written must read back.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Exception.h"
#include "engine/Memo.h"

namespace fuzzmemo {

inline std::string ScratchPath(const char* kind) {
    static std::string path = "/dev/shm/" + std::string(kind) + "_" + std::to_string(getpid()) + ".mem";
    return path;
}

inline bool WriteInput(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    std::fclose(f);
    return ok;
}

// Block numbers worth trying: the first few, and some taken from the input's tail.
inline std::vector<int32_t> Candidates(const uint8_t* data, size_t size) {
    std::vector<int32_t> out = {0, 1, 2, 8, 9};
    for (size_t i = 0; i + 4 <= size && i < 16; i += 4) {
        const uint8_t* p = data + size - 4 - i;
        out.push_back(static_cast<int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24)));
        out.push_back(p[0] % 64);
    }
    return out;
}

template <typename MemoClass>
int Run(const char* kind, uint8_t version, const uint8_t* data, size_t size) {
    const std::string path = ScratchPath(kind);
    if (!WriteInput(path, data, size)) return 0;
    MemoClass memo(nullptr, path, version, true, false);
    try {
        memo.OpenMemo();
    } catch (const Exception&) {
        return 0;
    }
    const std::vector<int32_t> blocks = Candidates(data, size);
    char buffer[4096];
    for (int32_t b : blocks) {
        try {
            memo.MemoLength(b);
            int32_t count = static_cast<int32_t>(sizeof buffer);
            memo.MemoRead(b, buffer, count);
            if (count < 0 || count > static_cast<int32_t>(sizeof buffer)) __builtin_trap();
        } catch (const Exception&) {
        }
    }
    const size_t textLength = size > 0 ? (data[0] * 37u + size) % 3000 : 10;
    const std::string text(textLength, 'A');
    try {
        int32_t placed = memo.MemoWrite(0, text.data(), static_cast<int32_t>(text.size()));
        std::vector<char> back(text.size() + 1, '#');
        int32_t count = static_cast<int32_t>(text.size());
        memo.MemoRead(placed, back.data(), count);
        if (placed != 0 && (count != static_cast<int32_t>(text.size()) ||
                            std::memcmp(back.data(), text.data(), text.size()) != 0)) {
            __builtin_trap();  // a memo that was written must read back
        }
    } catch (const Exception&) {
    }
    for (size_t i = 1; i < blocks.size() && i < 5; ++i) {
        try {
            memo.MemoWrite(blocks[i], text.data(), static_cast<int32_t>(text.size() / (i + 1)));
        } catch (const Exception&) {
        }
        try {
            memo.MemoFree(blocks[blocks.size() - i]);
        } catch (const Exception&) {
        }
    }
    memo.Close();
    return 0;
}

}  // namespace fuzzmemo
