// VTi_GetToken and VTi_GetHardToken: reading compiled edit logic one token at a time into the
// instance's token record. The record keeps the text, kind and code of the last token read,
// and the position it started at, so that callers can put a token back and still inspect it.
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/interp/token_decoder.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vetra {

// The current text of a field by local number, or null when the layout has no such field.
class FieldValueSource {
public:
    virtual const char* fieldValue(int32_t localNumber) = 0;
    virtual ~FieldValueSource() = default;
};

struct TokenRecord {
    static constexpr size_t kTextCapacity = 80;

    char text[kTextCapacity] = {};
    uint8_t length = 0; // of text
    uint8_t kind = 0;
    char code = 0;
    int32_t fieldReference = 0;
};

class DecodedLogic;

class TokenReader {
public:
    static constexpr int kHardTokenErrors = 25;

    TokenReader(LastEngineError& errors, FieldValueSource& fields)
        : errors_(errors), fields_(fields) {}

    // Starts reading `logic` at `position`; with `decoded` (made from the same text), tokens
    // it holds are taken from it instead of being decoded again.
    void start(std::string_view logic, size_t position, const DecodedLogic* decoded = nullptr);

    uint8_t VTi_GetToken();
    // Reads a token whose text must begin with `expected`; otherwise fails with 2073 + index.
    void VTi_GetHardToken(char expected, int errorIndex);
    void putBack() { position_ = tokenStart_; }

    // The reader's whole state, to go back to a token after looking past it.
    struct Mark {
        TokenRecord token;
        size_t tokenStart;
        size_t position;
        int32_t entry;
    };
    Mark mark() const { return {token_, tokenStart_, position_, entry_}; }
    void reset(const Mark& mark) {
        token_ = mark.token;
        tokenStart_ = mark.tokenStart;
        position_ = mark.position;
        entry_ = mark.entry;
    }

    const TokenRecord& token() const { return token_; }
    size_t position() const { return position_; }
    size_t tokenStart() const { return tokenStart_; }
    void setPosition(size_t position) { position_ = position; }
    std::string_view logic() const { return logic_; }
    // Tokens read since start(): the measure of how long logic has run.
    uint64_t tokensRead() const { return tokensRead_; }

    // The current token's text as a view.
    std::string_view text() const { return {token_.text, token_.length}; }

    // ---- For the expression plans, which read tokens without this reader ----
    const DecodedLogic* decoded() const { return decoded_; }
    // The decoded entry of the current token, or DecodedLogic::kNoEntry.
    int32_t entry() const { return entry_; }
    void countReads(uint64_t reads) { tokensRead_ += reads; }
    // Makes the decoded entry `index` the current token, put back.
    void putBackEntry(int32_t index);
    // Makes the decoded entry `index` the current token, as if just read.
    void takeEntry(int32_t index) { copyEntry(index); }

private:
    bool readCommonToken();
    bool readDecodedToken();
    void copyEntry(int32_t index);
    void setText(std::string_view text);

    LastEngineError& errors_;
    FieldValueSource& fields_;
    std::string_view logic_;
    size_t position_ = 0;
    size_t tokenStart_ = 0;
    uint64_t tokensRead_ = 0;
    TokenRecord token_;
    const DecodedLogic* decoded_ = nullptr;
    int32_t entry_ = -1;
};

} // namespace vetra
