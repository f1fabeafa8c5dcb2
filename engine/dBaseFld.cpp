#include "engine/dBaseFld.h"

#include <cmath>
#include <cstring>

#include "engine/ByteOrder.h"
#include "engine/DBFDate.h"
#include "engine/ErrorCodes.h"
#include "engine/Exception.h"
#include "engine/FieldCodec.h"
#include "engine/FieldText.h"
#include "engine/Memo.h"
#include "engine/MemoFactory.h"
#include "engine/RunErrors.h"
#include "engine/platform/Paths.h"

namespace {

constexpr double kMsPerDay = 86400000.0;

bool FourBlanks(const uint8_t* p) { return std::memcmp(p, "    ", 4) == 0; }

}  // namespace

GSO_dBaseFld::GSO_dBaseFld(const std::string& path, bool readWrite, bool shared)
    : GSO_dBaseDBF(path, readWrite, shared) {}

GSO_dBaseFld::~GSO_dBaseFld() {
    try {
        GSO_dBaseFld::CloseTable();
    } catch (...) {
    }
}

void GSO_dBaseFld::AfterOpen() {
    GSO_dBaseDBF::AfterOpen();
    switch (Version()) {
        case gsVersionVisualFox: hasMemo_ = (FlagBits() & gsFlagMemo) != 0; break;
        case gsVersionDBase3Memo:
        case gsVersionDBase4Memo:
        case gsVersionFoxPro: hasMemo_ = true; break;
        default: hasMemo_ = false;
    }
    memos_.clear();
    memos_.resize(Fields().size());
}

void GSO_dBaseFld::CloseTable() {
    if (IsOpen()) {
        // The memo objects go whatever happens to the header write.
        struct Release {
            std::vector<std::unique_ptr<GSobjMemo>>& m;
            ~Release() { m.clear(); }
        } release{memos_};
        GSO_dBaseDBF::CloseTable();
    }
    memos_.clear();
}

void GSO_dBaseFld::SetLockProtocol(int protocol) {
    GSO_dBaseDBF::SetLockProtocol(protocol);
    if (protocol < 0 || protocol > 3) return;
    for (auto& m : memos_) {
        if (m) m->MemoSetLockProtocol(static_cast<TgsLokProtocol>(protocol));
    }
}

const TgsDBFField* GSO_dBaseFld::FieldAt(int n) const {
    if (n < 1 || n > FieldCount()) return nullptr;
    return &Fields()[static_cast<size_t>(n - 1)];
}

int GSO_dBaseFld::FieldNumber(const std::string& name) const {
    std::string wanted = TrimRightBlanks(name);
    for (const TgsDBFField& f : Fields()) {
        if (FieldNameMatches(f, wanted)) return f.number;
    }
    return 0;
}

const TgsDBFField* GSO_dBaseFld::FieldDescriptor(const std::string& name) {
    int n = FieldNumber(name);
    if (n == 0) ReportError(gsErr::kBadFieldName, gsSub::kFieldName, name);
    return FieldAt(n);
}

int GSO_dBaseFld::TypedField(const std::string& name, const char* types) {
    const TgsDBFField* f = FieldDescriptor(name);
    if (!std::strchr(types, f->type) || f->type == '\0') {
        ReportError(gsErr::kBadFieldType, gsSub::kFieldType, name);
    }
    return f->number;
}

bool GSO_dBaseFld::BinaryField(const TgsDBFField& f) const {
    return Version() == gsVersionVisualFox && fieldcodec::IsBinaryType(f.type);
}

bool GSO_dBaseFld::IsMemoField(int n) const {
    const TgsDBFField* f = FieldAt(n);
    if (!f) return false;
    return f->type == 'M' || f->type == 'G' || (f->type == 'B' && Version() != gsVersionVisualFox);
}

std::string GSO_dBaseFld::RawText(const TgsDBFField& f) const {
    const char* p = reinterpret_cast<const char*>(CurrentBuffer()) + f.position;
    return std::string(p, fieldcodec::RawLength(p, static_cast<size_t>(f.length)));
}

