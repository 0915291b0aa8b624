#include "edit_tracer.h"

#include <algorithm>
#include <cstdio>

namespace vetra {

namespace {

constexpr size_t kLineText = 20000;
constexpr size_t kVariableText = 10000;

std::string numbered(int32_t line, std::string_view text, size_t capacity) {
    std::string result(capacity, '\0');
    int written = std::snprintf(result.data(), capacity, "%3i: %.*s", static_cast<int>(line),
                                static_cast<int>(text.size()), text.data());
    result.resize(std::min(static_cast<size_t>(std::max(written, 0)), capacity - 1));
    return result;
}

} // namespace

std::string tracedValue(const VariableRecord& variable, const TextAddressSpace& addresses) {
    if (variable.isByteAddressed()) return std::string(addresses.textAt(variable.value));
    int32_t value = variable.value;
    if (value < 0x1FFFFFFF) return std::to_string(value);
    switch (value) {
    case 0x4FFFFFFF:
        return "DT_VALID";
    case 0x1FFFFFFF:
        return "DT_MONTH_EMPTY";
    case 0x2FFFFFFF:
        return "DT_DAY_EMPTY";
    case 0x3FFFFFFF:
        return "DT_EMPTY";
    case 0x5FFFFFFF:
        return "DT_MISSING";
    case 0x6FFFFFFF:
        return "DT_ERROR";
    case 0x7FFFFFFF:
        return "DT_UNKNOWN";
    default:
        return "WHOOPS";
    }
}

int32_t EditTracer::VTi_SetDebug(std::string_view editName, const DebugSettings& settings) {
    settings_ = DebugSettings{};
    if (editName.empty()) return 0;
    if (settings.variableCallback == nullptr && settings.fieldCallback == nullptr &&
        settings.lineCallback == nullptr && settings.messageCallback == nullptr)
        return 931;
    if (settings.owner == 0) return 932;
    settings_ = settings;
    settings_.editName = std::string(editName.substr(0, kMaxEditName));
    return 0;
}

void EditTracer::begin(std::string_view logic, size_t programStart) {
    logic_ = logic;
    programStart_ = std::min(programStart, logic.size());
    tracePosition_ = programStart_;
    line_ = 1;
    loopLines_.clear();
    loopIterations_.clear();
}

int32_t EditTracer::iteration() const {
    if (loopIterations_.empty()) return -1;
    if (loopIterations_.back() == 0 && loopIterations_.size() > 1) return loopIterations_.front();
    return loopIterations_.back();
}

void EditTracer::debug_edit(size_t position, bool executed, LocalVariables& locals,
                            const TextAddressSpace& addresses) {
    position = std::min(position, logic_.size());
    while (tracePosition_ < position) {
        size_t lineStart = tracePosition_;
        if (settings_.lineCallback != nullptr) {
            std::string rendered(1, executed ? kExecutedMarker : ' ');
            std::optional<size_t> end = renderLine(logic_, tracePosition_, rendered, names_);
            tracePosition_ = end ? *end : logic_.size();
            if (iteration() < 1)
                settings_.lineCallback(settings_.owner,
                                       numbered(line_, rendered, kLineText).c_str());
        } else {
            size_t lineFeed = logic_.find('\n', tracePosition_);
            tracePosition_ = lineFeed == std::string_view::npos ? logic_.size() : lineFeed;
        }
        if (executed && settings_.variableCallback != nullptr)
            for (int32_t i = 0; i < locals.count(); ++i)
                debug_variable(locals.at(i), addresses);
        while (tracePosition_ < logic_.size() && logic_[tracePosition_] == '\n') {
            ++tracePosition_;
            ++line_;
        }
        if (tracePosition_ == lineStart) break; // a malformed token renders nothing
    }
}

void EditTracer::debug_variable(const VariableRecord& variable,
                                const TextAddressSpace& addresses) const {
    if (variable.name[0] == '\0') return; // a call's argument not yet bound to a parameter
    std::string text = std::string(variable.name) + " == " + tracedValue(variable, addresses);
    int32_t loop = loopIterations_.empty() ? -1 : loopIterations_.back();
    settings_.variableCallback(settings_.owner, numbered(line_, text, kVariableText).c_str(), loop);
}

EditTracer::TracePoint EditTracer::enterFunction(size_t offset) {
    TracePoint caller{tracePosition_, line_, loopLines_.size()};
    offset = std::clamp(offset, programStart_, logic_.size());
    std::string_view before = logic_.substr(programStart_, offset - programStart_);
    size_t lineFeed = before.rfind('\n');
    tracePosition_ =
        lineFeed == std::string_view::npos ? programStart_ : programStart_ + lineFeed + 1;
    line_ = 1 + static_cast<int32_t>(std::count(before.begin(), before.end(), '\n'));
    return caller;
}

void EditTracer::leaveFunction(const TracePoint& caller) {
    tracePosition_ = caller.position;
    line_ = caller.line;
    loopLines_.resize(std::min(loopLines_.size(), caller.loops));
    loopIterations_.resize(std::min(loopIterations_.size(), caller.loops));
}

void EditTracer::enterLoop() {
    if (loopLines_.empty() || loopLines_.back() != line_) {
        loopLines_.push_back(line_);
        loopIterations_.push_back(0);
    }
}

void EditTracer::repeatLoop(size_t loopStart) {
    if (loopLines_.empty()) return;
    ++loopIterations_.back();
    tracePosition_ = loopStart;
    line_ = loopLines_.back();
}

void EditTracer::leaveLoop() {
    if (loopLines_.empty()) return;
    loopLines_.pop_back();
    loopIterations_.pop_back();
}

void EditTracer::reportField(const std::string& text) const {
    if (settings_.fieldCallback != nullptr) settings_.fieldCallback(settings_.owner, text.c_str());
}

void EditTracer::reportMessage(const std::string& text) const {
    if (settings_.messageCallback != nullptr)
        settings_.messageCallback(settings_.owner, text.c_str());
}

} // namespace vetra
