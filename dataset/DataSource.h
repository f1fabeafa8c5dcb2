#pragma once
// A data source: what links a dataset to the controls, and a detail dataset to its
// master. The dataset tells its sources of every change of state, position or data;
// each source passes the news on to the data links attached to it.

#include <vector>

class TDataSet;
class TDataLink;
class TField;

// What happened to a dataset.
enum class TDataEvent {
    deUpdateState,    // opened, closed, or the state changed
    deDataSetChange,  // the records shown were read again (first, last, post, delete, ...)
    deDataSetScroll,  // the cursor moved by some records
    deFieldChange,    // a field of the current record was given a value
};

class TDataSource {
public:
    explicit TDataSource(TDataSet* dataSet = nullptr);
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    // A disabled source tells its links nothing, and they see no active dataset.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);

    // Called by the dataset.
    void DataEvent(TDataEvent event, TField* field);
    // The dataset is going away.
    void DataSetDestroyed();

private:
    friend class TDataLink;
    void AddLink(TDataLink* link);
    void RemoveLink(TDataLink* link);
    void UpdateLinks();

    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    std::vector<TDataLink*> links_;
};

// One user of a data source. It is active while its source is enabled and the source's
// dataset is open; the virtuals tell it what happened.
class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const;
    bool Active() const { return active_; }

protected:
    virtual void ActiveChanged() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled() { DataSetChanged(); }
    // A field was given a value (null: the whole record changed).
    virtual void RecordChanged(TField* field) { (void)field; }

private:
    friend class TDataSource;
    void Notify(TDataEvent event, TField* field);
    // Recomputes whether the link is active; calls ActiveChanged when that changes.
    void UpdateActive();

    TDataSource* source_ = nullptr;
    bool active_ = false;
};