void GSO_dBaseFld::InvalidValue(const char* what, const TgsDBFField& f, const std::string& text) {
    ReportError(gsErr::kBadFieldType, gsSub::kNone,
                std::string("Invalid ") + what + " in field " + TableName() + "->" + f.name + " (" +
                    text + ")");
    throw ERidedezError("unreachable");  // ReportError never returns
}

// ---- text ---------------------------------------------------------------------------

std::string GSO_dBaseFld::GetText(int n) {
    const TgsDBFField* f = FieldAt(n);
    return f ? RawText(*f) : std::string();
}

std::string GSO_dBaseFld::GetTextByName(const std::string& name) {
    return GetText(FieldDescriptor(name)->number);
}

bool GSO_dBaseFld::PutText(int n, const std::string& text) {
    const TgsDBFField* f = FieldAt(n);
    if (!f) return false;
    uint8_t* p = CurrentBuffer() + f->position;
    const size_t len = static_cast<size_t>(f->length);
    std::memset(p, ' ', len);
    if (!text.empty()) {
        size_t k = std::min(len, text.size());
        bool left = f->type == 'C' || f->type == 'D' || f->type == 'L';
        std::memcpy(left ? p : p + (len - k), text.data(), k);
    }
    Notify(gsNotify::kFieldStored, n);
    return true;
}

bool GSO_dBaseFld::PutTextByName(const std::string& name, const std::string& text) {
    return PutText(FieldDescriptor(name)->number, text);
}

// ---- field properties ------------------------------------------------------------------

int GSO_dBaseFld::FieldDecimals(int n) {
    const TgsDBFField* f = FieldAt(n);
    return f && f->type != 'C' ? f->decimals : 0;
}

int GSO_dBaseFld::FieldLength(int n) {
    const TgsDBFField* f = FieldAt(n);
    return f ? f->length : 0;
}

int GSO_dBaseFld::FieldOffset(int n) {
    const TgsDBFField* f = FieldAt(n);
    return f ? f->position : 0;
}

std::string GSO_dBaseFld::FieldName(int n) {
    const TgsDBFField* f = FieldAt(n);
    return f ? std::string(f->name) : std::string();
}

char GSO_dBaseFld::FieldType(int n) {
    const TgsDBFField* f = FieldAt(n);
    return f ? f->type : '\0';
}

int GSO_dBaseFld::FormulaHook(int, int, int, int, int) { return -1; }

// ---- numbers ---------------------------------------------------------------------------

double GSO_dBaseFld::GetNumber(int n) {
    const TgsDBFField* f = FieldAt(n);
    if (!f) return 0;
    const uint8_t* p = CurrentBuffer() + f->position;
    const size_t length = static_cast<size_t>(f->length);
    if (BinaryField(*f)) return fieldcodec::BinaryNumber(f->type, p, length);
    double value = 0;
    const char* text = reinterpret_cast<const char*>(p);
    if (!fieldcodec::TextNumber(text, length, value)) {
        InvalidValue("number", *f,
                     std::string(text, std::min(fieldcodec::TrimmedLength(text, length), fieldcodec::kNumberTextLimit)));
    }
    return value;
}

double GSO_dBaseFld::GetNumberByName(const std::string& name) {
    return GetNumber(TypedField(name, "BFGIMN"));
}

