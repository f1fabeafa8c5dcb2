// The table's filter: a logical expression evaluated once for every record into a bit
// per record, which the record movement walks and every write keeps up to date.

#include "engine/Exception.h"
#include "engine/dBHandler.h"
#include "index/core/TgsHugeSet.h"
#include "index/expr/TgsExpHandler.h"
#include "index/expr/TgsVariant.h"

namespace {
const char* const kNotLogical = "Filter expression must return boolean result";
}

bool GSO_dBHandler::FilterActive() const {
    return filterWanted_ && filterHandler_ && filterHandler_->Root() != nullptr;
}

bool GSO_dBHandler::FilterBit(int32_t n) const { return filterBits_ && n >= 1 && filterBits_->TestBit(n); }

void GSO_dBHandler::SetFilterActive(bool wanted) { filterWanted_ = wanted; }

void GSO_dBHandler::SetFilter(const std::string& expression, bool caseInsensitive, bool partial) {
    const bool wanted = filterWanted_;
    if (!filterBits_) filterBits_ = std::make_unique<TgsHugeSet>();
    if (!filterHandler_) filterHandler_ = std::make_unique<TgsExpHandler>(UserLink());
    if (expression != filterText_ || caseInsensitive != filterCase_ || partial != filterPartial_ ||
        filterHandler_->Root() == nullptr) {
        filterText_ = expression;
        filterCase_ = caseInsensitive;
        filterPartial_ = partial;
        filterBits_->ClearAll();
        filterHandler_->caseInsensitive = caseInsensitive;
        filterHandler_->wildcard = partial;
        try {
            filterHandler_->SetExpression(expression);
        } catch (...) {
            filterText_.clear();
            throw;
        }
        if (filterHandler_->Root() != nullptr && filterHandler_->ResultType() != expkind::Logical) {
            filterHandler_->SetExpression(std::string());
            filterText_.clear();
            throw ERidedezError(kNotLogical);
        }
        if (filterHandler_->Root() != nullptr) ScanFilter();
    }
    SetFilterActive(wanted);
}

void GSO_dBHandler::ScanFilter() {
    const int32_t was = RecordNumber();
    const bool cacheWas = ReadAheadActive();
    const bool wanted = filterWanted_;
    GSobjIndexTag* tag = tag_;
    tag_ = nullptr;
    filterWanted_ = false;
    struct Restore {
        GSO_dBHandler* t;
        GSobjIndexTag* tag;
        bool wanted;
        bool cache;
        ~Restore() {
            t->tag_ = tag;
            t->filterWanted_ = wanted;
            t->SetReadAhead(cache);
        }
    };
    {
        Restore restore{this, tag, wanted, cacheWas};
        SetReadAhead(true);
        filterBits_->ClearAll();
        TgsVariant result;
        for (GoRecord(gsMoveTop); !Eof() && RecordNumber() > 0; GoRecord(gsMoveNext)) {
            if (filterHandler_->EvaluateToVariant(result) && result.Type() == TgsVariantType::Logical &&
                result.AsLogical())
                filterBits_->SetBit(RecordNumber(), TgsBitOperation::Set);
        }
    }
    if (was >= 1 && was <= RecordCount()) GoRecord(was);
}

void GSO_dBHandler::UpdateFilterBit() {
    if (!filterHandler_ || !filterBits_ || filterHandler_->Root() == nullptr) return;
    const int32_t n = RecordNumber();
    if (n < 1) return;
    TgsVariant result;
    const bool on = filterHandler_->EvaluateToVariant(result) && result.Type() == TgsVariantType::Logical &&
                    result.AsLogical();
    filterBits_->SetBit(n, on ? TgsBitOperation::Set : TgsBitOperation::Clear);
}

int32_t GSO_dBHandler::FilterMovement(int32_t code) {
    const int32_t highest = filterBits_->Highest();
    if (highest < 1) {
        SetEof(true);
        SetBof(true);
        return 0;
    }
    auto down = [&](int32_t from) {
        for (int32_t r = std::min(from, highest); r >= 1; --r)
            if (filterBits_->TestBit(r)) return r;
        SetBof(true);
        return 0;
    };
    auto up = [&](int32_t from) {
        for (int32_t r = std::max(from, 1); r <= highest; ++r)
            if (filterBits_->TestBit(r)) return r;
        SetEof(true);
        return 0;
    };
    switch (code) {
        case gsMoveReread: return RecordNumber();
        case gsMoveBottom: return down(highest);
        case gsMoveTop: return up(1);
        case gsMovePrior: return down(RecordNumber() - 1);
        default: return up(RecordNumber() + 1);
    }
}
