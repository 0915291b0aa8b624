// The last engine error of one metafile instance, and the pattern every internal operation
// follows: catch what is raised inside, record the operation's own code only when no code is
// recorded yet (so the innermost precise code wins), and raise an EngineFailure named after
// the operation.
#pragma once

#include "engine_failure.h"

#include <cstdint>
#include <string>
#include <utility>

namespace vetra {

class LastEngineError {
public:
    int32_t code() const { return code_; }
    const std::string& text() const { return text_; }

    // Looks the code up in the catalogue. An unknown code leaves the text and records -1.
    void record(int32_t code);

    // Records the code whatever is recorded already, then raises. For detection sites that
    // know the precise reason.
    [[noreturn]] void fail(int32_t code, const char* operation) {
        record(code);
        throw EngineFailure(operation);
    }

    // Runs body as the internal operation `operation` whose own catalogue code is `code`.
    template <class Body> decltype(auto) guard(int32_t code, const char* operation, Body&& body) {
        try {
            return std::forward<Body>(body)();
        } catch (...) {
            if (code_ == 0) record(code);
            throw EngineFailure(operation);
        }
    }

    // The text the engine keeps beside the code is also a scratch line that loading an edit
    // set and the edit-information call overwrite without changing the code.
    void setText(std::string text) { text_ = std::move(text); }

private:
    int32_t code_ = 0;
    std::string text_;
};

} // namespace vetra