bool GSO_dBaseFld::PutNumber(int n, double value) {
    const TgsDBFField* f = FieldAt(n);
    if (!f) return false;
    const bool fox = Version() == gsVersionVisualFox;
    if (!std::strchr(fox ? "BFGMNITY" : "BFGMN", f->type) || f->type == '\0') {
        ReportError(gsErr::kBadFieldType, gsSub::kFieldType, "");
    }
    if (BinaryField(*f)) {
        uint8_t* p = CurrentBuffer() + f->position;
        auto tooLarge = [&] {
            ReportError(gsErr::kNumberTooLarge, gsSub::kPutNumber,
                        std::string(f->name) + " - " + FormatFieldNumber(value, 0, 0));
        };
        switch (f->type) {
            case 'B':
                if (f->length >= 8) std::memcpy(p, &value, 8);
                break;
            case 'G':
            case 'I':
            case 'M': {
                double t = std::trunc(value);
                if (!(t >= INT32_MIN && t <= INT32_MAX)) tooLarge();
                if (f->length >= 4) gsBytes::PutI32LE(p, static_cast<int32_t>(t));
                break;
            }
            case 'T': {
                double dayPart = std::trunc(value / kMsPerDay);
                double day = dayPart + gsDateTimeJulianOffset;
                double ms = std::trunc(value - dayPart * kMsPerDay);
                if (!(day >= INT32_MIN && day <= INT32_MAX) || !(ms >= INT32_MIN && ms <= INT32_MAX)) {
                    tooLarge();
                }
                if (f->length >= 8) {
                    gsBytes::PutI32LE(p, static_cast<int32_t>(day));
                    gsBytes::PutI32LE(p + 4, static_cast<int32_t>(ms));
                }
                break;
            }
            case 'Y': {
                // Rounded, not truncated: 12.3456 x 10,000 is 123455.999... in binary.
                double t = std::round(value * 10000.0);
                if (!(t >= -9.2233720368547758e18 && t < 9.2233720368547758e18)) tooLarge();
                int64_t v = static_cast<int64_t>(t);
                if (f->length >= 8) std::memcpy(p, &v, 8);
                break;
            }
        }
        return true;
    }
    std::string text = FormatFieldNumber(value, f->length, f->decimals);
    if (!std::isfinite(value) || static_cast<int>(text.size()) > f->length) {
        ReportError(gsErr::kNumberTooLarge, gsSub::kPutNumber, std::string(f->name) + " - " + text);
    }
    return PutText(n, text);
}

bool GSO_dBaseFld::PutNumberByName(const std::string& name, double value) {
    return PutNumber(TypedField(name, Version() == 0x30 ? "BFGMNITY" : "BFGMN"), value);
}

// ---- dates -----------------------------------------------------------------------------

int32_t GSO_dBaseFld::GetDate(int n) {
    const TgsDBFField* f = FieldAt(n);
    if (!f) return 0;
    std::string text = RawText(*f);
    try {
        return TgsDBFDate::Instance().JulianFromText(text);
    } catch (const EConvertError&) {
        InvalidValue("date", *f, text);
    }
}

int32_t GSO_dBaseFld::GetDateByName(const std::string& name) {
    return GetDate(TypedField(name, "D"));
}

bool GSO_dBaseFld::PutDate(int n, int32_t day) {
    const TgsDBFField* f = FieldAt(n);
    if (!f) return false;
    if (day == -1) ReportError(gsErr::kBadFieldType, gsSub::kPutDate, "");
    if (f->type != 'D') return false;
    return PutText(n, TgsDBFDate::Instance().JulianToStorage(day));
}

bool GSO_dBaseFld::PutDateByName(const std::string& name, int32_t day) {
    return PutDate(TypedField(name, "D"), day);
}

// ---- logicals --------------------------------------------------------------------------

bool GSO_dBaseFld::GetLogical(int n) {
    const TgsDBFField* f = FieldAt(n);
    if (!f) return false;
    return fieldcodec::Logical(reinterpret_cast<const char*>(CurrentBuffer()) + f->position, static_cast<size_t>(f->length));
}

bool GSO_dBaseFld::GetLogicalByName(const std::string& name) {
    return GetLogical(TypedField(name, "L"));
}

bool GSO_dBaseFld::PutLogical(int n, bool value) {
    const TgsDBFField* f = FieldAt(n);
    if (!f) return false;
    if (f->type != 'L') ReportError(gsErr::kBadFieldType, gsSub::kFieldType, "");
    return PutText(n, value ? "T" : "F");
}

bool GSO_dBaseFld::PutLogicalByName(const std::string& name, bool value) {
    return PutLogical(TypedField(name, "L"), value);
}

// ---- display and text input --------------------------------------------------------------

