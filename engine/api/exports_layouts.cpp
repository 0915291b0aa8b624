// Exported record layout, field and catalogue calls. Names go to caller buffers sized for the
// longest name of their kind: 30 characters for layouts, 50 for edit sets, 25 for fields.
#include "engine/api/caller_buffer.h"
#include "engine/api/dispatch.h"
#include "engine/api/vetra40.h"
#include "engine/edits/edit_set_layout_check.h"

#include <optional>
#include <string>
#include <string_view>

using vetra::dispatchOperation;

namespace {

constexpr int32_t kLayoutNameCapacity = 31;
constexpr int32_t kEditSetNameCapacity = 51;
constexpr int32_t kFieldNameCapacity = 26;
constexpr int32_t kTypeCodeCapacity = 4;

std::string_view textOf(const char* text) {
    return text != nullptr ? text : "";
}

int32_t copyDescription(std::optional<std::string_view> description, int32_t bufferLength,
                        int32_t* textLength, char* text) {
    if (!description || description->empty()) {
        vetra::copyToCaller(text, bufferLength, "");
        return 0;
    }
    vetra::copyToCaller(text, bufferLength, *description);
    if (textLength != nullptr && bufferLength > 0)
        *textLength = static_cast<int32_t>(
            std::min(description->size(), static_cast<size_t>(bufferLength) - 1));
    return 0;
}

void setIfGiven(int32_t* out, int32_t value) {
    if (out != nullptr) *out = value;
}

// Changed field options change which loaded edits a run skips.
int32_t remarkEditsIfApplied(TMetaFile& mf, int32_t status) {
    if (status == 0) mf.editSets().markEditsOnSkippedFields(mf.fieldTable().slots());
    return status;
}

} // namespace

int32_t VTx_GetRecordLayoutCount(int32_t mfID, int32_t* count) {
    return dispatchOperation(mfID, 429, "VTi_GetRecordLayoutCount", [&](TMetaFile& mf) {
        setIfGiven(count, mf.layouts().catalogue().layoutCount());
        return 0;
    });
}

int32_t VTx_GetRecordLayoutName(int32_t mfID, int32_t ordinal, char* name, int32_t* recordLength) {
    return dispatchOperation(mfID, 432, "VTi_GetRecordLayoutName", [&](TMetaFile& mf) {
        const vetra::LayoutCatalogue& catalogue = mf.layouts().catalogue();
        std::string_view record = catalogue.nthRecord("RL", ordinal);
        if (record.empty()) return -1;
        vetra::copyToCaller(name, kLayoutNameCapacity, catalogue.layoutName(record));
        setIfGiven(recordLength, catalogue.recordLength(record));
        return 0;
    });
}

int32_t VTx_GetRecordLayoutDescript(int32_t mfID, const char* layoutName, int32_t bufferLength,
                                    int32_t* textLength, char* text) {
    return dispatchOperation(mfID, 324, "VTi_GetRecordLayoutDescript", [&](TMetaFile& mf) {
        return copyDescription(mf.layouts().catalogue().layoutDescription(textOf(layoutName)),
                               bufferLength, textLength, text);
    });
}

int32_t VTx_GetEditSetCount(int32_t mfID, int32_t* count) {
    return dispatchOperation(mfID, 423, "VTi_GetEditSetCount", [&](TMetaFile& mf) {
        setIfGiven(count, mf.layouts().catalogue().editSetCount());
        return 0;
    });
}

int32_t VTx_GetEditSetName(int32_t mfID, int32_t ordinal, char* name) {
    return dispatchOperation(mfID, 425, "VTi_GetEditSetName", [&](TMetaFile& mf) {
        const vetra::LayoutCatalogue& catalogue = mf.layouts().catalogue();
        std::string_view record = catalogue.nthRecord("ES", ordinal);
        if (record.empty()) return 417;
        vetra::copyToCaller(name, kEditSetNameCapacity, catalogue.editSetName(record));
        return 0;
    });
}

int32_t VTx_GetEditSetDescript(int32_t mfID, const char* editSetName, int32_t bufferLength,
                               int32_t* textLength, char* text) {
    return dispatchOperation(mfID, 328, "VTi_GetEditSetDescript", [&](TMetaFile& mf) {
        return copyDescription(mf.layouts().catalogue().editSetDescription(textOf(editSetName)),
                               bufferLength, textLength, text);
    });
}

int32_t VTx_InitRecordLayout(int32_t mfID, int32_t hRecord, const char* layoutName) {
    return dispatchOperation(mfID, 469, "VTi_InitRecordLayout", [&](TMetaFile& mf) {
        return mf.layouts().bind(mf.records().find(hRecord), textOf(layoutName), 0);
    });
}

int32_t VTx_InitAltRecordLayout(int32_t mfID, int32_t hRecord, const char* layoutName) {
    return dispatchOperation(mfID, 469, "VTi_InitRecordLayout", [&](TMetaFile& mf) {
        return mf.layouts().bind(mf.records().find(hRecord), textOf(layoutName), 1);
    });
}

