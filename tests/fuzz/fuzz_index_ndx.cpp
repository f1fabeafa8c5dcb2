// NDX index files: open, walk both ways, seek and insert on arbitrary bytes.

#include "fuzz_index_common.h"
#include "index/ndx/GSobjNDXFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzindex::Run("ndx", data, size, [](GSO_dBHandler* table, const std::string& path) {
        return std::make_unique<GSobjNDXFile>(table, false, false, false, true, path);
    });
}
