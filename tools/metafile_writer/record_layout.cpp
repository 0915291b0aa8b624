#include "tools/metafile_writer/record_layout.h"

#include "tools/metafile_writer/field_type.h"
#include "tools/metafile_writer/writer_error.h"

#include <algorithm>
#include <string_view>

namespace vetra::writer {

namespace {

bool isPrintableAscii(char c) {
    return c >= ' ' && c < 0x7F;
}

void validateText(std::string_view what, const std::string& text, std::size_t maxLength) {
    if (text.size() > maxLength)
        throw WriterError(std::string(what) + " \"" + text + "\" is longer than " +
                          std::to_string(maxLength) + " characters");
    if (!std::all_of(text.begin(), text.end(), isPrintableAscii))
        throw WriterError(std::string(what) + " \"" + text +
                          "\" may hold only printable ASCII characters");
}

void validateFlag(char flag) {
    if (!isPrintableAscii(flag))
        throw WriterError("the flag must be one printable ASCII character or a blank");
}

void validateLocalNumber(long localNumber) {
    if (localNumber < 1 || localNumber > maxLocalNumber)
        throw WriterError("local number " + std::to_string(localNumber) + " is not from 1 to " +
                          std::to_string(maxLocalNumber));
}

// Errors about one field name it, so that the author can find it among hundreds.
template <class Check> void forField(long localNumber, Check check) {
    try {
        check();
    } catch (const WriterError& error) {
        throw WriterError("field " + std::to_string(localNumber) + ": " + error.what());
    }
}

} // namespace

void validateDictionaryEntry(const DictionaryEntry& entry) {
    validateLocalNumber(entry.localNumber);
    forField(entry.localNumber, [&] {
        if (entry.shortName.empty()) throw WriterError("the short name is blank");
        validateText("short name", entry.shortName, maxFieldNameLength);
        validateText("long name", entry.longName, maxFieldNameLength);
        validateText("third name", entry.thirdName, maxFieldNameLength);
        validateText("description", entry.description, maxFieldDescriptionLength);
        validateFieldType(entry.typeCode, entry.length);
        validateFlag(entry.flag);
    });
}

void validateLayoutField(const LayoutField& field) {
    validateLocalNumber(field.localNumber);
    forField(field.localNumber, [&] {
        validateFieldType(field.typeCode, field.length);
        if (field.firstColumn < 1 || field.firstColumn > maxFirstColumn)
            throw WriterError("first column " + std::to_string(field.firstColumn) +
                              " is not from 1 to " + std::to_string(maxFirstColumn));
        validateFlag(field.flag);
    });
}

void validateLayout(const RecordLayout& layout) {
    if (layout.number < 1 || layout.number > maxLayoutNumber)
        throw WriterError("layout number " + std::to_string(layout.number) + " is not from 1 to " +
                          std::to_string(maxLayoutNumber));
    try {
        if (layout.name.empty()) throw WriterError("the layout needs a name");
        validateText("layout name", layout.name, maxLayoutNameLength);
        if (layout.fields.empty()) throw WriterError("the layout has no fields");
        if (layout.fields.size() > maxLayoutFields)
            throw WriterError("the layout has more than " + std::to_string(maxLayoutFields) +
                              " fields");
        for (const LayoutField& field : layout.fields)
            validateLayoutField(field);
    } catch (const WriterError& error) {
        throw WriterError("layout " + std::to_string(layout.number) + ": " + error.what());
    }
}

int layoutRecordLength(const RecordLayout& layout) {
    int length = 0;
    for (const LayoutField& field : layout.fields)
        length = std::max(length, field.firstColumn + field.length - 1);
    return length;
}

} // namespace vetra::writer
