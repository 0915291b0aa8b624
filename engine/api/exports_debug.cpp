// Exported edit debugging: naming the edit to trace and the callbacks that receive the trace.
#include "engine/api/dispatch.h"
#include "engine/api/vetra40.h"

int32_t VTx_SetDebug(int32_t mfID, const char* editName, intptr_t owner,
                     VT_DebugVariableCallback variableCallback, VT_DebugTextCallback fieldCallback,
                     VT_DebugTextCallback lineCallback, VT_DebugTextCallback messageCallback) {
    return vetra::dispatchOperation(mfID, 930, "VTi_SetDebug", [&](TMetaFile& mf) {
        vetra::DebugSettings settings{{},           owner,          variableCallback, fieldCallback,
                                      lineCallback, messageCallback};
        int32_t status = mf.tracer().VTi_SetDebug(editName != nullptr ? editName : "", settings);
        if (status != 0) mf.lastError().fail(status, "VTi_SetDebug");
        return 0;
    });
}
