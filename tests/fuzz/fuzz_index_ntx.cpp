// NTX index files: open, walk both ways, seek and insert on arbitrary bytes.

#include "fuzz_index_common.h"
#include "index/ntx/GSobjNTXFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzindex::Run("ntx", data, size, [](GSO_dBHandler* table, const std::string& path) {
        return std::make_unique<GSobjNTXFile>(table, false, false, false, true, path);
    });
}
