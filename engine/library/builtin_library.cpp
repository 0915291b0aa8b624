#include "builtin_library.h"

#include "engine/library/function_names.h"
#include "engine/store/TMetaFile.h"

#include <string>

namespace vetra {

const std::array<BuiltinFunction, LibraryDispatch::kFunctionCount> kBuiltinFunctions = {};

int32_t BuiltinLibrary::call(int32_t index) {
    BuiltinFunction function = kBuiltinFunctions[static_cast<size_t>(index)];
    if (function == nullptr)
        instance_.interpreter().failRun(
            2014, "VTi_atom",
            "Function undefined: " +
                std::string(kLibraryFunctionNames[static_cast<size_t>(index)]) +
                " is not available in this engine");
    return function(instance_);
}

} // namespace vetra
