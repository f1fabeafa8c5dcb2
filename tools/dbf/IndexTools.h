#pragma once
// What the index verbs share: a table that draws a progress bar while indexes are built,
// opening index files by their extension, and the JSON forms of tags and checks.

#include <chrono>
#include <memory>
#include <string>

#include "engine/dBHandler.h"

class GSobjIndexFile;

namespace dbftool {

// A table whose index builds report their progress on standard error: a bar, drawn only
// when standard error is a terminal and the work has taken more than half a second.
class ToolTable : public GSO_dBHandler {
public:
    using GSO_dBHandler::GSO_dBHandler;
    ~ToolTable() override;
    // Opens `path`; the production index only when `production` is set.
    static std::unique_ptr<ToolTable> Open(const std::string& path, bool readWrite, bool shared, bool production);
    void StatusReport(int stat1, int stat2, int stat3) override;

private:
    void Draw(bool force);
    void Clear();

    bool terminal_ = false;
    bool drawn_ = false;
    int phase_ = 0;
    long total_ = 0;
    long done_ = 0;
    unsigned calls_ = 0;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastDrawn_;
};

// Whether files with this name's extension hold several named tags (CDX and MDX bags).
bool HoldsTags(const std::string& indexPath);

// Opens an existing index file for `table` by its extension; raises the engine's error
// for a missing file (error 2), a damaged one (2112) or an extension no format has.
std::unique_ptr<GSobjIndexFile> OpenIndexForTable(GSO_dBHandler& table, const std::string& path, bool readWrite);

}  // namespace dbftool
