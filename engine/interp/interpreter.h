// The edit-language interpreter: runs one edit's compiled logic on the bound record, straight
// from the token stream, with no parse ahead of execution. Statements (interp_block and the
// exec_ family) are in statements.cpp, user-function calls in function_calls.cpp, the
// expression evaluator in expressions.cpp.
//
// All values are signed 32-bit integers; a text is the address of its characters in the
// instance's TextAddressSpace. Storage that logic allocates lives at the block level it was
// made at (temporary texts) or at level 2 (arrays) and is released when that block, or the
// run, ends.
//
// Each logic is translated once (translation_cache.h): its tokens decoded and kept, the
// records its names find remembered for each shape of the variable table, and its
// expressions made into plans (expression_plan.h). The statements still walk the tokens.
// Traced runs, and every run while the environment variable VETRA_REFERENCE_INTERPRETER or
// the engine variable _REFERENCE_INTERPRETER is "1", read the compiled text token by token
// instead, as the reference the translation is checked against; both ways give the same
// results, messages, errors and token counts.
//
// Limits that protect a host from stored logic: a run may read kDefaultTokenBudget tokens,
// and blocks and expressions may nest kMaxNesting deep. Either ends the run with code 474.
// An array holds at most kMaxArrayBytes (2001 beyond, as when memory runs out).
#pragma once