std::string GSO_dBaseFld::GetDisplayText(int n) {
    const TgsDBFField* f = FieldAt(n);
    if (!f) return "";
    if (BinaryField(*f)) {
        // Binary forms have no text of their own: show their values.
        switch (f->type) {
            case 'M': return GetNumber(n) > 0.1 ? "---MEMO---" : "---memo---";
            case 'G': return GetNumber(n) > 0.1 ? "-GENERAL--" : "-general--";
            case 'I': return FormatFieldNumber(GetNumber(n), 0, 0);
            case 'Y': return FormatFieldNumber(GetNumber(n), 0, 4);
            case 'B': return FormatFieldNumber(GetNumber(n), 0, f->decimals);
            case 'T': {
                if (f->length < 8) return "";
                // Day and milliseconds straight from their two integers: any bytes are
                // possible here, and only a real day and time of day are shown.
                const uint8_t* p = CurrentBuffer() + f->position;
                const int32_t day = FourBlanks(p) ? gsBaseJulianDay : gsBytes::GetI32LE(p);
                const int32_t ms = FourBlanks(p + 4) ? 0 : gsBytes::GetI32LE(p + 4);
                constexpr int32_t kLastDay = 5373484;  // 31 December 9999
                if (day <= gsDateTimeJulianOffset || day > kLastDay || ms < 0 || ms >= 86400000) {
                    return "";
                }
                const int64_t secs = ms / 1000;
                char buf[16];
                std::snprintf(buf, sizeof buf, " %02d:%02d:%02d", static_cast<int>(secs / 3600),
                              static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60));
                return TgsDBFDate::Instance().JulianToDisplay(day) + buf;
            }
        }
    }
    std::string text = TrimRightBlanks(RawText(*f));
    switch (f->type) {
        case 'B': return TrimLeftBlanks(text) > "0" ? "--BINARY--" : "--binary--";
        case 'G': return TrimLeftBlanks(text) > "0" ? "-GENERAL--" : "-general--";
        case 'M': return TrimLeftBlanks(text) > "0" ? "---MEMO---" : "---memo---";
        case 'D': return TgsDBFDate::Instance().JulianToDisplay(TgsDBFDate::Instance().JulianFromText(text));
        case 'F':
        case 'N': {
            std::string t = TrimLeftBlanks(text);
            return t.empty() ? FormatFieldNumber(0, 0, f->decimals) : t;
        }
        case 'L': return GetLogical(n) ? "T" : "F";
        default: return text;
    }
}

std::string GSO_dBaseFld::GetDisplayTextByName(const std::string& name) {
    return GetDisplayText(FieldDescriptor(name)->number);
}

bool GSO_dBaseFld::PutFromText(int n, const std::string& text) {
    const TgsDBFField* f = FieldAt(n);
    if (!f) return false;
    if (f->type == 'D') return PutDate(n, TgsDBFDate::Instance().JulianFromText(text));
    if (f->type == 'N') {
        std::string t = TrimRightBlanks(text);
        if (t.size() > 32) t.resize(32);
        double value = 0;
        if (!t.empty() && !ParseFieldNumber(t, value)) {
            ReportError(gsErr::kBadFieldType, gsSub::kPutNumber, "");
        }
        return PutNumber(n, value);
    }
    return PutText(n, text);
}

bool GSO_dBaseFld::PutFromTextByName(const std::string& name, const std::string& text) {
    return PutFromText(FieldDescriptor(name)->number, text);
}

// ---- records ---------------------------------------------------------------------------

void GSO_dBaseFld::BlankRecord() {
    std::memset(CurrentBuffer(), ' ', RecordLength());
    const bool fox = Version() == gsVersionVisualFox;
    for (const TgsDBFField& f : Fields()) {
        if (f.type == 'N' || f.type == 'F' || (fox && std::strchr("BGIMTY", f.type) && f.type)) {
            PutNumber(f.number, 0);
        }
    }
    Notify(gsNotify::kBlankRecord, 0);
}

void GSO_dBaseFld::DeleteRecord() {
    CurrentBuffer()[0] = '*';
    PutRecord(RecordNumber());
}

void GSO_dBaseFld::RecallRecord() {
    CurrentBuffer()[0] = ' ';
    PutRecord(RecordNumber());
}

// ---- memo fields -------------------------------------------------------------------------

