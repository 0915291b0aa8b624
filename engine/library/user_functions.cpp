// usr1 to usr10: calls of the instance's user-function slots with up to five arguments. A
// literal or field argument is passed as the address of a copy of its text.
#include "user_functions.h"

#include "engine/interp/keyword_table.h"
#include "engine/library/argument_reader.h"
#include "engine/store/TMetaFile.h"

namespace vetra {

namespace {

constexpr size_t kArgumentBuffer = 84;
constexpr int32_t kArgumentTag = 34;

} // namespace

int32_t callUserSlot(TMetaFile& instance, size_t slot) {
    return instance.lastError().guard(506, "call_usr", [&] {
        ArgumentReader arguments(instance);
        TokenReader& tokens = arguments.interpreter().tokens();
        arguments.open();
        std::array<int32_t, 5> values{};
        size_t count = 0;
        tokens.VTi_GetToken();
        while (tokens.token().text[0] != ')') {
            if (tokens.token().kind == kStringLiteral || tokens.token().kind == kFieldReference) {
                std::string_view text = tokens.text();
                values[count] = arguments.temporaryText(text.substr(0, kArgumentBuffer - 1),
                                                        kArgumentTag, 2093, "call_usr");
            } else {
                tokens.putBack();
                values[count] = arguments.count();
            }
            ++count;
            tokens.VTi_GetToken();
            if (tokens.token().text[0] == ')') break;
            if (tokens.token().text[0] != ',') instance.lastError().fail(2053, "call_usr");
            if (count == values.size()) instance.lastError().fail(2052, "call_usr");
            tokens.VTi_GetToken();
        }
        UserFunction function = instance.builtinLibrary().userSlot(slot);
        if (function == nullptr) instance.lastError().fail(2054, "call_usr");
        return function(instance, values);
    });
}

int32_t raiseErrorsSlot(TMetaFile& instance, const std::array<int32_t, 5>& numbers) {
    return instance.runs().raiseErrors(numbers, true);
}

int32_t checkFlagsSlot(TMetaFile& instance, const std::array<int32_t, 5>& numbers) {
    return instance.runs().checkFlags(numbers);
}

} // namespace vetra
