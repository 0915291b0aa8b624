// The built-in functions of edit logic, reached by their index in the library table. Each
// reads its own arguments from the running edit's token stream and may use any part of the
// instance: fields, tables, messages, flags, engine variables.
#pragma once

#include "engine/interp/library_dispatch.h"

#include <array>
#include <cstddef>
#include <cstdint>

class TMetaFile;

namespace vetra {

using BuiltinFunction = int32_t (*)(TMetaFile&);
// A user-function slot: the instance and five arguments.
using UserFunction = int32_t (*)(TMetaFile&, const std::array<int32_t, 5>&);

class BuiltinLibrary : public LibraryDispatch {
public:
    static constexpr size_t kUserSlots = 10;

    // The user-function slots start empty but for slot 1, which raises up to five errors, and
    // slot 3, which checks up to five flags.
    explicit BuiltinLibrary(TMetaFile& instance);

    // The message number override and the allowed future years of the previous edit go.
    void startRun() override;
    int32_t call(int32_t index) override;

    UserFunction userSlot(size_t slot) const { return slots_[slot]; }

    // Years after today that the _iop date checks accept while the current edit runs.
    int32_t allowedFutureYears() const { return futureYears_; }
    void allowFutureYears(int32_t years) { futureYears_ = years; }

private:
    TMetaFile& instance_;
    std::array<UserFunction, kUserSlots> slots_{};
    int32_t futureYears_ = 0;
};

// The implementations in table order.
extern const std::array<BuiltinFunction, LibraryDispatch::kFunctionCount> kBuiltinFunctions;

} // namespace vetra
