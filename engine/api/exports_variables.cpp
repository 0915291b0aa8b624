// Exported engine variable calls. Values are copied into the caller's 512-character buffer.
#include "engine/api/caller_buffer.h"
#include "engine/api/dispatch.h"
#include "engine/api/vetra40.h"

#include <string>
#include <string_view>

using vetra::dispatchOperation;
using vetra::EngineVariables;

namespace {

constexpr int32_t kValueCapacity = 512;

std::string_view textOf(const char* text) {
    return text != nullptr ? text : "";
}

int32_t getInto(TMetaFile& mf, const std::string& name, char* value) {
    std::string text;
    int32_t status = mf.variables().VTi_GetVar(name, &text);
    vetra::copyToCaller(value, kValueCapacity, text);
    return status;
}

} // namespace

int32_t VTx_GetVar(int32_t mfID, const char* name, char* value) {
    return dispatchOperation(mfID, 433, "VTi_GetVar", [&](TMetaFile& mf) {
        return getInto(mf, std::string(textOf(name)), value);
    });
}

int32_t VTx_GetVarIndex(int32_t mfID, const char* name, int32_t index, char* value) {
    return dispatchOperation(mfID, 1002, "VTi_GetVarIndex", [&](TMetaFile& mf) {
        return getInto(mf, EngineVariables::indexedName(textOf(name), index), value);
    });
}

int32_t VTx_GetVarSize(int32_t mfID, const char* name, int32_t* size) {
    return dispatchOperation(mfID, 434, "VTi_GetVarSize", [&](TMetaFile& mf) {
        int32_t found = 0;
        int32_t status = mf.variables().VTi_GetVarSize(textOf(name), &found);
        if (size != nullptr) *size = found;
        return status;
    });
}

int32_t VTx_SetVar(int32_t mfID, const char* name, const char* value) {
    return dispatchOperation(mfID, 449, "VTi_SetVar", [&](TMetaFile& mf) {
        return mf.variables().VTi_SetVar(textOf(name), textOf(value));
    });
}

int32_t VTx_SetVarIndex(int32_t mfID, const char* name, const char* value, int32_t index) {
    return dispatchOperation(mfID, 450, "VTi_SetVarIndex", [&](TMetaFile& mf) {
        return mf.variables().VTi_SetVar(EngineVariables::indexedName(textOf(name), index),
                                         textOf(value));
    });
}
