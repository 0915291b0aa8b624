// The local variable table of a running edit: every variable its logic declares, the
// arguments of active user-function calls, and the columns of lookup tables opened during the
// run. Nothing is removed when a block ends; a user function's records go when it returns,
// and the whole table empties at the start of each run. Its capacity stays with the instance.
#pragma once

#include <cstdint>
#include <string_view>
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

    void clear() { count_ = 0; }
    int32_t count() const { return count_; }
    // Drops the records above `count` (a returning user function's).
    void truncate(int32_t count) { count_ = count < count_ ? count : count_; }
    VariableRecord& at(int32_t index) { return records_[static_cast<size_t>(index)]; }

    // Replaces the record of the same name wherever it stands, else appends one.
    void VTi_LocalPush(const VariableRecord& record);
    // A nameless record for a call's argument, bound to a parameter later.
    void pushArgument(int32_t value);
    // The most recently added record with the name (without regard to case), or null.
    VariableRecord* VTi_FindVar(std::string_view name);

private:
    void append(const VariableRecord& record);

    std::vector<VariableRecord> records_;
    int32_t count_ = 0;
};

} // namespace vetra
