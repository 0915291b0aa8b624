#include "keyword_table.h"

namespace vetra {

namespace {

// Code character -> row, built once from the table so that lookups are one array access.
struct CodeIndex {
    std::array<int8_t, 256> rows{};
    constexpr CodeIndex() {
        rows.fill(-1);
        for (size_t i = 0; i < kKeywords.size(); ++i)
            rows[static_cast<unsigned char>(kKeywords[i].codeCharacter)] = static_cast<int8_t>(i);
    }
};

constexpr CodeIndex kCodeIndex;

} // namespace

const Keyword* keywordForCode(char codeCharacter) {
    int8_t row = kCodeIndex.rows[static_cast<unsigned char>(codeCharacter)];
    return row < 0 ? nullptr : &kKeywords[static_cast<size_t>(row)];
}

} // namespace vetra
