// Following one edit through its execution. The host names an edit and gives callbacks
// (VTx_SetDebug); whenever that edit runs from a loaded edit set, the interpreter reports
// through this class the edit's fields at the start, every source line in execution order
// (executed lines marked with the byte 0xBB, lines passed over with a blank, loop bodies on
// their first pass only), every variable after each executed line with its loop iteration,
// and every message the edit adds.
#pragma once

#include "engine/api/vetra40.h"
#include "engine/interp/local_variables.h"
#include "engine/interp/logic_renderer.h"
#include "engine/interp/text_addresses.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vetra {

struct DebugSettings {
    std::string editName; // empty: no debugging
    intptr_t owner = 0;
    VT_DebugVariableCallback variableCallback = nullptr;
    VT_DebugTextCallback fieldCallback = nullptr;
    VT_DebugTextCallback lineCallback = nullptr;
    VT_DebugTextCallback messageCallback = nullptr;
};

class EditTracer {
public:
    static constexpr size_t kMaxEditName = 50;
    static constexpr char kExecutedMarker = '\xBB';

    explicit EditTracer(FieldNameSource& names) : names_(names) {}

    // 0, or 931 (a name but no callback) or 932 (a name but owner 0); the settings are
    // cleared first in every case.
    int32_t VTi_SetDebug(std::string_view editName, const DebugSettings& settings);
    // True when the edit of this name is the one being debugged (exact comparison).
    bool debugs(std::string_view editName) const {
        return !settings_.editName.empty() && editName == settings_.editName;
    }
    const DebugSettings& settings() const { return settings_; }

    // A traced run starts at `programStart` of `logic`, on line 1.
    void begin(std::string_view logic, size_t programStart);
    // Reports the lines from the trace position up to `position`, each marked executed or
    // not; after an executed line, every variable.
    void debug_edit(size_t position, bool executed, LocalVariables& locals,
                    const TextAddressSpace& addresses);
    // A user function's body lies apart from the calling line: the trace goes to the line
    // that holds `offset` and, when the call returns, back to where it was.
    struct TracePoint {
        size_t position;
        int32_t line;
        size_t loops;
    };
    TracePoint enterFunction(size_t offset);
    void leaveFunction(const TracePoint& caller);

    void enterLoop();
    // The loop runs again from `loopStart`: its lines are not reported again.
    void repeatLoop(size_t loopStart);
    void leaveLoop();

    void reportField(const std::string& text) const;
    void reportMessage(const std::string& text) const;

private:
    int32_t iteration() const;
    void debug_variable(const VariableRecord& variable, const TextAddressSpace& addresses) const;

    FieldNameSource& names_;
    DebugSettings settings_;
    std::string_view logic_;
    size_t programStart_ = 0;
    size_t tracePosition_ = 0;
    int32_t line_ = 1;
    std::vector<int32_t> loopLines_;
    std::vector<int32_t> loopIterations_;
};

// The text a variable's value shows in a trace: a char array's characters, a number, or the
// name of a date constant.
std::string tracedValue(const VariableRecord& variable, const TextAddressSpace& addresses);

} // namespace vetra
