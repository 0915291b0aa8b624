#include "decoded_logic.h"

#include "engine/api/engine_failure.h"

#include <cctype>

namespace vetra {

namespace {

// Field references are kept by number; their text is looked up when read.
class NoFieldValues : public FieldValueSource {
public:
    const char* fieldValue(int32_t) override { return nullptr; }
};

// The function offsets of the logic's header: a letter counting the functions, then five
// characters per function whose leading digits give its offset.
std::vector<size_t> functionOffsets(std::string_view logic) {
    std::vector<size_t> offsets;
    if (logic.empty()) return offsets;
    int count = static_cast<unsigned char>(logic[0]) - '@';
    if (count < 0 || logic.size() < 1 + 5 * static_cast<size_t>(count)) return offsets;
    for (int k = 0; k < count; ++k) {
        size_t value = 0;
        for (char c : logic.substr(1 + 5 * static_cast<size_t>(k), 5)) {
            if (!std::isdigit(static_cast<unsigned char>(c))) break;
            value = value * 10 + static_cast<size_t>(c - '0');
        }
        offsets.push_back(value);
    }
    offsets.push_back(1 + 5 * static_cast<size_t>(count)); // the main program
    return offsets;
}

} // namespace

DecodedLogic::DecodedLogic(std::string_view logic)
    : logic_(logic), entryAtPosition_(logic.size() + 1, kNoEntry) {
    for (size_t start : functionOffsets(logic_))
        if (start != 0 && start < logic_.size()) readFrom(start);
    slots_.resize(entries_.size());
    plans_.assign(entries_.size(), kPlanUnknown);
    skips_.resize(entries_.size());
}

// The walk is the for loop's own: a parenthesis is any token whose text starts with one, and
// a field reference's text is the field's value, so a walk that meets one is not kept.
const DecodedLogic::Skip& DecodedLogic::closingParenthesis(int32_t first) {
    Skip& skip = skips_[static_cast<size_t>(first)];
    if (skip.last != kPlanUnknown) return skip;
    skip.last = kNoPlan;
    uint32_t reads = 0;
    int32_t at = first;
    for (int depth = 1;;) {
        const Entry& token = entry(at);
        if (token.kind == kFieldReference || token.end) return skip;
        ++reads;
        char c = text(token)[0];
        if (c == '(') ++depth;
        if (c == ')' && --depth == 0) break;
        at = following(at);
        if (at == kNoEntry) return skip;
    }
    skip = {at, reads};
    return skip;
}

// Reads tokens with the interpreter's own reader from `position` to the end of the program
// or the first token it cannot read, keeping each one.
void DecodedLogic::readFrom(size_t position) {
    LastEngineError scratch;
    NoFieldValues noFields;
    TokenReader reader(scratch, noFields);
    reader.start(logic_, position);
    for (;;) {
        size_t before = reader.position();
        if (entryAtPosition_[before] != kNoEntry) return; // read already from another start
        try {
            reader.VTi_GetToken();
        } catch (const EngineFailure&) {
            return;
        }
        const TokenRecord& token = reader.token();
        Entry entry;
        entry.start = static_cast<uint32_t>(reader.tokenStart());
        entry.next = static_cast<uint32_t>(reader.position());
        entry.kind = token.kind;
        entry.code = token.code;
        entry.end = entry.next == entry.start && token.kind == kPunctuation;
        if (token.kind == kFieldReference) {
            entry.fieldReference = token.fieldReference;
        } else {
            entry.textOffset = static_cast<uint32_t>(texts_.size());
            entry.length = token.length;
            texts_.append(token.text, token.length);
            texts_.append(kTextPadding, '\0');
        }
        auto index = static_cast<int32_t>(entries_.size());
        entries_.push_back(entry);
        for (size_t p = before; p <= entry.start; ++p)
            entryAtPosition_[p] = index;
        if (entry.end) return;
    }
}

size_t DecodedLogic::bytes() const {
    return sizeof(*this) + logic_.capacity() + entries_.capacity() * sizeof(Entry) +
           entryAtPosition_.capacity() * sizeof(int32_t) + texts_.capacity() +
           slots_.capacity() * sizeof(VariableSlot) + plans_.capacity() * sizeof(int32_t) +
           skips_.capacity() * sizeof(Skip);
}

} // namespace vetra
