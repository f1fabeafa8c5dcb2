#pragma once
// The dataset's message texts. The framework's texts are those of the Russian system the
// program was made for (UTF-8 here); the table dataset's own are English.

namespace dsmsg {

// The table dataset.
inline constexpr const char* kTableNameMissing = "Table name missing";
inline constexpr const char* kCannotFindFile = "Cannot find file %s";
inline constexpr const char* kErrorGetting = "Error getting %s";
inline constexpr const char* kBeyondRange = "Record request beyond range of table";
inline constexpr const char* kCannotDelete = "Cannot delete the record";
inline constexpr const char* kCannotRecall = "Cannot recall the record";
inline constexpr const char* kBookmarkInvalid = "Bookmark is invalid for table ";
inline constexpr const char* kRecordLocked = "Record is locked by another user";
inline constexpr const char* kBusyIndexing = "Table is busy building an index";
inline constexpr const char* kBusyCopying = "Table is busy copying";
inline constexpr const char* kTagNotAssigned = "Index tag %s is not assigned";
inline constexpr const char* kNotEditing = "Dataset not in edit or insert mode";

// The framework.
inline constexpr const char* kDataSetClosed = "Не могу выполнить эту операцию над закрытой базой данных";
inline constexpr const char* kDataSetOpen =
    "Не могу выполнить эту операцию над открытым набором данных (dataset)";
inline constexpr const char* kDataSetEmpty = "Не могу выполнить эту операцию над пустой базой данных";
inline constexpr const char* kFieldReadOnly = "Поле '%s' не может быть изменено";
inline constexpr const char* kNotIndexField = "Поле '%s' не индексировано и не может быть изменено";
inline constexpr const char* kCircularLink = "Циклические связи не допускаются";
// Framework texts that the program never shows; kept in the framework's English form.
inline constexpr const char* kFieldNotFound = "Field '%s' not found";
inline constexpr const char* kDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* kFieldAccess = "Cannot access field '%s' as type %s";
inline constexpr const char* kNotBlobField = "Field '%s' is not a memo or blob field";
inline constexpr const char* kTooManyValues = "More values than fields";
inline constexpr const char* kInvalidValue = "'%s' is not a valid value for field '%s'";

// The version text of the component.
inline constexpr const char* kAbout = "Ridedez Version 06.02.00 (14 Oct 98)";

}  // namespace dsmsg
