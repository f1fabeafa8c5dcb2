#include "app/tables/TableCheck.h"

#include "engine/dBaseDBF.h"

RecordCountCheck CheckRecordCount(const GSO_dBaseDBF& table) {
    return {static_cast<int64_t>(table.Header().StoredCount()), table.RecordCount()};
}
