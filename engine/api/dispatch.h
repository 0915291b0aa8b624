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

} // namespace vetra
