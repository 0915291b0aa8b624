// Fuzzes the token reader and the renderer with arbitrary compiled logic: every input must
// end in the end token or a syntax error, never a read outside the text or a hang.
#include "engine/interp/logic_renderer.h"
#include "engine/interp/token_reader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

class NoFields : public vetra::FieldValueSource, public vetra::FieldNameSource {
public:
    const char* fieldValue(int32_t) override { return nullptr; }
    std::string shortName(int32_t) override { return "Field"; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view logic(reinterpret_cast<const char*>(data), size);
    NoFields fields;
    vetra::LastEngineError errors;
    vetra::TokenReader reader(errors, fields);
    reader.start(logic, 0);
    try {
        // Each token but the end moves forward, so the text's length bounds the reads.
        for (size_t i = 0; i <= size; ++i) {
            reader.VTi_GetToken();
            if (reader.token().code == vetra::kEndCode) break;
            if (reader.position() > size) __builtin_trap();
        }
    } catch (const vetra::EngineFailure&) {
        if (errors.code() != 2017) __builtin_trap();
    }
    vetra::renderLogic(logic, "\n", fields);
    return 0;
}
