#pragma once
// Opening an index file by its extension. Each format has one entry in the table of
// IndexFileFactory.cpp: its extension (upper case, with the dot) and how to open an
// existing file of it for a table.

#include <memory>
#include <string>

class GSO_dBaseFld;
class GSobjIndexFile;

// Whether files with `extension` (".NTX", any case) can be opened.
bool IndexFormatKnown(const std::string& extension);

// Opens the existing index file at `path`, its class chosen by `extension` (".NTX", any
// case). Null when the extension names no format we read. The object may come back not
// opened (the file is missing); a file whose header is not accepted raises error 2112.
std::unique_ptr<GSobjIndexFile> OpenIndexFileOfFormat(const std::string& extension, GSO_dBaseFld* table,
                                                      const std::string& path, bool shared, bool readWrite);
