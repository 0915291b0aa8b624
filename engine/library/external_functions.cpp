#include "external_functions.h"

#include "engine/api/engine_process.h"
#include "engine/library/argument_reader.h"
#include "engine/library/external_library_path.h"
#include "engine/store/TMetaFile.h"
#include "engine/store/ascii_case.h"

#include <array>
#include <deque>
#include <string>

namespace vetra {

namespace {

constexpr size_t kExtraArguments = 10;
constexpr size_t kNumberDigits = 8;

// The library and command: a string literal, or an identifier whose variable holds the text
// (an unknown variable, or one that holds no text, gives an empty name).
std::string nameArgument(ArgumentReader& arguments) {
    TokenReader& tokens = arguments.interpreter().tokens();
    tokens.VTi_GetToken();
    const TokenRecord& token = tokens.token();
    if (token.kind == kStringLiteral) return std::string(tokens.text());
    if (token.kind != kIdentifier) arguments.fail(525, "call_externaldll");
    VariableRecord* variable = arguments.interpreter().VTi_FindVar(tokens.text(), false);
    if (variable == nullptr || !variable->isByteAddressed()) return {};
    return std::string(arguments.interpreter().textAt(variable->value));
}

// The further arguments up to the closing parenthesis: variables by value (a text by its
// address), number literals (a minus sign before one negates it), and copies of string
// literals, which `texts` keeps alive for the call. Negative values are not passed.
std::array<intptr_t, kExtraArguments> extraArguments(ArgumentReader& arguments,
                                                     std::deque<std::string>& texts) {
    std::array<intptr_t, kExtraArguments> values{};
    size_t taken = 0;
    bool negate = false;
    Interpreter& interpreter = arguments.interpreter();
    TokenReader& tokens = interpreter.tokens();
    for (;;) {
        tokens.VTi_GetToken();
        const TokenRecord& token = tokens.token();
        if (tokens.position() == tokens.tokenStart()) arguments.fail(2085, "call_externaldll");
        if (token.kind == kPunctuation && token.text[0] == ')') break;
        std::optional<intptr_t> value;
        if (token.kind == kIdentifier) {
            VariableRecord* variable = interpreter.VTi_FindVar(tokens.text(), false);
            if (variable == nullptr)
                value = 0;
            else if (variable->isArrayOrPointer())
                value = reinterpret_cast<intptr_t>(interpreter.bytesAt(variable->value).data());
            else
                value = variable->value;
        } else if (token.kind == kNumber) {
            intptr_t number = textToInteger(tokens.text().substr(0, kNumberDigits));
            value = negate ? -number : number;
        } else if (token.kind == kStringLiteral) {
            value = reinterpret_cast<intptr_t>(texts.emplace_back(tokens.text()).c_str());
        }
        negate = token.kind == kOperator && token.text[0] == '-' && token.text[1] == '\0';
        if (value && *value >= 0 && taken < kExtraArguments) values[taken++] = *value;
    }
    return values;
}

// A refused library fails the edit with 526; the last engine error text says why.
[[noreturn]] void refuse(TMetaFile& instance, const std::string& reason) {
    LastEngineError& errors = instance.lastError();
    errors.record(526);
    errors.setText("In call_externaldll: " + reason);
    throw EngineFailure("call_externaldll");
}

ExternalEntryPoint loadLibrary(TMetaFile& instance, const std::string& library,
                               const std::string& folders, const std::string& key) {
    const char* metafile = instance.VTi_GetMetaFileName();
    ExternalLibraryLookup lookup =
        openExternalLibrary(library, allowedLibraryFolders(folders, metafile), metafile);
    if (!lookup.file) refuse(instance, lookup.refusal);
    ExternalEntryPoint entry = nullptr;
    std::string loaderError;
    switch (engineProcess().externalLibraries().load(key, std::move(lookup.file), &entry,
                                                     &loaderError)) {
    case ExternalLibraryTable::Outcome::CannotLoad:
        refuse(instance, "cannot load " + lookup.shownPath + ": " + loaderError);
    case ExternalLibraryTable::Outcome::NoEntryPoint:
        instance.lastError().fail(527, "call_externaldll");
    case ExternalLibraryTable::Outcome::Loaded:
        break;
    }
    return entry;
}

int32_t callLibrary(TMetaFile& instance, const std::string& library, const std::string& command,
                    const std::array<intptr_t, kExtraArguments>& values) {
    std::string folders;
    instance.variables().VTi_GetVar(kExternalFoldersVariable, &folders);
    std::string key =
        upperCasedAscii(library) + '\n' + folders + '\n' + instance.VTi_GetMetaFileName();
    ExternalEntryPoint entry = engineProcess().externalLibraries().find(key);
    if (entry == nullptr) entry = loadLibrary(instance, library, folders, key);
    return entry(reinterpret_cast<intptr_t>(command.c_str()), values[0], values[1], values[2],
                 values[3], values[4], values[5], values[6], values[7], values[8], values[9]);
}

} // namespace

int32_t call_externaldll(TMetaFile& instance) {
    return instance.lastError().guard(524, "call_externaldll", [&] {
        ArgumentReader arguments(instance);
        arguments.open();
        std::string library = nameArgument(arguments);
        arguments.comma();
        std::string command = nameArgument(arguments);
        std::deque<std::string> texts;
        std::array<intptr_t, kExtraArguments> values = extraArguments(arguments, texts);
        return callLibrary(instance, library, command, values);
    });
}

} // namespace vetra
