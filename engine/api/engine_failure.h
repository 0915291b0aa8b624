// How failures travel inside the engine. An internal operation that cannot complete raises an
// EngineFailure after recording a catalogue code in its instance's last engine error; the
// export boundary turns the failure into that code. Anything else that escapes becomes -3.
#pragma once

#include <stdexcept>
#include <string>

namespace vetra {

class EngineFailure : public std::runtime_error {
public:
    explicit EngineFailure(const std::string& text) : std::runtime_error(text) {}
};

} // namespace vetra
