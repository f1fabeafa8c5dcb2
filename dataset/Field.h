#pragma once
// TField: one field of a dataset, giving the active record's value of that field in the
// kind of its type and taking new values into the record buffer. Text and memo fields
// translate through the dataset (OEM to ANSI on reading, ANSI to OEM on writing); a text
// value is cut to the field's size before it is stored.

#include <functional>
#include <string>

#include "dataset/FieldTypes.h"
#include "dataset/FieldValue.h"

class TDataSet;

class TField {
public:
    TField(TDataSet& dataset, std::string name, TFieldType type, int size, TFieldKind kind);
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    TDataSet& DataSet() const { return dataset_; }
    const std::string& FieldName() const { return name_; }
    TFieldType DataType() const { return type_; }
    TFieldKind FieldKind() const { return kind_; }
    int Size() const { return size_; }
    // The number of the table field this field is bound to (from 1); 0 for calculated ones.
    int FieldNo() const { return fieldNo_; }
    bool Calculated() const { return kind_ == TFieldKind::fkCalculated; }
    bool IsBlob() const { return IsBlobType(type_); }
    std::string DisplayName() const { return displayLabel.empty() ? name_ : displayLabel; }

    bool readOnly = false;
    bool required = false;
    bool transliterate = false;  // set for text and memo fields
    std::string displayLabel;
    std::function<void(TField&)> onValidate;
    std::function<void(TField&)> onChange;

    // The value in the field's own kind: text (text, memo, blob), integer (small integer,
    // integer), real (float), date, date-time, logical; or null.
    TFieldValue Value() const;
    bool IsNull() const;
    std::string AsString() const;
    int32_t AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;
    // The value of the record as it was before the current edit.
    TFieldValue OldValue() const;
    std::string DisplayText() const;

    // Converts `value` to the field's kind and stores it; null clears the field.
    void SetValue(const TFieldValue& value);
    void SetAsString(const std::string& value);
    void SetAsInteger(int32_t value);
    void SetAsFloat(double value);
    void SetAsBoolean(bool value);
    void SetAsDateTime(TDateTime value);
    void Clear();

    // Binding, done by the dataset.
    void Bind(int fieldNo) { fieldNo_ = fieldNo; }
    size_t calcOffset = 0;  // where its presence byte lies in the calculated-field area
    size_t CalcValueSize() const;

private:
    TFieldValue Convert(const TFieldValue& value) const;
    [[noreturn]] void AccessError(const char* typeName) const;

    TDataSet& dataset_;
    std::string name_;
    TFieldType type_;
    int size_;
    TFieldKind kind_;
    int fieldNo_ = 0;
};

// Text of a real number as the framework writes it: up to 15 significant digits, the
// locale's decimal separator.
std::string FloatToText(double value);
// Reads a real number written with '.' or the locale's decimal separator; false when the
// text is not one.
bool TextToFloat(const std::string& text, double& value);
bool TextToInteger(const std::string& text, int64_t& value);
// Rounds to the nearest integer, a half to the even neighbour.
double RoundHalfEven(double value);
// The text of a value as a field's AsString gives it: numbers as FloatToText and decimal
// integers write them, dates in the locale's short format, "True" or "False", "" for null.
std::string ValueToText(const TFieldValue& value);
