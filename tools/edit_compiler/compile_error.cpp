#include "tools/edit_compiler/compile_error.h"

namespace vetra::compiler {

namespace {

std::string located(std::string_view file, SourcePosition position, std::string_view message) {
    return std::string(file) + ":" + std::to_string(position.line) + ":" +
           std::to_string(position.column) + ": " + std::string(message);
}

} // namespace

CompileError::CompileError(std::string_view file, SourcePosition position, std::string_view message)
    : std::runtime_error(located(file, position, message)), file_(file), position_(position),
      message_(message) {}

} // namespace vetra::compiler
