#include "engine_process.h"

namespace vetra {

namespace {
// A namespace-scope object, so that it is built at library load and destroyed at unload.
EngineProcess process;
} // namespace

EngineProcess& engineProcess() {
    return process;
}

} // namespace vetra