std::unique_ptr<GSobjMemo> GSO_dBaseFld::MakeMemoObject(const std::string& tablePath) {
    if (!hasMemo_) return nullptr;
    std::unique_ptr<GSobjMemo> memo = CreateMemoObject(this, tablePath, Version(), IsReadWrite(), IsShared());
    if (memo && LockProtocol() >= 0 && LockProtocol() <= 3) {
        memo->MemoSetLockProtocol(static_cast<TgsLokProtocol>(LockProtocol()));
    }
    return memo;
}

GSobjMemo* GSO_dBaseFld::MemoFile(int n) {
    if (!IsMemoField(n) || !hasMemo_) return nullptr;
    auto& slot = memos_[static_cast<size_t>(n - 1)];
    if (!slot) slot = MakeMemoObject(RealPath());
    return slot.get();
}

int32_t GSO_dBaseFld::MemoBlockNumber(int n) {
    const double block = std::trunc(GetNumber(n));
    // A damaged or hostile field ("9999999999", "1e999") holds no usable block number;
    // converting it to a 32-bit number would be undefined.
    if (!(block >= INT32_MIN && block <= INT32_MAX)) {
        ReportError(gsErr::kMemoFormat, gsSub::kMemoFormat,
                    TableName() + "->" + FieldName(n) + ": the memo block number " +
                        TrimLeftBlanks(TrimRightBlanks(GetText(n))) + " is out of range");
    }
    return static_cast<int32_t>(block);
}

int32_t GSO_dBaseFld::MemoSize(int n) {
    GSobjMemo* memo = MemoFile(n);
    if (!memo) return 0;
    return memo->MemoLength(MemoBlockNumber(n));
}

int32_t GSO_dBaseFld::MemoRead(int n, char* buffer, int32_t size) {
    GSobjMemo* memo = MemoFile(n);
    if (!memo || size <= 0) return 0;
    int32_t count = size;
    memo->MemoRead(MemoBlockNumber(n), buffer, count);
    return count;
}

std::string GSO_dBaseFld::MemoText(int n) {
    GSobjMemo* memo = MemoFile(n);
    if (!memo) return "";
    return memo->MemoText(MemoBlockNumber(n));
}

GSobjMemo* GSO_dBaseFld::WritableMemo(int n) {
    GSobjMemo* memo = MemoFile(n);
    if (!memo) {
        ReportError(gsErr::kBadFieldType, gsSub::kFieldType,
                    FieldName(n) + ": " + (IsMemoField(n) ? "the table has no memo file" : "not a memo field"));
    }
    return memo;
}

bool GSO_dBaseFld::MemoWrite(int n, const char* buffer, int32_t size) {
    GSobjMemo* memo = WritableMemo(n);
    MemoSetBlock(n, memo->MemoWrite(MemoBlockNumber(n), buffer, size));
    return true;
}

int32_t GSO_dBaseFld::MemoWriteNew(int n, const char* buffer, int32_t size) {
    return WritableMemo(n)->MemoWrite(0, buffer, size);
}

void GSO_dBaseFld::MemoSetBlock(int n, int32_t block) {
    // "No memo" is stored as blanks, as other programs expect, rather than as a 0.
    if (block == 0 && !BinaryField(*FieldAt(n))) {
        PutText(n, "");
    } else {
        PutNumber(n, block);
    }
}

void GSO_dBaseFld::MemoRelease(int n, int32_t block) {
    if (block != 0) WritableMemo(n)->MemoFree(block);
}

void GSO_dBaseFld::FlushCompanions() {
    for (auto& m : memos_) {
        if (m) {
            m->Flush();
            break;
        }
    }
}

void GSO_dBaseFld::RenameCompanions(const std::string& oldPath) {
    for (auto& m : memos_) {
        if (m) {
            m->MemoRename(RealPath());
            return;
        }
    }
    if (!hasMemo_) return;
    // No field has touched its memo yet: rename it through a memo object of our own.
    if (std::unique_ptr<GSobjMemo> memo = MakeMemoObject(oldPath)) memo->MemoRename(RealPath());
}