#include "engine/api/last_engine_error.h"
#include "engine/interp/edit_tracer.h"
#include "engine/interp/engine_variables.h"
#include "engine/interp/library_dispatch.h"
#include "engine/interp/local_variables.h"
#include "engine/interp/text_addresses.h"
#include "engine/interp/token_reader.h"
#include "engine/interp/translation_cache.h"
#include "engine/store/memory_manager.h"
#include "engine/store/table_file.h"

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace vetra {

class Interpreter : public ColumnVariables {
public:
    static constexpr int32_t kMaxFunctions = 26;
    static constexpr int32_t kCallStackSize = 16;
    static constexpr int32_t kMaxArguments = 18;
    static constexpr int32_t kRunStartLevel = 10;
    static constexpr int32_t kArrayLevel = 2;
    static constexpr int32_t kTableLevel = 3;
    static constexpr uint64_t kDefaultTokenBudget = 50'000'000;
    static constexpr int kMaxNesting = 256;
    // Every built-in's work grows with the texts it is given; no array, and so no text,
    // is longer than this.
    static constexpr size_t kMaxArrayBytes = 65536;
    static constexpr int32_t kInterpretFailure = 474;

    static constexpr std::string_view kReferenceVariable = "_REFERENCE_INTERPRETER";
    static constexpr const char* kReferenceEnvironment = "VETRA_REFERENCE_INTERPRETER";

    Interpreter(LastEngineError& errors, MemoryManager& memory, FieldValueSource& fields,
                bool& running, const int32_t& today);

    void setLibrary(LibraryDispatch* library) { library_ = library; }
    void setTracer(EditTracer* tracer) { tracer_ = tracer; }
    // Whether the runs that follow are traced; it stays as set until set again.
    void setTracing(bool on) { tracing_ = on && tracer_ != nullptr; }
    bool tracing() const { return tracing_; }
    void setTokenBudget(uint64_t tokens) { tokenBudget_ = tokens; }
    // The engine variables whose _REFERENCE_INTERPRETER switch the runs follow.
    void setSwitches(const EngineVariables* variables) { switches_ = variables; }
    // Whether runs read the compiled text token by token (see above).
    bool referencePath();
    // Forces the reference path whatever the switches say (the environment variable sets it
    // when the interpreter is made).
    void forceReferencePath(bool on) { referenceForced_ = on; }
    const TranslationCache& translations() const { return translations_; }

    // Runs compiled logic (up to its terminator): 0 fail, 1 pass, 2 warning, or the value of
    // the last executed return. Fails with the run's engine error.
    int32_t VTi_interpret(std::string_view logic);

    // ---- For the built-in functions ----
    TokenReader& tokens() { return tokens_; }
    // The evaluate-expression entry: reads the expression's first token itself; a ";" there
    // gives 0 and stays consumed. The token after the expression is put back. An empty
    // operand leaves `slot`.
    int32_t evaluate(int32_t slot = 0);
    // Null when there is no such variable and it is not required (2010 when it is).
    VariableRecord* VTi_FindVar(std::string_view name, bool required);
    std::string_view textAt(int32_t address) const { return addresses_.textAt(address); }
    std::span<char> bytesAt(int32_t address) const { return addresses_.bytesAt(address); }
    // A zero-filled block of `size` bytes at the current block level, released when that
    // block ends; its address, or 0 when the address space is full.
    int32_t allocateTemporary(int32_t tag, size_t size);
    int32_t blockLevel() const { return blockLevel_; }
    int32_t today() const { return today_; }
    // Ends the run with `code`; a non-empty `text` replaces the catalogue text.
    [[noreturn]] void failRun(int32_t code, const char* operation, const std::string& text = {});

    // A lookup table's column opened during the run becomes a char array variable. A run's
    // lookups declare the columns of a table again each time, over the same buffers; these
    // keep the address they were given first.
    void declare(std::string_view name, char* value, size_t capacity) override;
    uint64_t runSerial() const override { return runSerial_; }

    // ---- For tests and the trace ----
    LocalVariables& locals() { return locals_; }
    int32_t returnValue() const { return returnRegister_; }

private:
    // A block's result: the value of a return inside a user function, or the return signal
    // of a main-program return, which every enclosing statement passes on at once.
    struct BlockResult {
        int32_t value = 0;
        bool returnSignal = false;
    };

    // Counts nesting of blocks and expressions so that no logic can exhaust the stack.
    class Nesting {
    public:
        explicit Nesting(Interpreter& interpreter);
        ~Nesting() { --interpreter_.nesting_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Interpreter& interpreter_;
    };

    // The trace hooks: lines up to the current position, executed or passed over; a loop's
    // entry, repetition from `loopStart`, and end.
    void trace(bool executed) {
        if (tracing_) tracer_->debug_edit(tokens_.position(), executed, locals_, addresses_);
    }
    void traceLoopEntry() {
        if (tracing_) tracer_->enterLoop();
    }
    void traceLoopRepeat(size_t loopStart) {
        if (tracing_) tracer_->repeatLoop(loopStart);
    }
    void traceLoopEnd() {
        if (tracing_) tracer_->leaveLoop();
    }

    // interpreter.cpp
    void readFunctionHeader(std::string_view logic);
    void releaseRunStorage();
    // What the block at `level` allocated: the blocks mapped since there were `firstBlock`.
    void releaseBlockStorage(int32_t level, size_t firstBlock);
    int32_t mapBlock(int32_t handle, size_t size, int32_t level);
    void checkBudget();
    [[noreturn]] void failMalformed();

    // statements.cpp
    BlockResult interp_block(bool multiple);
    BlockResult runStatement(uint8_t kind, char code);
    BlockResult exec_if();
    BlockResult exec_while();
    BlockResult exec_do();
    BlockResult exec_for();
    BlockResult exec_return();
    void decl_var();
    void declareOne(int32_t baseType);
    int32_t allocateArray(int32_t count, int32_t elementSize);
    void skipStandaloneElse();
    void skipToClosingBrace();
    int32_t evaluateCondition();
    int32_t blockLength() const;
    void skipBlock(int32_t length);
    void skipForIncrement();
    void expectForSemicolon();

    // function_calls.cpp
    void call();
    void get_args();
    void get_params(int32_t firstArgument);
    void func_push(int32_t localCount);
    int32_t func_pop();

    // expressions.cpp
    void evalAssignment(int32_t& value);
    // `entry` is the name's decoded token, or DecodedLogic::kNoEntry.
    void storeAssignment(std::string_view name, int32_t index, int32_t value, int32_t entry);
    VariableRecord* findCurrent(bool required);
    int32_t operate(char op, int32_t left, int32_t right);
    void evalLogical(int32_t& value);
    void evalRelational(int32_t& value);
    void evalAdditive(int32_t& value);
    void evalMultiplicative(int32_t& value);
    void evalUnary(int32_t& value);
    void eval_exp5(int32_t& value);
    void VTi_atom(int32_t& value);
    void variableOperand(int32_t& value);
    void callOperand(int32_t& value);
    int32_t namedConstant(char text) const;
    int32_t signedByteAt(int32_t address) const;

    // plan_evaluation.cpp
    bool evaluatePlanned(int32_t& value);
    // The variable a decoded name token finds, remembered per shape of the table.
    VariableRecord* findAt(int32_t entry, bool required);
    std::string_view nameAt(int32_t entry) const;
    bool planValue(const ExpressionPlan& plan, int32_t index, int32_t& value, uint64_t& reads);
    bool leadingNameValue(const ExpressionPlan& plan, const PlanNode& node, int32_t& value,
                          uint64_t& reads);

    LastEngineError& errors_;
    MemoryManager& memory_;
    TokenReader tokens_;
    bool& running_;
    const int32_t& today_;
    LibraryDispatch* library_ = nullptr;
    EditTracer* tracer_ = nullptr;
    bool tracing_ = false;
    TextAddressSpace addresses_;
    std::map<std::pair<const char*, size_t>, int32_t> columnAddresses_; // for the run
    LocalVariables locals_;
    TranslationCache translations_;
    Translation* translation_ = nullptr; // of the current run; null on the reference path
    const EngineVariables* switches_ = nullptr;
    bool referenceForced_ = false;
    bool referenceByVariable_ = false;
    uint64_t switchesRevision_ = UINT64_MAX;

    std::string_view logic_;
    int32_t functionCount_ = 0;
    std::array<int32_t, kMaxFunctions> functionOffsets_{};
    int32_t returnRegister_ = 1;
    int32_t callDepth_ = 1;
    std::array<int32_t, kCallStackSize> callStack_{};
    int32_t callTop_ = 0;
    int32_t blockLevel_ = kRunStartLevel;
    int nesting_ = 0;
    uint64_t tokenBudget_ = kDefaultTokenBudget;
    uint64_t allocationsAtRunStart_ = 0;
    uint64_t runSerial_ = 0;
};

} // namespace vetra
