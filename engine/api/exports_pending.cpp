// Exported calls whose operations are not built yet. They dispatch the metafile id like every
// other call, so a host sees -2 for an id that names no open metafile.
#include "engine/api/dispatch.h"
#include "engine/api/vetra40.h"

namespace {

int32_t pending(int32_t mfID) {
    return vetra::dispatch(mfID, [](TMetaFile&) { return -3; });
}

} // namespace

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
