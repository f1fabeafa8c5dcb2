#include "app/tables/ResultsLog.h"

#include "dataset/RidedezDataSet.h"

void AddResultFields(TRidedezDataSet& info) {
    info.AddField("NAME", TFieldType::ftString, 15);
    info.AddField("VARIANT", TFieldType::ftString, 2);
    info.AddField("COUNT", TFieldType::ftSmallint);
    info.AddField("TRUECOUNT", TFieldType::ftSmallint);
    info.AddField("DATE", TFieldType::ftDate);
}

namespace {

// The purge of old results, the pack and the append.
void PurgeAndAppend(TRidedezDataSet& info, const std::string& name, const std::string& variant, int questionCount,
                    int rightCount) {
    const TDateTime now = Now();
    if (info.RecordCount() > 0) {
        info.First();
        while (!info.Eof()) {
            if (now - info.FieldByName("Date").AsDateTime() > 31) {
                // Delete already moves on to the next record; from the last one it goes
                // back to the one before, which has been looked at.
                const int32_t deleted = info.RecNo();
                info.Delete();
                if (info.IsEmpty() || info.RecNo() <= deleted) break;
            } else {
                info.Next();
            }
        }
        info.Pack();
    }
    info.AppendRecord({Text(name), Text(variant), Integer(questionCount), Integer(rightCount), DateOf(now)});
}

}  // namespace

void RecordResult(TRidedezDataSet& info, const std::string& name, const std::string& variant, int questionCount,
                  int rightCount) {
    // The purge looks at every record once in record order: an order or a filter chosen
    // in the results window is put aside while the log is written, and back afterwards.
    const std::string tag = info.Active() ? info.IndexName() : std::string();
    const bool filtered = info.Active() && info.Filtered();
    auto restore = [&] {
        if (!tag.empty()) info.SetIndexName(tag);
        if (filtered) info.SetFiltered(true);
    };
    if (filtered) info.SetFiltered(false);
    if (!tag.empty()) info.SetIndexName("");
    try {
        PurgeAndAppend(info, name, variant, questionCount, rightCount);
    } catch (...) {
        try {
            restore();
        } catch (...) {
            // The first failure is the one to report.
        }
        throw;
    }
    restore();
}
