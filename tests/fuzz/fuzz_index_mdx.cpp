// MDX index files: open, list the tags, walk each both ways, seek and insert on arbitrary
// bytes.

#include "fuzz_index_common.h"
#include "index/mdx/GSobjMDXFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GSO_dBHandler& table = fuzzindex::Table();
    const std::string path = "/dev/shm/fuzz_mdx_" + std::to_string(getpid()) + ".mdx";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    if (size > 0 && std::fwrite(data, 1, size, f) != size) {
        std::fclose(f);
        return 0;
    }
    std::fclose(f);
    try {
        GSobjMDXFile file(&table, false, false, false, true, path);
        if (!file.Opened()) return 0;
        int steps = 0;
        for (size_t i = 0; i < file.TagCount() && i < 8; ++i) {
            GSobjIndexTag& tag = *file.Tag(i);
            for (int32_t r = tag.MoveTo(-3); r != 0 && steps < 3000; r = tag.MoveTo(-1)) ++steps;
            for (int32_t r = tag.MoveTo(-4); r != 0 && steps < 6000; r = tag.MoveTo(-2)) ++steps;
            TgsVariant key(256);
            key.SetText("M3");
            tag.Seek(key);
            key.SetNumber(20);
            tag.Seek(key);
        }
        table.GoRecord(1 + static_cast<int32_t>(size % 60));
        file.UpdateTagsForRecord(table.RecordNumber(), true);
    } catch (const Exception&) {
    }
    return 0;
}
