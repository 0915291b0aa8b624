// What the small hosts of the engine library share: the entry points resolved by name from
// the loaded library, as every host of the engine does, and the report of a failed call.
#pragma once

#include "engine/api/vetra40.h"
#include "platform/dynamic_library.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vetra::tools {

class Engine {
public:
    explicit Engine(const platform::DynamicLibrary& library) : library_(library) {}

    template <class Function> Function get(const char* name) {
        auto function = reinterpret_cast<Function>(library_.resolve(name));
        if (function == nullptr) missing.push_back(name);
        return function;
    }

    // Prints a failed call's code and catalogue text to standard error; 1 when it failed.
    int report(int32_t status, const char* call) {
        if (status == 0) return 0;
        auto describe = get<decltype(&VTerr_GetEngineErrorMessage)>("VTerr_GetEngineErrorMessage");
        char message[100] = "", function[50] = "";
        if (describe != nullptr)
            describe(status, message, sizeof message, function, sizeof function);
        std::fprintf(stderr, "ERROR %d from API call %s, engine function %s: %s\n", status, call,
                     function, message);
        return 1;
    }

    std::vector<std::string> missing;

private:
    const platform::DynamicLibrary& library_;
};

} // namespace vetra::tools

#define VT_RESOLVE(engine, name) auto name = (engine).get<decltype(&::name)>(#name)
