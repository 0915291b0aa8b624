#include "argument_reader.h"

#include "engine/api/engine_failure.h"
#include "engine/interp/keyword_table.h"
#include "engine/store/TMetaFile.h"

#include <algorithm>
#include <cstring>

namespace vetra {

namespace {

constexpr int32_t kFieldCopyTag = 28;

} // namespace

ArgumentReader::ArgumentReader(TMetaFile& instance)
    : instance_(instance), interpreter_(instance.interpreter()),
      tokens_(instance.interpreter().tokens()), errors_(instance.lastError()) {}

void ArgumentReader::open(int32_t ownCode, const char* function) {
    tokens_.VTi_GetToken();
    if (tokens_.token().text[0] != '(') errors_.fail(ownCode, function);
}

bool ArgumentReader::another(int32_t ownCode, const char* function) {
    tokens_.VTi_GetToken();
    char first = tokens_.token().text[0];
    if (first == ',') return true;
    if (first != ')') errors_.fail(ownCode, function);
    return false;
}

TextArgument ArgumentReader::text() {
    tokens_.VTi_GetToken();
    const TokenRecord& token = tokens_.token();
    if (token.kind == kStringLiteral) return {std::string(tokens_.text()), false, false, 0};
    if (token.kind == kFieldReference)
        return {std::string(tokens_.text()), false, true, token.fieldReference};
    tokens_.putBack();
    return {std::string(interpreter_.textAt(interpreter_.evaluate())), true, false, 0};
}

std::string ArgumentReader::workingText() {
    std::string value = text().text;
    if (value.size() > kWorkingText) value.resize(kWorkingText);
    return value;
}

int32_t ArgumentReader::numberOrText() {
    tokens_.VTi_GetToken();
    const TokenRecord& token = tokens_.token();
    if (token.kind == kStringLiteral || token.kind == kFieldReference)
        return textToInteger(tokens_.text());
    tokens_.putBack();
    return interpreter_.evaluate();
}

int32_t ArgumentReader::layoutNumber() {
    tokens_.VTi_GetToken();
    const TokenRecord& token = tokens_.token();
    if (token.kind == kStringLiteral || token.kind == kFieldReference)
        return instance_.layouts().layoutNumberByName(tokens_.text());
    tokens_.putBack();
    return interpreter_.evaluate();
}

Destination ArgumentReader::destination(int32_t literalCode, const char* function) {
    tokens_.VTi_GetToken();
    const TokenRecord& token = tokens_.token();
    if (token.kind == kStringLiteral) errors_.fail(literalCode, function);
    if (token.kind == kFieldReference) {
        // The engine's copy of the field's text: writing into it leaves the record as it is.
        int32_t copy = interpreter_.allocateTemporary(kFieldCopyTag, TokenRecord::kTextCapacity);
        if (copy == 0) errors_.fail(2093, function);
        std::string_view value = tokens_.text();
        std::copy(value.begin(), value.end(), interpreter_.bytesAt(copy).begin());
        return {copy, false, 0};
    }
    Destination destination;
    if (token.kind == kIdentifier) {
        if (VariableRecord* variable = interpreter_.VTi_FindVar(tokens_.text(), false)) {
            destination.declared = true;
            destination.capacity = variable->count;
        }
    }
    tokens_.putBack();
    destination.address = interpreter_.evaluate();
    return destination;
}

int32_t ArgumentReader::temporaryText(std::string_view text, int32_t tag, int32_t outOfMemory,
                                      const char* function) {
    int32_t address = 0;
    try {
        address = interpreter_.allocateTemporary(tag, text.size() + 1);
    } catch (const EngineFailure&) {
        errors_.fail(outOfMemory, function);
    }
    if (address == 0) errors_.fail(outOfMemory, function);
    std::copy(text.begin(), text.end(), interpreter_.bytesAt(address).begin());
    return address;
}

int32_t textToInteger(std::string_view text) {
    text = text.substr(0, 19);
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + static_cast<uint32_t>(text[i] - '0');
    return static_cast<int32_t>(negative ? 0u - value : value);
}

} // namespace vetra
