// Record layouts and the data dictionary their fields come from. A field is known across
// layouts by its local number; its dictionary entry gives its names, its choice table and
// the type and length it usually has, and each layout places it at a column of its own.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vetra::writer {

inline constexpr std::size_t maxFieldNameLength = 25;
inline constexpr std::size_t maxFieldDescriptionLength = 50;
inline constexpr std::size_t maxLayoutNameLength = 30;
inline constexpr long maxLocalNumber = 99'999'999; // eight digits in the tables
inline constexpr int maxLayoutNumber = 9999;
inline constexpr int maxFirstColumn = 99'999;
inline constexpr std::size_t maxLayoutFields = 9999; // the catalogue counts them in four digits

struct DictionaryEntry {
    long localNumber = 0;
    std::string shortName;
    std::string longName;  // blank: the short name
    std::string thirdName; // blank: the short name
    std::string typeCode;  // see field_type.h
    int length = 0;
    // Doubles as the field's choice table, e.g. "SEX.DBF" or "SITES.DBF.CODE(1,2)".
    std::string description;
    char flag = ' ';

    bool operator==(const DictionaryEntry&) const = default;
};

struct LayoutField {
    long localNumber = 0;
    std::string typeCode;
    int firstColumn = 0; // counting from 1
    int length = 0;
    char flag = ' ';
};

struct RecordLayout {
    int number = 0;
    std::string name; // unique among the layouts, without regard to case
    std::string description;
    std::vector<LayoutField> fields;
};

// Each throws WriterError naming what is wrong. These check a value on its own; whether a
// layout's fields are in the dictionary is checked as the layout is added (record_layouts.h).
void validateDictionaryEntry(const DictionaryEntry& entry);
void validateLayoutField(const LayoutField& field);
void validateLayout(const RecordLayout& layout);

// The length of the records a layout describes: the last column any of its fields reaches.
int layoutRecordLength(const RecordLayout& layout);

} // namespace vetra::writer
