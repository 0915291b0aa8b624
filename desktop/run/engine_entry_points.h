// The engine's exported entry points, in the order the binding resolves them. The table's
// types come from the engine's C header; the program never links against the library.
#pragma once

#include "engine/api/vetra40.h"

// X(name) for every entry point, in resolution order.
// clang-format off
#define RAV_ENGINE_ENTRY_POINTS(X)                                                               \
    X(VTx_Init) X(VTx_Exit) X(VT_Init) X(VT_Exit)                                                \
    X(VTx_AllocRecord) X(VTx_FreeRecord) X(VTx_RetrieveRecord) X(VTx_SetRecord)                  \
    X(VTx_UpdateRecord) X(VT_AllocRecord) X(VT_FreeRecord) X(VT_RetrieveRecord)                  \
    X(VT_SetRecord) X(VT_UpdateRecord)                                                           \
    X(VTx_FieldHandle) X(VTx_FieldHandleByLocal) X(VTx_FieldName) X(VTx_FreeRecordLayout)        \
    X(VTx_GetRecordLayoutCount) X(VTx_GetRecordLayoutField) X(VTx_GetRecordLayoutInit)           \
    X(VTx_GetRecordLayoutName) X(VTx_InitAltRecordLayout) X(VTx_InitRecordLayout)                \
    X(VTx_LocalNumFromHnd) X(VTx_RecWriteClear) X(VTx_RecWritten) X(VTx_UpdateField)             \
    X(VT_FieldHandle) X(VT_FieldHandleByLocal) X(VT_FieldName) X(VT_FreeRecordLayout)            \
    X(VT_GetRecordLayoutCount) X(VT_GetRecordLayoutField) X(VT_GetRecordLayoutInit)              \
    X(VT_GetRecordLayoutName) X(VT_InitAltRecordLayout) X(VT_InitRecordLayout)                   \
    X(VT_LocalNumFromHnd) X(VT_RecWriteClear) X(VT_RecWritten) X(VT_UpdateField)                 \
    X(VTx_FreeEditSet) X(VTx_GetEditSetCount) X(VTx_GetEditSetHandle) X(VTx_GetEditSetName)      \
    X(VTx_GetEditSetSize) X(VTx_LoadEditSet) X(VT_FreeEditSet) X(VT_GetEditSetCount)             \
    X(VT_GetEditSetHandle) X(VT_GetEditSetName) X(VT_GetEditSetSize) X(VT_LoadEditSet)           \
    X(VTx_CheckFlag) X(VTx_ClearAllFlags) X(VTx_CountFlags) X(VTx_SetFlag) X(VTx_SumFlags)       \
    X(VT_CheckFlag) X(VT_ClearAllFlags) X(VT_CountFlags) X(VT_SetFlag) X(VT_SumFlags)            \
    X(VTx_FreeChoices) X(VTx_GetChoices) X(VTx_InitChoices) X(VTx_InitFieldChoices)              \
    X(VT_FreeChoices) X(VT_GetChoices) X(VT_InitChoices) X(VT_InitFieldChoices)                  \
    X(VTx_GetShowEditName) X(VTx_RunBatch) X(VTx_RunEditByName) X(VTx_RunSingle)                 \
    X(VTx_SetShowEditName) X(VT_RunBatch) X(VT_RunEditByName) X(VT_RunSingle)                    \
    X(VTx_GetEditCounts) X(VTx_GetEditDescript) X(VTx_GetEditHelp) X(VTx_GetEditInfo)            \
    X(VTx_GetEditName) X(VTx_GetMessageCount) X(VTx_GetMessageText) X(VT_GetEditCounts)          \
    X(VT_GetEditDescript) X(VT_GetEditHelp) X(VT_GetEditInfo) X(VT_GetEditName)                  \
    X(VT_GetMessageCount) X(VT_GetMessageText)                                                   \
    X(VTerr_ExportErrorList) X(VTerr_GetEngineErrorMessage) X(VTx_GetmfIDList)                   \
    X(VTx_GetOpenFileList)                                                                       \
    X(VTx_GetVar) X(VTx_GetVarIndex) X(VTx_GetVarSize) X(VTx_SetEditsMessagesCallback)           \
    X(VTx_SetVar) X(VTx_SetVarIndex) X(VT_GetVar) X(VT_GetVarIndex) X(VT_GetVarSize)             \
    X(VT_SetVar) X(VT_SetVarIndex)                                                               \
    X(VT_EditOptions) X(VT_FieldOptions) X(VT_GetEditHandle) X(VT_GetEditInfoEx)                 \
    X(VT_GetEditLogic) X(VT_GetMessageTextEx) X(VT_RecordLayoutOptions) X(VT_UpdateRecordEx)     \
    X(VTx_EditOptions) X(VTx_FieldOptions) X(VTx_GetEditHandle) X(VTx_GetEditInfoEx)             \
    X(VTx_GetEditLogic) X(VTx_GetEncodedEdit) X(VTx_GetMessageTextEx)                            \
    X(VTx_RecordLayoutOptions) X(VTx_UpdateRecordEx) X(VTx_GetVersion)
// clang-format on

namespace vetra::desktop {

// One function pointer per entry point, null while unresolved or missing from the library.
struct EngineEntryPoints {
#define RAV_DECLARE_ENTRY_POINT(name) decltype(&::name) name = nullptr;
    RAV_ENGINE_ENTRY_POINTS(RAV_DECLARE_ENTRY_POINT)
#undef RAV_DECLARE_ENTRY_POINT
};

} // namespace vetra::desktop
