// Fuzz target: arbitrary bytes as a memo file of the GSobjMemo kind.

#include "engine/Memo.h"
#include "fuzz_memo_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzmemo::Run<GSobjMemo>("fuzz_memo_dbt3", 0x83, data, size);
}
