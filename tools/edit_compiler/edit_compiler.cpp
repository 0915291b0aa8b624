#include "tools/edit_compiler/edit_compiler.h"

#include "tools/edit_compiler/bracket_balance.h"
#include "tools/edit_compiler/edit_parser.h"
#include "tools/edit_compiler/source_lexer.h"
#include "tools/edit_compiler/token_codes.h"

namespace vetra::compiler {

namespace {

// The offsets count from the start of the whole text, so they include the header itself.
std::string functionHeader(const std::vector<std::size_t>& parameterListOffsets) {
    std::string header(1, static_cast<char>('@' + parameterListOffsets.size()));
    std::size_t headerSize = 1 + 5 * parameterListOffsets.size();
    for (std::size_t offset : parameterListOffsets)
        header += paddedNumber(headerSize + offset, 5);
    return header;
}

} // namespace

CompiledEdit compileEdit(std::string_view source, const FieldResolver& fields,
                         std::string_view fileName) {
    std::vector<SourceToken> tokens = lexEditSource(source, fileName);
    checkBracketBalance(tokens, fileName);
    ParsedEdit parsed = EditParser(tokens, fields, fileName).parse();
    std::string header = functionHeader(parsed.parameterListOffsets);
    std::size_t length = header.size() + parsed.code.size();
    if (length > maxCompiledLength)
        throw CompileError(fileName, parsed.code.sourceOf(maxCompiledLength - header.size()),
                           "the compiled edit has " + std::to_string(length) +
                               " characters, more than " + std::to_string(maxCompiledLength) +
                               "; it passes the limit here");
    return {header + parsed.code.text(), std::move(parsed.fields)};
}

} // namespace vetra::compiler
