// How the edit compiler reports a source it cannot compile: one exception type that carries the
// place of the problem, so that an author can go straight to it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vetra::compiler {

// A place in an edit source, counting lines and columns from 1; a tab counts as one column.
struct SourcePosition {
    int line = 1;
    int column = 1;
};

class CompileError : public std::runtime_error {
public:
    // what() reads "file:line:column: message".
    CompileError(std::string_view file, SourcePosition position, std::string_view message);

    const std::string& file() const { return file_; }
    int line() const { return position_.line; }
    int column() const { return position_.column; }
    const std::string& message() const { return message_; }

private:
    std::string file_;
    SourcePosition position_;
    std::string message_;
};

} // namespace vetra::compiler
