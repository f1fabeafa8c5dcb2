#pragma once
// Choosing and opening the memo object a table's version byte calls for.

#include <cstdint>
#include <memory>
#include <string>

#include "engine/LockProtocol.h"
#include "engine/Memo.h"

// The memo file of a table of `version`: its path beside the table (".DBT" or ".FPT",
// in the case of the table's own extension), or "" for versions without memo files.
std::string MemoPathFor(const std::string& tablePath, uint8_t version);

// The memo object for a table of `version`, opened with the table's read-write and shared
// flags and set to its lock protocol; null for versions without memo files (their memo
// fields read as empty). A missing memo file is error 2 (subcode 6101), a damaged header
// error 1005, each reported to `owner`.
std::unique_ptr<GSobjMemo> CreateMemoObject(GSO_DiskFile* owner, const std::string& tablePath,
                                            uint8_t version, bool readWrite, bool shared,
                                            TgsLokProtocol protocol = TgsLokProtocol::Default);
