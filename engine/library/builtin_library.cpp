#include "builtin_library.h"

#include "engine/library/function_names.h"
#include "engine/library/string_functions.h"
#include "engine/store/TMetaFile.h"

#include <algorithm>
#include <string>
#include <utility>

namespace vetra {

namespace {

struct NamedFunction {
    std::string_view name;
    BuiltinFunction function;
};

constexpr NamedFunction kImplemented[] = {
    {"at", call_at},         {"empty", call_empty},   {"justified", call_justified},
    {"left", call_left},     {"lower", call_lower},   {"right", call_right},
    {"strcat", call_strcat}, {"strcmp", call_strcmp}, {"strcpy", call_strcpy},
    {"strlen", call_strlen}, {"substr", call_substr}, {"trim", call_trim},
    {"upper", call_upper},   {"val", call_val},       {"fmtstr", call_fmtstr},
};

// Each function at the index its name has in the table that compiled logic refers to.
constexpr std::array<BuiltinFunction, LibraryDispatch::kFunctionCount> buildTable() {
    std::array<BuiltinFunction, LibraryDispatch::kFunctionCount> table{};
    for (const NamedFunction& entry : kImplemented)
        for (size_t i = 0; i < kLibraryFunctionNames.size(); ++i)
            if (kLibraryFunctionNames[i] == entry.name) table[i] = entry.function;
    return table;
}

} // namespace

const std::array<BuiltinFunction, LibraryDispatch::kFunctionCount> kBuiltinFunctions = buildTable();

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
