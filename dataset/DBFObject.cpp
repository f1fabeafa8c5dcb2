#include "dataset/DBFObject.h"

#include "dataset/RidedezDataSet.h"
#include "index/core/GSobjIndexTag.h"

DBFObject::DBFObject(TRidedezDataSet* owner, const std::string& path, bool readWrite, bool shared)
    : GSO_dBHandler(path, readWrite, shared), owner_(owner) {}

DBFObject::~DBFObject() = default;

void DBFObject::GoRecord(int32_t n) {
    GSO_dBHandler::GoRecord(n);
    GSobjIndexTag* tag = SelectedTag();
    if (n > 0 && tag && !Eof() && !Bof() && RecordNumber() == n && tag->CurrentEntry().link != n) {
        tag->Reload(gsReloadCurrentRecord);
    }
}

void DBFObject::StatusReport(int stat1, int stat2, int stat3) {
    if (owner_ && owner_->WantsStatus()) owner_->StatusReport(stat1, stat2, stat3);
}

bool DBFObject::RecordVisible() {
    if (!GSO_dBHandler::RecordVisible()) return false;
    return owner_ && owner_->ChecksRecords() ? owner_->RecordAccepted() : true;
}

int DBFObject::FormulaHook(const std::string& who, const std::string& st, std::string& rsl, char& typ, bool& chg) {
    return owner_ ? owner_->FormulaHook(who, st, rsl, typ, chg) : -1;
}
