// An index tag a DBF table asks for: the table's rows ordered by one character column, kept
// as one tag of the compound index the builder stores with the table.
#pragma once

#include <cstddef>
#include <string>

namespace vetra::writer {

inline constexpr std::size_t maxTagNameLength = 10;

// FoxPro's limit for a compact index key. It also leaves room for two keys in an interior
// node, without which a tree would not narrow.
inline constexpr std::size_t maxIndexKeyLength = 240;

// The tag directory is one leaf. A tag costs it at most 15 bytes (a 5-byte packed entry and
// the 10-byte name), and 32 of those fit the leaf's 488 whatever the names share.
inline constexpr std::size_t maxIndexTags = 32;

struct IndexTag {
    std::string name;           // letters, digits and underscores; written upper case
    std::string column;         // a character column of the table
    bool upperCaseKeys = false; // keys upper-cased, so that mixed-case values sort as one
};

} // namespace vetra::writer
