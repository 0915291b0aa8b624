#include "tools/edit_compiler/source_token.h"

namespace vetra::compiler {

std::string describeToken(const SourceToken& token) {
    switch (token.kind) {
    case SourceTokenKind::String:
        return "the string \"" + token.text + "\"";
    case SourceTokenKind::Character:
        return "the character '" + token.text + "'";
    case SourceTokenKind::FieldByName:
        return "the field #S\"" + token.text + "\"";
    case SourceTokenKind::FieldByNumber:
        return "the field #" + token.text;
    case SourceTokenKind::End:
        return "the end of the edit";
    default:
        return "'" + token.text + "'";
    }
}

} // namespace vetra::compiler
