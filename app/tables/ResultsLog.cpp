#include "app/tables/ResultsLog.h"

#include "dataset/RidedezDataSet.h"

void AddResultFields(TRidedezDataSet& info) {
    info.AddField("NAME", TFieldType::ftString, 15);
    info.AddField("VARIANT", TFieldType::ftString, 2);
    info.AddField("COUNT", TFieldType::ftSmallint);
    info.AddField("TRUECOUNT", TFieldType::ftSmallint);
    info.AddField("DATE", TFieldType::ftDate);
}

void RecordResult(TRidedezDataSet& info, const std::string& name, const std::string& variant, int questionCount,
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
