// Exported calls whose operations are not built yet. They dispatch the metafile id like every
// other call, so a host sees -2 for an id that names no open metafile.
#include "engine/api/dispatch.h"
#include "engine/api/vetra40.h"

namespace {

int32_t pending(int32_t mfID) {
    return vetra::dispatch(mfID, [](TMetaFile&) { return -3; });
}

} // namespace

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
