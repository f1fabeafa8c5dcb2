// Fuzz target: arbitrary bytes as a memo file of the GSobjFXMemo20 kind.

#include "engine/FXMemo20.h"
#include "fuzz_memo_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzmemo::Run<GSobjFXMemo20>("fuzz_memo_fpt", 0xF5, data, size);
}
