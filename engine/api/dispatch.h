// The path of every VTx_ call that names a metafile: find the instance, run the operation,
// and convert what escapes it. No exception crosses the C boundary.
#pragma once

#include "engine/api/engine_process.h"

#include <cstdint>

namespace vetra {

template <class Operation> int32_t dispatch(int32_t mfID, Operation&& operation) noexcept {
    TMetaFile* metafile = engineProcess().metafiles().find(mfID);
    if (metafile == nullptr) return -2;
    try {
        return operation(*metafile);
    } catch (const EngineFailure&) {
        return metafile->lastEngineError();
    } catch (...) {
        return -3;
    }
}

// As dispatch, running the call as the internal operation `name` with its own catalogue code.
template <class Operation>
int32_t dispatchOperation(int32_t mfID, int32_t code, const char* name,
                          Operation&& operation) noexcept {
    return dispatch(mfID, [&](TMetaFile& mf) {
        return mf.lastError().guard(code, name, [&] { return operation(mf); });
    });
}

} // namespace vetra
