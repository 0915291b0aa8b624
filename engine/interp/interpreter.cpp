#include "interpreter.h"

#include "engine/api/engine_failure.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace vetra {

namespace {

// A decimal number of compiled text: digits up to the first other character.
int32_t decimalPrefix(std::string_view text) {
    int32_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

Interpreter::Interpreter(LastEngineError& errors, MemoryManager& memory, FieldValueSource& fields,
                         bool& running, const int32_t& today)
    : errors_(errors), memory_(memory), tokens_(errors, fields), running_(running), today_(today) {
    const char* forced = std::getenv(kReferenceEnvironment);
    referenceForced_ = forced != nullptr && std::string_view(forced) == "1";
}

bool Interpreter::referencePath() {
    if (switches_ != nullptr && switches_->revision() != switchesRevision_) {
        std::string value;
        switches_->VTi_GetVar(kReferenceVariable, &value);
        referenceByVariable_ = value == "1";
        switchesRevision_ = switches_->revision();
    }
    return referenceForced_ || referenceByVariable_;
}

Interpreter::Nesting::Nesting(Interpreter& interpreter) : interpreter_(interpreter) {
    if (++interpreter_.nesting_ > kMaxNesting) {
        --interpreter_.nesting_;
        interpreter_.failRun(kInterpretFailure, "VTi_interpret",
                             "In VTi_interpret: edit logic nested too deeply");
    }
}

void Interpreter::failRun(int32_t code, const char* operation, const std::string& text) {
    errors_.record(code);
    if (!text.empty()) errors_.setText(text);
    throw EngineFailure(operation);
}

void Interpreter::failMalformed() {
    errors_.fail(2017, "VTi_GetToken");
}

void Interpreter::checkBudget() {
    if (tokens_.tokensRead() > tokenBudget_)
        failRun(kInterpretFailure, "VTi_interpret",
                "In VTi_interpret: edit logic read more than " + std::to_string(tokenBudget_) +
                    " tokens in one run");
}

void Interpreter::readFunctionHeader(std::string_view logic) {
    functionCount_ = static_cast<unsigned char>(logic[0]) - '@';
    if (functionCount_ < 0 || functionCount_ > kMaxFunctions ||
        logic.size() < 1 + 5 * static_cast<size_t>(functionCount_))
        failMalformed();
    for (int32_t k = 0; k < functionCount_; ++k)
        functionOffsets_[static_cast<size_t>(k)] =
            decimalPrefix(logic.substr(1 + 5 * static_cast<size_t>(k), 5));
}

int32_t Interpreter::VTi_interpret(std::string_view logic) {
    return errors_.guard(kInterpretFailure, "VTi_interpret", [&] {
        logic = logic.substr(0, logic.find('\0'));
        if (logic.empty()) return 1;
        if (library_ != nullptr) library_->startRun();
        readFunctionHeader(logic);
        logic_ = logic;
        size_t programStart = 1 + 5 * static_cast<size_t>(functionCount_);
        translation_ = tracing_ || referencePath() ? nullptr : translations_.translationOf(logic);
        tokens_.start(logic, programStart,
                      translation_ != nullptr ? &translation_->decoded : nullptr);
        if (tracing_) tracer_->begin(logic, programStart);
        releaseRunStorage();
        ++runSerial_;
        locals_.clear();
        callTop_ = 0;
        returnRegister_ = 1;
        blockLevel_ = kRunStartLevel;
        running_ = true;
        callDepth_ = 1;
        nesting_ = 0;
        allocationsAtRunStart_ = memory_.allocations();
        try {
            interp_block(true);
        } catch (...) {
            releaseRunStorage();
            running_ = false;
            throw;
        }
        releaseRunStorage();
        running_ = false;
        return returnRegister_;
    });
}

void Interpreter::releaseRunStorage() {
    addresses_.clear();
    columnAddresses_.clear();
    // Level 2 holds the arrays, 3 and 5 the tables and searches opened by the run, 10 and up
    // the temporaries; nothing to free when the run allocated nothing.
    if (memory_.allocations() != allocationsAtRunStart_) memory_.freeLevel(kArrayLevel);
    allocationsAtRunStart_ = memory_.allocations();
}

void Interpreter::releaseBlockStorage(int32_t level, size_t firstBlock) {
    addresses_.unmapFrom(level, firstBlock, [this](int32_t handle) { memory_.VTi_free(handle); });
}

int32_t Interpreter::mapBlock(int32_t handle, size_t size, int32_t level) {
    int32_t address = addresses_.map(static_cast<char*>(memory_.lock(handle)), size, level, handle);
    if (address == 0) memory_.VTi_free(handle);
    return address;
}

// Blocks nest deeper than the memory manager's levels of running edits reach (2 to 99), and
// its higher levels outlive runs: a temporary takes level 99 at most, so that the run's end
// frees it, while its address keeps the block's own level, by which the block's end does.
int32_t Interpreter::allocateTemporary(int32_t tag, size_t size) {
    int32_t memoryLevel = std::min(blockLevel_, MemoryManager::kLastRunLevel);
    return mapBlock(memory_.VTi_AllocMem(memoryLevel, tag, false, size), size, blockLevel_);
}

VariableRecord* Interpreter::VTi_FindVar(std::string_view name, bool required) {
    return errors_.guard(465, "VTi_FindVar", [&] {
        VariableRecord* record = locals_.VTi_FindVar(name);
        if (record == nullptr && required) errors_.fail(2010, "VTi_FindVar");
        return record;
    });
}

void Interpreter::declare(std::string_view name, char* value, size_t capacity) {
    VariableRecord record;
    record.setName(name);
    record.type = kCharType | kArrayBit;
    record.count = static_cast<int32_t>(capacity);
    auto [column, added] = columnAddresses_.try_emplace({value, capacity}, 0);
    if (added)
        column->second = addresses_.map(value, capacity, kTableLevel, TextAddressSpace::kNoHandle);
    record.value = column->second;
    errors_.guard(459, "VTi_LocalPush", [&] { locals_.VTi_LocalPush(record); });
}

} // namespace vetra
