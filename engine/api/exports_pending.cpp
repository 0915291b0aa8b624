// Exported calls whose operations are not built yet. They dispatch the metafile id like every
// other call, so a host sees -2 for an id that names no open metafile.
#include "engine/api/dispatch.h"
#include "engine/api/vetra40.h"

namespace {

int32_t pending(int32_t mfID) {
    return vetra::dispatch(mfID, [](TMetaFile&) { return -3; });
}

} // namespace

int32_t VTx_AllocRecord(int32_t mfID, int32_t, int32_t*) {
    return pending(mfID);
}
int32_t VTx_FreeRecord(int32_t mfID, int32_t) {
    return pending(mfID);
}
int32_t VTx_RetrieveRecord(int32_t mfID, int32_t, char*) {
    return pending(mfID);
}
int32_t VTx_SetRecord(int32_t mfID, int32_t, char) {
    return pending(mfID);
}
int32_t VTx_UpdateRecord(int32_t mfID, int32_t, const char*) {
    return pending(mfID);
}
int32_t VTx_UpdateRecordEx(int32_t mfID, int32_t, const char*, int32_t, int32_t) {
    return pending(mfID);
}
int32_t VTx_UpdateField(int32_t mfID, int32_t, const char*, const char*) {
    return pending(mfID);
}
int32_t VTx_RecWritten(int32_t mfID, const char*, int32_t*) {
    return pending(mfID);
}
int32_t VTx_RecWriteClear(int32_t mfID, const char*) {
    return pending(mfID);
}
int32_t VTx_GetRecordLayoutCount(int32_t mfID, int32_t*) {
    return pending(mfID);
}
int32_t VTx_GetRecordLayoutName(int32_t mfID, int32_t, char*, int32_t*) {
    return pending(mfID);
}
int32_t VTx_GetRecordLayoutDescript(int32_t mfID, const char*, int32_t, int32_t*, char*) {
    return pending(mfID);
}
int32_t VTx_InitRecordLayout(int32_t mfID, int32_t, const char*) {
    return pending(mfID);
}
int32_t VTx_InitAltRecordLayout(int32_t mfID, int32_t, const char*) {
    return pending(mfID);
}
int32_t VTx_FreeRecordLayout(int32_t mfID, const char*) {
    return pending(mfID);
}
int32_t VTx_GetRecordLayoutInit(int32_t mfID, const char*, int32_t*) {
    return pending(mfID);
}
int32_t VTx_GetRecordLayoutField(int32_t mfID, int32_t*, int32_t*, char*, char*, char*, char*,
                                 int32_t*, int32_t*) {
    return pending(mfID);
}
int32_t VTx_RecordLayoutOptions(int32_t mfID, const char*, int32_t*) {
    return pending(mfID);
}
int32_t VTx_FieldHandle(int32_t mfID, const char*, const char*, const char*) {
    return pending(mfID);
}
int32_t VTx_FieldHandleByLocal(int32_t mfID, int32_t, const char*) {
    return pending(mfID);
}
int32_t VTx_FieldName(int32_t mfID, int32_t, const char*, char*) {
    return pending(mfID);
}
int32_t VTx_FieldOptions(int32_t mfID, int32_t, int32_t*) {
    return pending(mfID);
}
int32_t VTx_LocalNumFromHnd(int32_t mfID, int32_t) {
    return pending(mfID);
}
int32_t VTx_CheckEditSetAgainstLayout(int32_t mfID, int32_t, intptr_t, VT_CheckFieldCallback) {
    return pending(mfID);
}
int32_t VTx_GetEditSetCount(int32_t mfID, int32_t*) {
    return pending(mfID);
}
int32_t VTx_GetEditSetName(int32_t mfID, int32_t, char*) {
    return pending(mfID);
}
int32_t VTx_GetEditSetDescript(int32_t mfID, const char*, int32_t, int32_t*, char*) {
    return pending(mfID);
}
int32_t VTx_LoadEditSet(int32_t mfID, int32_t*, const char*, int32_t*, int32_t) {
    return pending(mfID);
}
int32_t VTx_FreeEditSet(int32_t mfID, int32_t) {
    return pending(mfID);
}
int32_t VTx_GetEditSetSize(int32_t mfID, int32_t, int32_t*) {
    return pending(mfID);
}
int32_t VTx_GetEditSetInfo(int32_t mfID, int32_t, char*, int32_t*, int32_t*, int32_t*) {
    return pending(mfID);
}
int32_t VTx_GetEditHandle(int32_t mfID, int32_t, int32_t*, const char*) {
    return pending(mfID);
}
int32_t VTx_GetEditName(int32_t mfID, int32_t, int32_t, char*) {
    return pending(mfID);
}
int32_t VTx_GetEditInfo(int32_t mfID, int32_t, int32_t, const char*, char*, int32_t) {
    return pending(mfID);
}
int32_t VTx_GetEditInfoEx(int32_t mfID, int32_t, int32_t, char*, int32_t*, int32_t*, int32_t*,
                          int32_t*, int32_t*, int32_t*) {
    return pending(mfID);
}
int32_t VTx_GetEditCounts(int32_t mfID, int32_t, int32_t, int32_t*, int32_t*, int32_t*, int32_t*) {
    return pending(mfID);
}
int32_t VTx_GetEditDescript(int32_t mfID, int32_t, int32_t, int32_t, int32_t, int32_t*, char*,
                            int32_t) {
    return pending(mfID);
}
int32_t VTx_GetEditHelp(int32_t mfID, int32_t, int32_t, int32_t, int32_t, int32_t*, char*,
                        int32_t) {
    return pending(mfID);
}
int32_t VTx_GetMemoSize(int32_t mfID, int32_t, const char*, int32_t*) {
    return pending(mfID);
}
int32_t VTx_GetEditLogic(int32_t mfID, int32_t, int32_t, int32_t, const char*, int32_t*, char*) {
    return pending(mfID);
}
int32_t VTx_GetEncodedEdit(int32_t mfID, int32_t, int32_t, char*, int32_t, char*, int32_t) {
    return pending(mfID);
}
int32_t VTx_EditOptions(int32_t mfID, int32_t, int32_t, int32_t*) {
    return pending(mfID);
}
int32_t VTx_RunBatch(int32_t mfID, int32_t, int32_t, int32_t*, intptr_t, VT_EditsMessagesCallback) {
    return pending(mfID);
}
int32_t VTx_RunSingle(int32_t mfID, int32_t, int32_t, int32_t, int32_t*, intptr_t,
                      VT_EditsMessagesCallback) {
    return pending(mfID);
}
int32_t VTx_RunEditByName(int32_t mfID, const char*, intptr_t, VT_EditsMessagesCallback) {
    return pending(mfID);
}
int32_t VTx_SetDebug(int32_t mfID, const char*, intptr_t, VT_DebugVariableCallback,
                     VT_DebugTextCallback, VT_DebugTextCallback, VT_DebugTextCallback) {
    return pending(mfID);
}
int32_t VTx_GetMessageCount(int32_t mfID, int32_t*) {
    return pending(mfID);
}
int32_t VTx_GetEditSetHandle(int32_t mfID, int32_t, int32_t*, int32_t*) {
    return pending(mfID);
}
int32_t VTx_GetMessageText(int32_t mfID, char*, int32_t, char*, int32_t) {
    return pending(mfID);
}
int32_t VTx_GetMessageTextEx(int32_t mfID, char*, int32_t, char*, int32_t, int32_t*, int32_t*,
                             int32_t*, char*, int32_t*) {
    return pending(mfID);
}
int32_t VTx_CheckFlag(int32_t mfID, int32_t*, int32_t) {
    return pending(mfID);
}
int32_t VTx_SetFlag(int32_t mfID, int32_t, int32_t) {
    return pending(mfID);
}
int32_t VTx_ClearAllFlags(int32_t mfID) {
    return pending(mfID);
}
int32_t VTx_CountFlags(int32_t mfID, int32_t*) {
    return pending(mfID);
}
int32_t VTx_SumFlags(int32_t mfID, int32_t*) {
    return pending(mfID);
}
int32_t VTx_InitChoices(int32_t mfID, const char*, const char*, unsigned char*, int32_t*,
                        int32_t*) {
    return pending(mfID);
}
int32_t VTx_InitFieldChoices(int32_t mfID, int32_t, const char*, unsigned char*, int32_t*,
                             int32_t*) {
    return pending(mfID);
}
int32_t VTx_GetChoices(int32_t mfID, char*, int32_t, int32_t, int32_t*) {
    return pending(mfID);
}
int32_t VTx_FreeChoices(int32_t mfID) {
    return pending(mfID);
}
int32_t VTx_GetVar(int32_t mfID, const char*, char*) {
    return pending(mfID);
}
int32_t VTx_GetVarIndex(int32_t mfID, const char*, int32_t, char*) {
    return pending(mfID);
}
int32_t VTx_GetVarSize(int32_t mfID, const char*, int32_t*) {
    return pending(mfID);
}
int32_t VTx_SetVar(int32_t mfID, const char*, const char*) {
    return pending(mfID);
}
int32_t VTx_SetVarIndex(int32_t mfID, const char*, const char*, int32_t) {
    return pending(mfID);
}
