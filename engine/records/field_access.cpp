#include "field_access.h"

#include "engine/records/date_field_format.h"
#include "engine/store/table_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace vetra {

namespace {

char typeLetter(const FieldSlot& slot) {
    return slot.typeCode[0];
}

int32_t storedInteger(const FieldSlot& slot) {
    uint32_t value = 0;
    for (int32_t i = 0; i < 4 && i < slot.length; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(slot.value[i])) << (8 * i);
    return static_cast<int32_t>(value);
}

void storeBytes(FieldSlot& slot, std::string_view bytes) {
    std::memcpy(slot.value, bytes.data(), std::min(bytes.size(), static_cast<size_t>(slot.length)));
}

// Right-justified values lose their trailing blanks and line ends and their leading blanks
// and tabs.
std::string_view trimmedForJustification(std::string_view value) {
    size_t end = value.find_last_not_of(" \r\n");
    value = end == std::string_view::npos ? std::string_view() : value.substr(0, end + 1);
    size_t start = value.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string_view() : value.substr(start);
}

} // namespace

FieldSlot* FieldAccess::boundSlot(int32_t handle) {
    auto slots = fields_.slots();
    if (handle < 0 || static_cast<size_t>(handle) >= slots.size()) return nullptr;
    FieldSlot& slot = slots[static_cast<size_t>(handle)];
    return slot.value != nullptr && slot.length > 0 ? &slot : nullptr;
}

const char* FieldAccess::VTi_FldAccess(int32_t handle) {
    facts_.dateEmpty = false;
    facts_.lastDateFormat = ' ';
    FieldSlot* slot = boundSlot(handle);
    if (slot == nullptr) {
        if (facts_.emptyIndicator == 0) facts_.emptyIndicator = 2;
        return nullptr;
    }
    size_t length = std::min(static_cast<size_t>(slot->length), kTextCapacity - 1);
    std::memcpy(text_, slot->value, length);
    text_[length] = '\0';
    switch (std::toupper(static_cast<unsigned char>(typeLetter(*slot)))) {
    case 'I':
    case 'L':
        std::snprintf(text_, kTextCapacity, "%d", storedInteger(*slot));
        break;
    case 'D': {
        char format = slot->typeCode[1] == '\0' ? ' ' : slot->typeCode[1];
        facts_.lastDateFormat = format;
        DateRead date = readDateField({text_, length}, format, facts_.blankFirstMonthDigit);
        facts_.dateEmpty = date.empty;
        if (date.status != 0) facts_.dateStatus = date.status;
        if (date.value != 0 && facts_.dateStatus == 0)
            std::snprintf(text_, kTextCapacity, "%ld", static_cast<long>(date.value));
        break;
    }
    default:
        break; // every other type reads as the field's characters
    }
    if (facts_.emptyIndicator == 0) {
        size_t width = std::min(static_cast<size_t>(slot->displayWidth), kTextCapacity - 1);
        size_t shown = strnlen(text_, width);
        if (std::all_of(text_, text_ + shown, [](char c) { return c == ' '; }))
            facts_.emptyIndicator = 1;
    }
    return text_;
}

void FieldAccess::VTi_writefield(int32_t handle, std::string_view value,
                                 std::optional<char> dateFormat) {
    FieldSlot* slot = boundSlot(handle);
    if (slot == nullptr) return;
    auto length = static_cast<size_t>(slot->length);
    switch (typeLetter(*slot)) {
    case 'C':
        // An empty value stores a blank rather than a zero byte inside the record.
        slot->value[0] = value.empty() ? ' ' : value[0];
        break;
    case 'R':
    case 'T': {
        std::string_view text = trimmedForJustification(value).substr(0, length);
        std::string justified(length - text.size(), ' ');
        justified.append(text);
        storeBytes(*slot, justified);
        if (typeLetter(*slot) == 'T') slot->value[length] = '\0';
        break;
    }
    case 'S':
    case 'Z': {
        std::string padded(value.substr(0, length));
        padded.resize(length, typeLetter(*slot) == 'S' ? ' ' : '\0');
        storeBytes(*slot, padded);
        if (typeLetter(*slot) == 'Z') slot->value[length] = '\0';
        break;
    }
    case 'D': {
        char format = slot->typeCode[1];
        if (!isDateFormat(format)) break;
        std::string generalized =
            dateFormat ? VTi_generalizeDate(value, *dateFormat) : generalizePlainDate(value);
        // An empty date leaves no characters: the field is cleared.
        if (generalized.empty()) generalized = std::string(8, ' ');
        storeBytes(*slot, storedDate(generalized, format));
        break;
    }
    case 'I':
    case 'L': {
        auto number = static_cast<uint32_t>(parseDecimalText(value));
        char bytes[4];
        for (size_t i = 0; i < 4; ++i)
            bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
        storeBytes(*slot, {bytes, 4});
        break;
    }
    default:
        break; // other types are not written
    }
}

void FieldAccess::copyField(int32_t destination, int32_t source) {
    FieldSlot* from = boundSlot(source);
    FieldSlot* to = boundSlot(destination);
    if (from == nullptr || to == nullptr) return;
    char format = from->typeCode[1];
    if (typeLetter(*to) == 'D' && typeLetter(*from) == 'D' && isDateFormat(format)) {
        bool binary = format == '2' || format == '4';
        std::string text = binary ? std::to_string(storedInteger(*from))
                                  : std::string(from->value, static_cast<size_t>(from->length));
        VTi_writefield(destination, text, format);
        return;
    }
    const char* value = VTi_FldAccess(source);
    VTi_writefield(destination, value != nullptr ? value : "");
}

} // namespace vetra
