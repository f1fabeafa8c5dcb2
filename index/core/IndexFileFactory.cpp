#include "index/core/IndexFileFactory.h"

#include <cctype>

#include "index/cdx/GSobjCDXFile.h"
#include "index/mdx/GSobjMDXFile.h"
#include "index/ndx/GSobjNDXFile.h"
#include "index/ntx/GSobjNTXFile.h"

namespace {

// Opens an existing file, or with `create` makes it anew (overwriting it).
using Opener = std::unique_ptr<GSobjIndexFile> (*)(GSO_dBaseFld* table, const std::string& path, bool shared,
                                                   bool readWrite, bool create);

template <class File>
std::unique_ptr<GSobjIndexFile> OpenFile(GSO_dBaseFld* table, const std::string& path, bool shared, bool readWrite,
                                         bool create) {
    return std::make_unique<File>(table, create, create, shared, readWrite, path);
}

struct Format {
    const char* extension;
    Opener open;
};

// The formats, by extension. A format not listed here is reported as a file that cannot
// be found.
constexpr Format kFormats[] = {
    {".NDX", &OpenFile<GSobjNDXFile>},
    {".NTX", &OpenFile<GSobjNTXFile>},
    {".CDX", &OpenFile<GSobjCDXFile>},
    {".MDX", &OpenFile<GSobjMDXFile>},
};

const Format* FindFormat(const std::string& extension) {
    std::string upper = extension;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const Format& f : kFormats)
        if (upper == f.extension) return &f;
    return nullptr;
}

}  // namespace

bool IndexFormatKnown(const std::string& extension) { return FindFormat(extension) != nullptr; }

std::unique_ptr<GSobjIndexFile> OpenIndexFileOfFormat(const std::string& extension, GSO_dBaseFld* table,
                                                      const std::string& path, bool shared, bool readWrite) {
    const Format* f = FindFormat(extension);
    if (!f) return nullptr;
    return f->open(table, path, shared, readWrite, false);
}

std::unique_ptr<GSobjIndexFile> CreateIndexFileOfFormat(const std::string& extension, GSO_dBaseFld* table,
                                                        const std::string& path, bool shared) {
    const Format* f = FindFormat(extension);
    if (!f) return nullptr;
    return f->open(table, path, shared, true, true);
}
