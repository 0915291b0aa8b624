// User functions. A call evaluates its arguments, pushes them as nameless local records (the
// last argument first), and jumps to the function's parameter list, which names those
// records from the top of the table down. The call stack keeps each active call's local
// count, restored when the function returns; the call's value is the return register.
#include "engine/interp/keyword_table.h"
#include "interpreter.h"

#include <optional>

namespace vetra {

namespace {

constexpr char kChar = 'H';
constexpr char kInt = 'I';

} // namespace

void Interpreter::call() {
    errors_.guard(455, "call", [&] {
        int32_t number = static_cast<signed char>(tokens_.token().text[0]);
        if (number < 0 || number >= functionCount_ ||
            functionOffsets_[static_cast<size_t>(number)] == 0)
            errors_.fail(2005, "call");
        size_t offset = static_cast<size_t>(functionOffsets_[static_cast<size_t>(number)]);
        if (offset >= logic_.size()) failMalformed();
        ++callDepth_;
        int32_t callerLocals = locals_.count();
        get_args();
        size_t returnPosition = tokens_.position();
        func_push(callerLocals);
        tokens_.setPosition(offset);
        std::optional<EditTracer::TracePoint> caller;
        if (tracing_) caller = tracer_->enterFunction(offset);
        get_params(callerLocals);
        trace(true);
        interp_block(false);
        if (caller) tracer_->leaveFunction(*caller);
        tokens_.setPosition(returnPosition);
        locals_.truncate(func_pop());
        --callDepth_;
    });
}

void Interpreter::get_args() {
    errors_.guard(460, "get_args", [&] {
        tokens_.VTi_GetHardToken('(', 12);
        tokens_.VTi_GetToken();
        std::array<int32_t, kMaxArguments> values{};
        int32_t count = 0;
        if (tokens_.token().text[0] != ')') {
            tokens_.putBack();
            do {
                if (count == kMaxArguments) errors_.fail(2078, "VTi_GetHardToken");
                values[static_cast<size_t>(count++)] = evaluate();
                tokens_.VTi_GetToken();
            } while (tokens_.token().text[0] == ',');
            if (tokens_.token().text[0] != ')') errors_.fail(2085, "VTi_GetHardToken");
        }
        for (int32_t i = count - 1; i >= 0; --i)
            errors_.guard(459, "VTi_LocalPush",
                          [&] { locals_.pushArgument(values[static_cast<size_t>(i)]); });
    });
}

void Interpreter::get_params(int32_t firstArgument) {
    errors_.guard(461, "get_params", [&] {
        tokens_.VTi_GetHardToken('(', 12);
        int32_t record = locals_.count() - 1;
        for (;;) {
            tokens_.VTi_GetToken();
            if (tokens_.token().text[0] == ')') return;
            char code = tokens_.token().code;
            if (tokens_.token().kind != kDeclaration || (code != kInt && code != kChar))
                errors_.fail(2006, "get_params");
            // More parameters than arguments: nothing is left to bind.
            if (record < firstArgument) errors_.fail(2078, "VTi_GetHardToken");
            tokens_.VTi_GetToken();
            locals_.bindParameter(record--, tokens_.text());
            tokens_.VTi_GetToken();
            if (tokens_.token().code != ',') break;
        }
        if (tokens_.token().text[0] != ')') errors_.fail(2007, "get_params");
    });
}

void Interpreter::func_push(int32_t localCount) {
    errors_.guard(464, "func_push", [&] {
        if (callTop_ >= kCallStackSize) errors_.fail(2009, "func_push");
        callStack_[static_cast<size_t>(callTop_++)] = localCount;
    });
}

int32_t Interpreter::func_pop() {
    return errors_.guard(463, "func_pop", [&] {
        if (callTop_ == 0) errors_.fail(2008, "func_pop");
        return callStack_[static_cast<size_t>(--callTop_)];
    });
}

} // namespace vetra
