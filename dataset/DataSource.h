#pragma once
// A data source: what links a dataset to the controls, and a detail dataset to its
// master.

class TDataSet;

class TDataSource {
public:
    explicit TDataSource(TDataSet* dataSet = nullptr) : dataSet(dataSet) {}
    TDataSet* dataSet;
};
