#include "index/core/IndexFileFactory.h"

#include <cctype>

#include "index/cdx/GSobjCDXFile.h"
#include "index/mdx/GSobjMDXFile.h"
#include "index/ndx/GSobjNDXFile.h"
#include "index/ntx/GSobjNTXFile.h"

namespace {

using Opener = std::unique_ptr<GSobjIndexFile> (*)(GSO_dBaseFld* table, const std::string& path, bool shared,
                                                   bool readWrite);

template <class File>
std::unique_ptr<GSobjIndexFile> OpenExisting(GSO_dBaseFld* table, const std::string& path, bool shared,
                                             bool readWrite) {
    return std::make_unique<File>(table, false, false, shared, readWrite, path);
}

struct Format {
    const char* extension;
    Opener open;
};

// The formats, by extension. A format not listed here is reported as a file that cannot
// be found.
constexpr Format kFormats[] = {
    {".NDX", &OpenExisting<GSobjNDXFile>},
    {".NTX", &OpenExisting<GSobjNTXFile>},
    {".CDX", &OpenExisting<GSobjCDXFile>},
    {".MDX", &OpenExisting<GSobjMDXFile>},
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
    return f->open(table, path, shared, readWrite);
}
