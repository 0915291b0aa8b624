// How a built-in function reads its arguments from the running edit's token stream: its
// opening parenthesis (with an own code or through the interpreter), text, number-or-text and
// count arguments, separators, optional trailing arguments, and destinations. A function
// reads everything up to and including its closing parenthesis.
#pragma once

#include "engine/interp/interpreter.h"

#include <cstdint>
#include <string>
#include <string_view>

class TMetaFile;

namespace vetra {

struct TextArgument {
    std::string text;
    bool expression = false; // neither a literal nor a field reference
    bool fieldReference = false;
    int32_t fieldNumber = 0; // the reference's signed field number
};

// Where strcpy, strcat and fmtstr write: an address of the edit's address space, and the
// declared element count when the destination is a declared variable.
struct Destination {
    int32_t address = 0;
    bool declared = false;
    int32_t capacity = 0;
};

class ArgumentReader {
public:
    static constexpr size_t kWorkingText = 79; // working buffers of 80 characters

    explicit ArgumentReader(TMetaFile& instance);

    Interpreter& interpreter() { return interpreter_; }

    // The opening parenthesis, checked by the function itself: `ownCode` when it is missing.
    void open(int32_t ownCode, const char* function);
    // The opening parenthesis through the interpreter (2085).
    void open() { tokens_.VTi_GetHardToken('(', 12); }
    void comma() { tokens_.VTi_GetHardToken(',', 18); }
    void close() { tokens_.VTi_GetHardToken(')', 12); }
    // After an argument that may be the last: true at a comma (another follows), false at
    // the closing parenthesis; any other token fails with `ownCode`.
    bool another(int32_t ownCode, const char* function);

    // A literal or field reference gives its text; anything else is evaluated and gives the
    // text its value addresses.
    TextArgument text();
    // As text(), cut to the working length.
    std::string workingText();
    // A literal or field reference converted to an integer; an expression's value as it is.
    int32_t numberOrText();
    int32_t count() { return interpreter_.evaluate(); }
    // `literalCode` when the destination is a string literal.
    Destination destination(int32_t literalCode, const char* function);

    // A layout named by a literal or field reference, or numbered by an expression; 0 for a
    // name that no layout has.
    int32_t layoutNumber();

    [[noreturn]] void fail(int32_t code, const char* function) { errors_.fail(code, function); }

    // A new temporary result text holding `text`, tied to the current block; `outOfMemory`
    // when it cannot be had.
    int32_t temporaryText(std::string_view text, int32_t tag, int32_t outOfMemory,
                          const char* function);

private:
    TMetaFile& instance_;
    Interpreter& interpreter_;
    TokenReader& tokens_;
    LastEngineError& errors_;
};

// Runs a built-in function's body with an argument reader, recording the function's own
// catalogue code when anything unexpected ends it. (The instance is a template parameter so
// that this header needs only TMetaFile's declaration.)
template <class Instance, class Body>
int32_t guarded(Instance& instance, int32_t code, const char* name, Body&& body) {
    return instance.lastError().guard(code, name, [&] {
        ArgumentReader arguments(instance);
        return body(arguments);
    });
}

// Leading blanks, an optional sign, then decimal digits up to the first other character, of
// at most the first 19 characters; wraps at 32 bits.
int32_t textToInteger(std::string_view text);

} // namespace vetra
