#include "record_functions.h"

#include "engine/library/argument_reader.h"
#include "engine/store/TMetaFile.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace vetra {

namespace {

constexpr int32_t kGetfieldTag = 28;
constexpr size_t kMaxFieldText = 999;
constexpr const char* kRecordWrittenVariable = "_BUFDIRTY";

// The field reference that opens getfield and putfield; `code` when the token is another.
int32_t fieldNumberArgument(ArgumentReader& arguments, int32_t code, const char* function) {
    TokenReader& tokens = arguments.interpreter().tokens();
    tokens.VTi_GetToken();
    if (tokens.token().kind != kFieldReference) arguments.fail(code, function);
    return tokens.token().fieldReference;
}

// The field's entry in `layout`, or the first entry of that number in any layout; -1 or
// less when there is none.
int32_t fieldHandle(TMetaFile& instance, int32_t number, std::optional<int32_t> layout) {
    return layout ? instance.layouts().fieldForLocalInLayout(number, *layout)
                  : instance.layouts().fieldForLocal(number);
}

void markWritten(TMetaFile& instance, int32_t layout) {
    instance.variables().VTi_SetVar(EngineVariables::indexedName(kRecordWrittenVariable, layout),
                                    "Y");
}

bool isBlankText(const FieldSlot& slot) {
    for (int32_t i = 0; i < slot.length; ++i) {
        char c = slot.value[i];
        if (c == '\0') return true;
        if (c != ' ' && c != '\t') return false;
    }
    return true;
}

bool isBlankField(TMetaFile& instance, int32_t handle) {
    const FieldSlot& slot = instance.fieldTable().slots()[static_cast<size_t>(handle)];
    if (slot.value == nullptr || slot.length <= 0) return true;
    switch (slot.typeCode[0]) {
    case 'C':
    case 'R':
    case 'S':
    case 'T':
    case 'Z':
        return isBlankText(slot);
    case 'D': {
        const char* value = instance.fieldAccess().VTi_FldAccess(handle);
        return value == nullptr || textToInteger(value) == 0;
    }
    case 'I':
    case 'L': {
        uint8_t bytes[4] = {};
        std::memcpy(bytes, slot.value, std::min<size_t>(4, static_cast<size_t>(slot.length)));
        return (bytes[0] | bytes[1] | bytes[2] | bytes[3]) == 0;
    }
    default:
        return true; // other types are not tested
    }
}

} // namespace

int32_t call_getfield(TMetaFile& instance) {
    return guarded(instance, 495, "call_getfield", [&](ArgumentReader& arguments) {
        arguments.open();
        int32_t number = fieldNumberArgument(arguments, 2038, "call_getfield");
        std::optional<int32_t> layout;
        if (arguments.another(2039, "call_getfield")) {
            layout = arguments.count();
            arguments.close();
        }
        int32_t handle = fieldHandle(instance, number, layout);
        const char* value = handle >= 0 ? instance.fieldAccess().VTi_FldAccess(handle) : nullptr;
        std::string_view text = value != nullptr ? value : "";
        return arguments.temporaryText(text.substr(0, kMaxFieldText), kGetfieldTag, 2040,
                                       "call_getfield");
    });
}

int32_t call_putfield(TMetaFile& instance) {
    return guarded(instance, 491, "call_putfield", [&](ArgumentReader& arguments) {
        arguments.open();
        int32_t number = fieldNumberArgument(arguments, 2036, "call_putfield");
        arguments.comma();
        std::string text = arguments.text().text;
        std::optional<int32_t> layout;
        if (arguments.another(2037, "call_putfield")) {
            layout = arguments.layoutNumber();
            arguments.close();
            if (*layout < 1) return 0;
        }
        int32_t handle = fieldHandle(instance, number, layout);
        if (handle < 0) return 0;
        instance.fieldAccess().VTi_writefield(handle, text);
        markWritten(instance,
                    instance.fieldTable().slots()[static_cast<size_t>(handle)].layoutNumber);
        return 0;
    });
}

int32_t call_copyrecord(TMetaFile& instance) {
    return guarded(instance, 492, "call_copyrecord", [&](ArgumentReader& arguments) {
        arguments.open();
        std::string destinationName = arguments.text().text;
        arguments.comma();
        std::string sourceName = arguments.text().text;
        arguments.close();
        int32_t destination = instance.layouts().layoutNumberByName(destinationName);
        int32_t source = instance.layouts().layoutNumberByName(sourceName);
        if (destination < 1) return 0;
        auto slots = instance.fieldTable().slots();
        for (size_t to = 0; to < slots.size(); ++to) {
            if (!FieldTable::inUse(slots[to]) || slots[to].layoutNumber != destination) continue;
            for (size_t from = 0; from < slots.size(); ++from)
                if (FieldTable::inUse(slots[from]) && slots[from].layoutNumber == source &&
                    slots[from].localNumber == slots[to].localNumber)
                    instance.fieldAccess().copyField(static_cast<int32_t>(to),
                                                     static_cast<int32_t>(from));
        }
        markWritten(instance, destination);
        return 0;
    });
}

int32_t call_recordempty(TMetaFile& instance) {
    return guarded(instance, 497, "call_recordempty", [&](ArgumentReader& arguments) {
        arguments.open(2042, "call_recordempty");
        int32_t layout = arguments.count();
        arguments.close();
        auto slots = instance.fieldTable().slots();
        for (size_t i = 0; i < slots.size(); ++i)
            if (FieldTable::inUse(slots[i]) && slots[i].layoutNumber == layout &&
                !isBlankField(instance, static_cast<int32_t>(i)))
                return 0;
        return 1;
    });
}

} // namespace vetra
