// engine_probe: loads the engine library by name as a host does, prints its version, and
// writes its error catalogue to EditErrs.csv (or to the path given as the first argument).
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
    if (getVersion == nullptr || exportErrors == nullptr) {
        std::fprintf(stderr, "The engine library lacks its entry points\n");
        return 1;
    }
    char version[16];
    if (getVersion(version, sizeof version) != 0) return 1;
    std::printf("VETRA40.dll version %s\n", version);
    const char* path = argc > 1 ? argv[1] : "EditErrs.csv";
    int32_t status = exportErrors(path);
    if (status != 0) {
        std::fprintf(stderr, "Could not export the error list to %s (%d)\n", path, status);
        return 1;
    }
    std::printf("Error list written to %s\n", path);
    return 0;
}
