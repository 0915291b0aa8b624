#include "logic_renderer.h"

#include "engine/interp/token_decoder.h"
#include "engine/library/function_names.h"

namespace vetra {

namespace {

// Rows of the constants whose codes the source words right, left, both, warn and dt_min
// share; which word a code stands for depends on the line around it.
std::string_view sharedConstantName(char codeCharacter, std::string_view lineSoFar) {
    auto contains = [lineSoFar](std::string_view word) {
        return lineSoFar.find(word) != std::string_view::npos;
    };
    if (contains("trim")) {
        if (codeCharacter == 'Q') return "right";
        if (codeCharacter == 'R') return "left";
        if (codeCharacter == 'S') return "both";
    } else if (contains("justified")) {
        if (codeCharacter == 'Q') return "right";
        if (codeCharacter == 'R') return "left";
    } else if (contains("return")) {
        if (codeCharacter == 'S') return "warn";
    } else if (contains("daydiff")) {
        if (codeCharacter == 'R') return "dt_min";
    }
    return keywordForCode(codeCharacter)->name;
}

void appendToken(const DecodedToken& token, char codeCharacter, std::string& line, size_t lineStart,
                 FieldNameSource& names) {
    switch (token.kind) {
    case kCharacterLiteral:
        line.append("'").append(token.text).append("'");
        break;
    case kNumber:
    case kIdentifier:
        line.append(token.text);
        break;
    case kStringLiteral:
        line.append("\"").append(token.text).append("\"");
        break;
    case kFieldReference:
        line.append("#S\"").append(names.shortName(
            token.fieldReference < 0 ? -token.fieldReference : token.fieldReference));
        line.append("\"");
        break;
    case kCall: {
        size_t number = static_cast<unsigned char>(token.text[0]) - size_t{'A'};
        if (token.declaration)
            line.append("funcdecl_").append(token.text);
        else if (codeCharacter == 'm')
            line.append("funccall_").append(token.text);
        else if (number < kLibraryFunctionNames.size())
            line.append(kLibraryFunctionNames[number]);
        else
            line.append("libfnc");
        break;
    }
    case kNamedConstant:
        line.append(sharedConstantName(codeCharacter, std::string_view(line).substr(lineStart)));
        break;
    default:
        line.append(keywordForCode(codeCharacter)->name);
        break;
    }
    line.push_back(' ');
}

} // namespace

std::optional<size_t> renderLine(std::string_view logic, size_t position, std::string& line,
                                 FieldNameSource& names) {
    size_t lineStart = line.size();
    while (position < logic.size() && logic[position] != '\n') {
        DecodedToken token;
        if (decodeToken(logic, position, &token) != DecodeResult::Ok) return std::nullopt;
        if (token.end && !token.declaration) return logic.size();
        appendToken(token, logic[position], line, lineStart, names);
        position = token.declaration ? position + 2 : token.next;
    }
    return position;
}

std::optional<size_t> programStart(std::string_view logic) {
    if (logic.empty() || logic[0] == '\0') return 0;
    int functions = static_cast<unsigned char>(logic[0]) - '@';
    if (functions < 0 || functions > 26) return std::nullopt;
    size_t start = 1 + 5 * static_cast<size_t>(functions);
    if (start > logic.size()) return std::nullopt;
    return start;
}

std::optional<std::string> renderLogic(std::string_view logic, std::string_view separator,
                                       FieldNameSource& names) {
    std::optional<size_t> position = programStart(logic);
    if (!position) return std::nullopt;
    std::string rendered;
    size_t end = logic.find('\0');
    logic = logic.substr(0, end);
    while (*position < logic.size()) {
        position = renderLine(logic, *position, rendered, names);
        if (!position) return std::nullopt;
        rendered.append(separator);
        if (*position < logic.size()) ++*position; // past the line feed
    }
    return rendered;
}

} // namespace vetra
