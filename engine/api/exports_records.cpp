// Exported record buffer calls and field updates.
#include "engine/api/dispatch.h"
#include "engine/api/vetra40.h"
#include "engine/records/date_field_format.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

using vetra::dispatch;
using vetra::dispatchOperation;

namespace {

std::string_view textOf(const char* text) {
    return text != nullptr ? text : "";
}

constexpr const char* kRecordWrittenVariable = "_BUFDIRTY";

// The date format a two-character code names ("D1" to "DA"); none for any other code.
std::optional<char> dateFormatCode(const char* code) {
    if (code == nullptr || code[0] != 'D' || code[1] == '\0') return std::nullopt;
    if (!vetra::isDateFormat(code[1])) return std::nullopt;
    return code[1];
}

} // namespace

int32_t VTx_AllocRecord(int32_t mfID, int32_t recordLength, int32_t* hRecord) {
    return dispatch(mfID, [&](TMetaFile& mf) {
        int32_t handle = -1;
        int32_t status = mf.records().VTi_AllocRecord(recordLength, &handle);
        if (status == 0 && hRecord != nullptr) *hRecord = handle;
        return status;
    });
}

int32_t VTx_FreeRecord(int32_t mfID, int32_t hRecord) {
    return dispatchOperation(mfID, 928, "VTi_FreeRecord", [&](TMetaFile& mf) {
        if (const vetra::RecordSlot* slot = mf.records().find(hRecord))
            mf.layouts().detachBuffer(slot->buffer);
        return mf.records().VTi_FreeRecord(hRecord);
    });
}

int32_t VTx_RetrieveRecord(int32_t mfID, int32_t hRecord, char* buffer) {
    return dispatchOperation(mfID, 442, "VTi_RetrieveRecord", [&](TMetaFile& mf) {
        return mf.records().VTi_RetrieveRecord(hRecord, buffer);
    });
}

int32_t VTx_SetRecord(int32_t mfID, int32_t hRecord, char fill) {
    return dispatchOperation(mfID, 448, "VTi_SetRecord", [&](TMetaFile& mf) {
        return mf.records().VTi_SetRecord(hRecord, fill);
    });
}

int32_t VTx_UpdateRecord(int32_t mfID, int32_t hRecord, const char* text) {
    return dispatchOperation(mfID, 453, "VTi_UpdateRecord", [&](TMetaFile& mf) {
        return mf.records().VTi_UpdateRecord(hRecord, textOf(text));
    });
}

int32_t VTx_UpdateRecordEx(int32_t mfID, int32_t hRecord, const char* text, int32_t firstColumn,
                           int32_t width) {
    return dispatchOperation(mfID, 453, "VTi_UpdateRecord", [&](TMetaFile& mf) {
        return mf.records().VTi_UpdateRecordEx(hRecord, textOf(text), firstColumn, width);
    });
}

int32_t VTx_UpdateField(int32_t mfID, int32_t hField, const char* value, const char* dateFormat) {
    return dispatchOperation(mfID, 452, "VTi_UpdateField", [&](TMetaFile& mf) {
        auto slots = mf.fieldTable().slots();
        if (hField < 0 || static_cast<size_t>(hField) >= slots.size() ||
            !vetra::FieldTable::inUse(slots[static_cast<size_t>(hField)]))
            return -1;
        mf.lastError().guard(493, "VTi_writefield", [&] {
            mf.fieldAccess().VTi_writefield(hField, textOf(value), dateFormatCode(dateFormat));
        });
        return 0;
    });
}

int32_t VTx_RecWritten(int32_t mfID, const char* layoutName, int32_t* written) {
    return dispatchOperation(mfID, 441, "VTi_RecWritten", [&](TMetaFile& mf) {
        int32_t layout = mf.layouts().layoutNumberByName(textOf(layoutName));
        std::string value;
        int32_t status = mf.variables().VTi_GetVar(
            vetra::EngineVariables::indexedName(kRecordWrittenVariable, layout), &value);
        if (written != nullptr) *written = value == "Y" ? 1 : 0;
        return status;
    });
}

int32_t VTx_RecWriteClear(int32_t mfID, const char* layoutName) {
    return dispatchOperation(mfID, 440, "VTi_RecWriteClear", [&](TMetaFile& mf) {
        int32_t layout = mf.layouts().layoutNumberByName(textOf(layoutName));
        std::string name = layout != 0
                               ? vetra::EngineVariables::indexedName(kRecordWrittenVariable, layout)
                               : kRecordWrittenVariable;
        return mf.variables().VTi_SetVar(name, "");
    });
}
