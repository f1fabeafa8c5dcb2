#pragma once
// The engine's error codes (from 1001 up; the system codes below 1001 are in
// engine/platform/SystemCodes.h) and the subcodes that say where an error arose.

namespace gsErr {
constexpr int kHeaderInvalid = 1001;
constexpr int kBeyondEof = 1002;
constexpr int kBadFieldName = 1003;
constexpr int kBadFieldType = 1004;
constexpr int kMemoFormat = 1005;
constexpr int kFormula = 1006;
constexpr int kNumberTooLarge = 1011;
// A name without its exact spelling on disk fits two or more files but for case.
constexpr int kAmbiguousName = 1012;
constexpr int kIndexInvalid = 2112;
}  // namespace gsErr

namespace gsSub {
constexpr int kNone = -7;
constexpr int kRead = 1101;
constexpr int kWrite = 1102;
constexpr int kSize = 1105;
constexpr int kRename = 1106;
constexpr int kOpen = 1107;
constexpr int kCreate = 1108;
constexpr int kTruncate = 1109;
constexpr int kFlush = 1111;
constexpr int kMemoLock = 1112;
constexpr int kHeader = 1204;
constexpr int kRecord = 1207;
constexpr int kPutDate = 1251;
constexpr int kPutNumber = 1261;
constexpr int kFieldName = 1298;
constexpr int kFieldType = 1299;
constexpr int kPack = 2105;
}  // namespace gsSub
