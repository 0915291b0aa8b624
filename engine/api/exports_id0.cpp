// The VT_ forms: each calls its VTx_ twin for metafile id 0. Where the VTx_ form takes a
// per-call owner and callback, the VT_ form passes 0 and null.
#include "engine/api/vetra40.h"

int32_t VT_AllocRecord(int32_t recordLength, int32_t* hRecord) {
    return VTx_AllocRecord(0, recordLength, hRecord);
}
int32_t VT_FreeRecord(int32_t hRecord) {
    return VTx_FreeRecord(0, hRecord);
}
int32_t VT_RetrieveRecord(int32_t hRecord, char* buffer) {
    return VTx_RetrieveRecord(0, hRecord, buffer);
}
int32_t VT_SetRecord(int32_t hRecord, char fill) {
    return VTx_SetRecord(0, hRecord, fill);
}
int32_t VT_UpdateRecord(int32_t hRecord, const char* text) {
    return VTx_UpdateRecord(0, hRecord, text);
}
int32_t VT_UpdateRecordEx(int32_t hRecord, const char* text, int32_t firstColumn, int32_t width) {
    return VTx_UpdateRecordEx(0, hRecord, text, firstColumn, width);
}
int32_t VT_UpdateField(int32_t hField, const char* value, const char* dateFormat) {
    return VTx_UpdateField(0, hField, value, dateFormat);
}
int32_t VT_RecWritten(const char* layoutName, int32_t* written) {
    return VTx_RecWritten(0, layoutName, written);
}
int32_t VT_RecWriteClear(const char* layoutName) {
    return VTx_RecWriteClear(0, layoutName);
}
int32_t VT_GetRecordLayoutCount(int32_t* count) {
    return VTx_GetRecordLayoutCount(0, count);
}
int32_t VT_GetRecordLayoutName(int32_t ordinal, char* name, int32_t* recordLength) {
    return VTx_GetRecordLayoutName(0, ordinal, name, recordLength);
}
int32_t VT_InitRecordLayout(int32_t hRecord, const char* layoutName) {
    return VTx_InitRecordLayout(0, hRecord, layoutName);
}
int32_t VT_InitAltRecordLayout(int32_t hRecord, const char* layoutName) {
    return VTx_InitAltRecordLayout(0, hRecord, layoutName);
}
int32_t VT_FreeRecordLayout(const char* layoutName) {
    return VTx_FreeRecordLayout(0, layoutName);
}
int32_t VT_GetRecordLayoutInit(const char* layoutName, int32_t* fieldCount) {
    return VTx_GetRecordLayoutInit(0, layoutName, fieldCount);
}
int32_t VT_GetRecordLayoutField(int32_t* firstColumn, int32_t* localNumber, char* shortName,
                                char* longName, char* typeCode, char* thirdName, int32_t* length,
                                int32_t* hField) {
    return VTx_GetRecordLayoutField(0, firstColumn, localNumber, shortName, longName, typeCode,
                                    thirdName, length, hField);
}
int32_t VT_RecordLayoutOptions(const char* layoutName, int32_t* options) {
    return VTx_RecordLayoutOptions(0, layoutName, options);
}
int32_t VT_FieldHandle(const char* name, const char* nameKind, const char* layoutName) {
    return VTx_FieldHandle(0, name, nameKind, layoutName);
}
int32_t VT_FieldHandleByLocal(int32_t localNumber, const char* layoutName) {
    return VTx_FieldHandleByLocal(0, localNumber, layoutName);
}
int32_t VT_FieldName(int32_t hField, const char* nameKind, char* name) {
    return VTx_FieldName(0, hField, nameKind, name);
}
int32_t VT_FieldOptions(int32_t hField, int32_t* options) {
    return VTx_FieldOptions(0, hField, options);
}
int32_t VT_LocalNumFromHnd(int32_t hField) {
    return VTx_LocalNumFromHnd(0, hField);
}
int32_t VT_GetEditSetCount(int32_t* count) {
    return VTx_GetEditSetCount(0, count);
}
int32_t VT_GetEditSetName(int32_t ordinal, char* name) {
    return VTx_GetEditSetName(0, ordinal, name);
}
int32_t VT_LoadEditSet(int32_t* hEditSet, const char* editSetName, int32_t* loadStatus,
                       int32_t option) {
    return VTx_LoadEditSet(0, hEditSet, editSetName, loadStatus, option);
}
int32_t VT_FreeEditSet(int32_t hEditSet) {
    return VTx_FreeEditSet(0, hEditSet);
}
int32_t VT_GetEditSetSize(int32_t hEditSet, int32_t* editCount) {
    return VTx_GetEditSetSize(0, hEditSet, editCount);
}
int32_t VT_GetEditSetInfo(int32_t hEditSet, char* name, int32_t* editCount, int32_t* runFlags,
                          int32_t* runField) {
    return VTx_GetEditSetInfo(0, hEditSet, name, editCount, runFlags, runField);
}
int32_t VT_GetEditHandle(int32_t hEditSet, int32_t* editIndex, const char* editName) {
    return VTx_GetEditHandle(0, hEditSet, editIndex, editName);
}
int32_t VT_GetEditName(int32_t hEditSet, int32_t editIndex, char* name) {
    return VTx_GetEditName(0, hEditSet, editIndex, name);
}
int32_t VT_GetEditInfo(int32_t hEditSet, int32_t editIndex, const char* templateText, char* text,
                       int32_t capacity) {
    return VTx_GetEditInfo(0, hEditSet, editIndex, templateText, text, capacity);
}
int32_t VT_GetEditInfoEx(int32_t hEditSet, int32_t editIndex, char* name, int32_t* fieldCount,
                         int32_t* statusBits, int32_t* options, int32_t* errorCount,
                         int32_t* warningCount, int32_t* skipCount) {
    return VTx_GetEditInfoEx(0, hEditSet, editIndex, name, fieldCount, statusBits, options,
                             errorCount, warningCount, skipCount);
}
int32_t VT_GetEditCounts(int32_t hEditSet, int32_t editIndex, int32_t* fieldCount,
                         int32_t* errorCount, int32_t* warningCount, int32_t* skipCount) {
    return VTx_GetEditCounts(0, hEditSet, editIndex, fieldCount, errorCount, warningCount,
                             skipCount);
}
int32_t VT_GetEditDescript(int32_t hEditSet, int32_t editIndex, int32_t lineWidth, int32_t capacity,
                           int32_t* length, char* text, int32_t mode) {
    return VTx_GetEditDescript(0, hEditSet, editIndex, lineWidth, capacity, length, text, mode);
}
int32_t VT_GetEditHelp(int32_t hEditSet, int32_t editIndex, int32_t lineWidth, int32_t capacity,
                       int32_t* length, char* text, int32_t mode) {
    return VTx_GetEditHelp(0, hEditSet, editIndex, lineWidth, capacity, length, text, mode);
}
int32_t VT_GetEditLogic(int32_t hEditSet, int32_t editIndex, int32_t capacity,
                        const char* lineSeparator, int32_t* length, char* text) {
    return VTx_GetEditLogic(0, hEditSet, editIndex, capacity, lineSeparator, length, text);
}
int32_t VT_EditOptions(int32_t hEditSet, int32_t editIndex, int32_t* options) {
    return VTx_EditOptions(0, hEditSet, editIndex, options);
}
int32_t VT_RunBatch(int32_t hEditSet, int32_t runFlags, int32_t* messageCount) {
    return VTx_RunBatch(0, hEditSet, runFlags, messageCount, 0, nullptr);
}
int32_t VT_RunSingle(int32_t hEditSet, int32_t localNumber, int32_t runFlags,
                     int32_t* messageCount) {
    return VTx_RunSingle(0, hEditSet, localNumber, runFlags, messageCount, 0, nullptr);
}
int32_t VT_RunEditByName(const char* editName) {
    return VTx_RunEditByName(0, editName, 0, nullptr);
}
int32_t VT_GetMessageCount(int32_t* count) {
    return VTx_GetMessageCount(0, count);
}
int32_t VT_GetEditSetHandle(int32_t messageNumber, int32_t* hEditSet, int32_t* editIndex) {
    return VTx_GetEditSetHandle(0, messageNumber, hEditSet, editIndex);
}
int32_t VT_GetMessageText(char* messageType, int32_t messageNumber, char* text, int32_t capacity) {
    return VTx_GetMessageText(0, messageType, messageNumber, text, capacity);
}
int32_t VT_GetMessageTextEx(char* messageType, int32_t messageNumber, char* text, int32_t capacity,
                            int32_t* ownMessageNumber, int32_t* hEditSet, int32_t* editIndex,
                            char* editName, int32_t* fieldCount) {
    return VTx_GetMessageTextEx(0, messageType, messageNumber, text, capacity, ownMessageNumber,
                                hEditSet, editIndex, editName, fieldCount);
}
int32_t VT_CheckFlag(int32_t* value, int32_t flagNumber) {
    return VTx_CheckFlag(0, value, flagNumber);
}
int32_t VT_SetFlag(int32_t flagNumber, int32_t value) {
    return VTx_SetFlag(0, flagNumber, value);
}
int32_t VT_ClearAllFlags(void) {
    return VTx_ClearAllFlags(0);
}
int32_t VT_CountFlags(int32_t* count) {
    return VTx_CountFlags(0, count);
}
int32_t VT_SumFlags(int32_t* sum) {
    return VTx_SumFlags(0, sum);
}
int32_t VT_InitChoices(const char* tableSpecification, const char* startKey, unsigned char* widths,
                       int32_t* totalWidth, int32_t* entryCount) {
    return VTx_InitChoices(0, tableSpecification, startKey, widths, totalWidth, entryCount);
}
int32_t VT_InitFieldChoices(int32_t localNumber, const char* startKey, unsigned char* widths,
                            int32_t* totalWidth, int32_t* entryCount) {
    return VTx_InitFieldChoices(0, localNumber, startKey, widths, totalWidth, entryCount);
}
int32_t VT_GetChoices(char* rows, int32_t step, int32_t wanted, int32_t* delivered) {
    return VTx_GetChoices(0, rows, step, wanted, delivered);
}
int32_t VT_FreeChoices(void) {
    return VTx_FreeChoices(0);
}
int32_t VT_GetVar(const char* name, char* value) {
    return VTx_GetVar(0, name, value);
}
int32_t VT_GetVarIndex(const char* name, int32_t index, char* value) {
    return VTx_GetVarIndex(0, name, index, value);
}
int32_t VT_GetVarSize(const char* name, int32_t* size) {
    return VTx_GetVarSize(0, name, size);
}
int32_t VT_SetVar(const char* name, const char* value) {
    return VTx_SetVar(0, name, value);
}
int32_t VT_SetVarIndex(const char* name, const char* value, int32_t index) {
    return VTx_SetVarIndex(0, name, value, index);
}

int32_t VT_GetRecordPtr(int32_t) {
    return 0;
}
