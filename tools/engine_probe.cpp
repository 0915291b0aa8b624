// engine_probe: loads the engine library by name as a host does, prints its version, opens
// and closes the metafile given as the first argument, and writes the error catalogue to
// EditErrs.csv (or to the path given as the second argument).
#include "engine/api/vetra40.h"
#include "platform/dynamic_library.h"

#include <cstdio>

namespace {

template <class Function>
Function resolve(const vetra::platform::DynamicLibrary& library, const char* name) {
    return reinterpret_cast<Function>(library.resolve(name));
}

} // namespace

int main(int argc, char** argv) {
    vetra::platform::DynamicLibrary engine(vetra::platform::sharedLibraryFileName("VETRA40"));
    if (!engine.loaded()) {
        std::fprintf(stderr, "Can't load Vetra: %s\n", engine.error().c_str());
        return 1;
    }
    auto getVersion = resolve<decltype(&VTx_GetVersion)>(engine, "VTx_GetVersion");
    auto exportErrors = resolve<decltype(&VTerr_ExportErrorList)>(engine, "VTerr_ExportErrorList");
    auto init = resolve<decltype(&VTx_Init)>(engine, "VTx_Init");
    auto exit = resolve<decltype(&VTx_Exit)>(engine, "VTx_Exit");
    auto describe =
        resolve<decltype(&VTerr_GetEngineErrorMessage)>(engine, "VTerr_GetEngineErrorMessage");
    if (!getVersion || !exportErrors || !init || !exit || !describe) {
        std::fprintf(stderr, "The engine library lacks its entry points\n");
        return 1;
    }
    char version[16];
    if (getVersion(version, sizeof version) != 0) return 1;
    std::printf("VETRA40.dll version %s\n", version);
    if (argc > 1) {
        int32_t id = -1;
        char metafileVersion[32] = "";
        int32_t status = init(&id, argv[1], metafileVersion, 0, nullptr);
        if (status != 0) {
            char message[100] = "";
            describe(status, message, sizeof message, nullptr, 0);
            std::fprintf(stderr, "Cannot open %s: error %d: %s\n", argv[1], status, message);
            return 1;
        }
        std::printf("Opened %s (metafile version %s) as id %d\n", argv[1], metafileVersion, id);
        if (exit(id) != 0) return 1;
    }
    const char* path = argc > 2 ? argv[2] : "EditErrs.csv";
    int32_t status = exportErrors(path);
    if (status != 0) {
        std::fprintf(stderr, "Could not export the error list to %s (%d)\n", path, status);
        return 1;
    }
    std::printf("Error list written to %s\n", path);
    return 0;
}
