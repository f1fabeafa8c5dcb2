#include "dataset/DataSource.h"

#include <algorithm>

#include "dataset/DataSet.h"

TDataSource::TDataSource(TDataSet* dataSet) { SetDataSet(dataSet); }

TDataSource::~TDataSource() {
    if (dataSet_) dataSet_->RemoveSource(this);
    dataSet_ = nullptr;
    // Links outlive their source only detached.
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links) link->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_) return;
    if (dataSet_) dataSet_->RemoveSource(this);
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->AddSource(this);
    UpdateLinks();
}

void TDataSource::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    UpdateLinks();
}

void TDataSource::DataSetDestroyed() {
    dataSet_ = nullptr;
    UpdateLinks();
}

void TDataSource::UpdateLinks() {
    // A link may detach itself (or others) while it is told: walk a copy, and skip the
    // ones that left meanwhile.
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->UpdateActive();
    }
}

void TDataSource::DataEvent(TDataEvent event, TField* field) {
    if (event == TDataEvent::deUpdateState) {
        UpdateLinks();
        return;
    }
    if (!enabled_) return;
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links) {
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Notify(event, field);
    }
}

void TDataSource::AddLink(TDataLink* link) { links_.push_back(link); }

void TDataSource::RemoveLink(TDataLink* link) { links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end()); }

TDataLink::~TDataLink() {
    if (source_) source_->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
    if (source == source_) return;
    if (source_) source_->RemoveLink(this);
    source_ = source;
    if (source_) source_->AddLink(this);
    UpdateActive();
}

TDataSet* TDataLink::DataSet() const { return source_ ? source_->DataSet() : nullptr; }

void TDataLink::UpdateActive() {
    const bool now = source_ && source_->Enabled() && source_->DataSet() && source_->DataSet()->Active();
    if (now == active_) return;
    active_ = now;
    ActiveChanged();
}

void TDataLink::Notify(TDataEvent event, TField* field) {
    if (!active_) return;
    switch (event) {
        case TDataEvent::deDataSetChange: DataSetChanged(); break;
        case TDataEvent::deDataSetScroll: DataSetScrolled(); break;
        case TDataEvent::deFieldChange: RecordChanged(field); break;
        case TDataEvent::deUpdateState: break;
    }
}
