// Compiled edit logic decoded once. Every token that a straight read of the main program and
// of each user function meets is kept by the position it starts at (and by the line feeds
// before it), exactly as the token reader leaves it after reading there; reading it again,
// on every loop pass and after every token put back, is then a table lookup and a copy.
// A position no straight read reaches (a jump into the middle of a token, in damaged logic)
// has no token here, and the reader decodes the text there as it would without this table.
//
// Beside each token the table keeps what the interpreter learns at that place on the way:
// which local variable a name found for a shape of the variable table, and the expression
// plan that starts there (see expression_plan.h). Those belong to one interpreter: the table
// is not shared between instances.
#pragma once

#include "engine/interp/token_reader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vetra {

struct DecodedToken;

class DecodedLogic {
public:
    static constexpr int32_t kNoEntry = -1;
    // Zero bytes after each token's text, so that a short text can be copied as a block.
    static constexpr size_t kTextPadding = 8;

    struct Entry {
        uint32_t start = 0; // past the line feeds before the token
        uint32_t next = 0;  // the position after it; for the end, its own position
        uint32_t textOffset = 0;
        uint8_t length = 0;
        uint8_t kind = 0;
        char code = 0;
        bool end = false;           // the position does not move: every read gives the end again
        int32_t fieldReference = 0; // a field reference's text is the field's value when read
    };

    // Which record a name at this place found, for the table shape it was found in.
    struct VariableSlot {
        uint64_t shape = 0; // KeyShapes::kUnknown: nothing remembered
        int32_t record = -1;
    };

    static constexpr int32_t kPlanUnknown = -2;
    static constexpr int32_t kNoPlan = -1;

    explicit DecodedLogic(std::string_view logic);

    // The logic this table was made from.
    std::string_view logic() const { return logic_; }
    // The token a read from `position` gives, or kNoEntry.
    int32_t entryAt(size_t position) const {
        return position < entryAtPosition_.size() ? entryAtPosition_[position] : kNoEntry;
    }
    const Entry& entry(int32_t index) const { return entries_[static_cast<size_t>(index)]; }
    int32_t entryCount() const { return static_cast<int32_t>(entries_.size()); }
    const char* text(const Entry& entry) const { return texts_.data() + entry.textOffset; }
    // The entry that follows `index` in a straight read, or kNoEntry.
    int32_t following(int32_t index) const { return entryAt(entry(index).next); }

    // A straight read from entry `first` to the parenthesis that closes one already open, as
    // a for loop passes over its increment: the tokens read and the last one.
    struct Skip {
        int32_t last = kPlanUnknown; // kNoPlan when the read meets a field reference or the end
        uint32_t reads = 0;
    };
    const Skip& closingParenthesis(int32_t first);

    VariableSlot& variableSlot(int32_t index) { return slots_[static_cast<size_t>(index)]; }
    int32_t& planOf(int32_t index) { return plans_[static_cast<size_t>(index)]; }

    // Bytes held, for the measure of what a translation costs.
    size_t bytes() const;

private:
    void readFrom(size_t position);

    std::string logic_;
    std::vector<Entry> entries_;
    std::vector<int32_t> entryAtPosition_;
    std::string texts_;
    std::vector<VariableSlot> slots_;
    std::vector<int32_t> plans_;
    std::vector<Skip> skips_;
};

} // namespace vetra
