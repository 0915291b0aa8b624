#include "variable_functions.h"

#include "engine/library/argument_reader.h"
#include "engine/library/external_library_path.h"
#include "engine/store/TMetaFile.h"

#include <optional>
#include <string>

namespace vetra {

namespace {

constexpr int32_t kVariableTextTag = 34;

} // namespace

int32_t call_setvar(TMetaFile& instance) {
    return guarded(instance, 503, "call_setvar", [&](ArgumentReader& arguments) {
        arguments.open();
        std::string name = arguments.workingText();
        arguments.comma();
        std::string value = arguments.workingText();
        if (arguments.another(2048, "call_setvar")) {
            name = EngineVariables::indexedName(name, arguments.count());
            arguments.close();
        }
        // Only the host chooses where external libraries may come from.
        if (EngineVariables::normaliseKey(name) != kExternalFoldersVariable)
            instance.variables().VTi_SetVar(name, value);
        return 0;
    });
}

int32_t call_getvar(TMetaFile& instance) {
    return guarded(instance, 206, "call_getvar", [&](ArgumentReader& arguments) {
        arguments.open();
        std::string name = arguments.workingText();
        std::optional<int32_t> index;
        if (arguments.another(2049, "call_getvar")) {
            index = arguments.count();
            arguments.close();
        }
        if (index == 0) {
            int32_t highest = 0;
            instance.variables().VTi_GetVarSize(name, &highest);
            return highest;
        }
        std::string value;
        instance.variables().VTi_GetVar(index ? EngineVariables::indexedName(name, *index) : name,
                                        &value);
        return arguments.temporaryText(value, kVariableTextTag, 206, "call_getvar");
    });
}

int32_t call_nameexpr(TMetaFile& instance) {
    return guarded(instance, 504, "call_nameexpr", [&](ArgumentReader& arguments) {
        arguments.open();
        std::string name = arguments.workingText();
        arguments.close();
        if (VariableRecord* variable = arguments.interpreter().VTi_FindVar(name, false))
            return variable->value;
        return arguments.temporaryText("", kVariableTextTag, 504, "call_nameexpr");
    });
}

} // namespace vetra
