// The local variable table of a running edit: every variable its logic declares, the
// arguments of active user-function calls, and the columns of lookup tables opened during the
// run. Nothing is removed when a block ends; a user function's records go when it returns,
// and the whole table empties at the start of each run. Its capacity stays with the instance.
//
// Names are looked up on every identifier an edit reads. Logic may declare a thousand names
// and each table it opens adds its columns (a table may have two thousand), so past a few
// dozen records names are found through an index of their keys instead of record by record.
#pragma once

#include "engine/interp/key_shapes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vetra {

// Type word of a variable: the low four bits are the base type, the high bits its shape.
inline constexpr int32_t kCharType = 1;
inline constexpr int32_t kIntType = 2;
inline constexpr int32_t kParameterType = 7;
inline constexpr int32_t kUnboundArgument = 0;
inline constexpr int32_t kArrayBit = 0x40;
inline constexpr int32_t kPointerBit = 0x80;

struct VariableRecord {
    static constexpr size_t kNameCapacity = 20;

    char name[kNameCapacity] = {}; // as declared, at most 19 characters
    char key[kNameCapacity] = {};  // the name in upper case, for lookups
    uint8_t keyLength = 0;
    int32_t count = 0; // declared elements of an array; 1 for a char scalar
    int32_t type = 0;
    int32_t value = 0; // the integer value; for arrays the address of their storage

    void setName(std::string_view text);
    bool isByteAddressed() const {
        return type == (kCharType | kArrayBit) || type == (kCharType | kPointerBit);
    }
    bool isArrayOrPointer() const { return (type & (kArrayBit | kPointerBit)) != 0; }
};

class LocalVariables {
public:
    static constexpr size_t kGrowRecords = 20;

    // Records up to this many are searched one by one.
    static constexpr int32_t kUnindexedRecords = 32;

    void clear();
    int32_t count() const { return count_; }
    // Drops the records above `count` (a returning user function's).
    void truncate(int32_t count);
    const VariableRecord& at(int32_t index) const { return records_[static_cast<size_t>(index)]; }

    // Replaces the record of the same name wherever it stands, else appends one.
    void VTi_LocalPush(const VariableRecord& record);
    // A nameless record for a call's argument, bound to a parameter later.
    void pushArgument(int32_t value);
    // Makes the argument record at `index` the parameter `name`.
    void bindParameter(int32_t index, std::string_view name);
    // The record with the name (without regard to case) that was added last, or null.
    VariableRecord* VTi_FindVar(std::string_view name);

    // The shape of the table now (see KeyShapes): the same shape, the same record for a name.
    uint64_t shape() const { return shapes_[static_cast<size_t>(count_)]; }
    VariableRecord& recordAt(int32_t index) { return records_[static_cast<size_t>(index)]; }
    int32_t indexOf(const VariableRecord& record) const {
        return static_cast<int32_t>(&record - records_.data());
    }

private:
    struct KeyHash {
        using is_transparent = void;
        size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };
    // The indexes of the records with one key, in ascending order.
    using Positions = std::vector<int32_t>;

    void append(const VariableRecord& record);
    // The shapes of the first records from `index` up, after the record at `index` changed.
    void reshapeFrom(int32_t index);
    void buildIndex();
    Positions& positionsOf(const VariableRecord& record);

    std::vector<VariableRecord> records_;
    int32_t count_ = 0;
    // While there are more than kUnindexedRecords records: every record below count_ by key.
    bool indexed_ = false;
    std::unordered_map<std::string, Positions, KeyHash, std::equal_to<>> index_;
    KeyShapes shapeTree_;
    std::vector<uint64_t> shapes_ = {shapeTree_.root()}; // of the first n records, n = 0 to count_
};

} // namespace vetra