int32_t VTx_FreeRecordLayout(int32_t mfID, const char* layoutName) {
    return dispatchOperation(mfID, 607, "VTi_FreeRecordLayout", [&](TMetaFile& mf) {
        return mf.layouts().VTi_FreeRecordLayout(textOf(layoutName));
    });
}

int32_t VTx_GetRecordLayoutInit(int32_t mfID, const char* layoutName, int32_t* fieldCount) {
    return dispatchOperation(mfID, 431, "VTi_GetRecordLayoutInit", [&](TMetaFile& mf) {
        int32_t count = 0;
        int32_t status = mf.layouts().VTi_GetRecordLayoutInit(textOf(layoutName), &count);
        if (status == 0) setIfGiven(fieldCount, count);
        return status;
    });
}

int32_t VTx_GetRecordLayoutField(int32_t mfID, int32_t* firstColumn, int32_t* localNumber,
                                 char* shortName, char* longName, char* typeCode, char* thirdName,
                                 int32_t* length, int32_t* hField) {
    return dispatchOperation(mfID, 430, "VTi_GetRecordLayoutField", [&](TMetaFile& mf) {
        vetra::FieldDescription field{};
        int32_t status = mf.layouts().VTi_GetRecordLayoutField(&field);
        if (status != 0) return status;
        setIfGiven(firstColumn, field.firstColumn);
        setIfGiven(localNumber, field.localNumber);
        vetra::copyToCaller(shortName, kFieldNameCapacity, field.shortName);
        vetra::copyToCaller(longName, kFieldNameCapacity, field.longName);
        vetra::copyToCaller(typeCode, kTypeCodeCapacity, field.typeCode);
        vetra::copyToCaller(thirdName, kFieldNameCapacity, field.thirdName);
        setIfGiven(length, field.length);
        setIfGiven(hField, field.handle);
        return 0;
    });
}

int32_t VTx_RecordLayoutOptions(int32_t mfID, const char* layoutName, int32_t* options) {
    return dispatchOperation(mfID, 609, "VTi_RecordLayoutOptions", [&](TMetaFile& mf) {
        return remarkEditsIfApplied(mf, mf.layouts().VTi_RecordLayoutOptions(
                                            textOf(layoutName), options != nullptr ? *options : 0));
    });
}

int32_t VTx_FieldHandle(int32_t mfID, const char* name, const char* nameKind,
                        const char* layoutName) {
    return dispatchOperation(mfID, 920, "VTi_FieldHandle", [&](TMetaFile& mf) {
        return mf.layouts().VTi_FieldHandle(textOf(name), vetra::nameKindOf(nameKind), layoutName);
    });
}

int32_t VTx_FieldHandleByLocal(int32_t mfID, int32_t localNumber, const char* layoutName) {
    return dispatchOperation(mfID, 921, "VTi_FieldHandleByLocal", [&](TMetaFile& mf) {
        return mf.layouts().VTi_FieldHandleByLocal(localNumber, layoutName);
    });
}

int32_t VTx_FieldName(int32_t mfID, int32_t hField, const char* nameKind, char* name) {
    return dispatchOperation(mfID, 922, "VTi_FieldName", [&](TMetaFile& mf) {
        const char* found = mf.layouts().VTi_FieldName(hField, vetra::nameKindOf(nameKind));
        if (found == nullptr) return -1;
        vetra::copyToCaller(name, kFieldNameCapacity, found);
        return 0;
    });
}

int32_t VTx_FieldOptions(int32_t mfID, int32_t hField, int32_t* options) {
    return dispatchOperation(mfID, 608, "VTi_FieldOptions", [&](TMetaFile& mf) {
        return remarkEditsIfApplied(
            mf, mf.layouts().VTi_FieldOptions(hField, options != nullptr ? *options : 0));
    });
}

int32_t VTx_LocalNumFromHnd(int32_t mfID, int32_t hField) {
    return dispatchOperation(mfID, 439, "VTi_LocalNumFromHnd", [&](TMetaFile& mf) {
        return mf.layouts().VTi_LocalNumFromHnd(hField);
    });
}

int32_t VTx_CheckEditSetAgainstLayout(int32_t mfID, int32_t hEditSet, intptr_t owner,
                                      VT_CheckFieldCallback callback) {
    return vetra::dispatch(mfID, [&](TMetaFile& mf) -> int32_t {
        const char* operation = "VTi_CheckEditSetAgainstLayout";
        if (owner == 0) mf.lastError().fail(621, operation);
        if (callback == nullptr) mf.lastError().fail(622, operation);
        const vetra::BoundLayout* first = mf.layouts().firstEntry();
        if (first == nullptr) mf.lastError().fail(620, operation);
        const vetra::EditSetRecord* set = mf.editSets().find(hEditSet);
        if (set == nullptr) mf.lastError().fail(623, "get_edit_recnos");
        const auto& tables = mf.directory().internalTables();
        std::vector<int32_t> layoutFields =
            vetra::layoutLocalNumbers(mf.stream(), tables, first->layoutNumber);
        vetra::reportFieldsMissingFromLayout(mf.stream(), tables, set->name, layoutFields, owner,
                                             callback);
        return 0;
    });
}
