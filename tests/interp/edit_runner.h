// Runs edit sources on a bound record: each source is compiled by the project's edit compiler
// and its logic interpreted by an open metafile's interpreter. The layout "Test" holds Sex
// (220, column 1), Date of Diagnosis (390, columns 2-9) and Primary Site (400, columns 10-13).
#pragma once

#include "engine/api/engine_failure.h"
#include "engine/interp/interpreter.h"
#include "engine/store/TMetaFile.h"
#include "tests/support/open_metafile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vetra::testing {

class EditRunner {
public:
    explicit EditRunner(std::string_view record = "220051231C509");

    Interpreter& interpreter() { return instance().interpreter(); }
    TMetaFile& instance();
    int32_t id() const { return metafile_.id(); }

    // The run's result; a failed run is a test failure.
    int32_t run(std::string_view source);
    int32_t runLogic(std::string_view logic);
    // The engine error of a run that must fail.
    int32_t failureOf(std::string_view source);
    int32_t failureOfLogic(std::string_view logic);
    std::string lastErrorText() { return instance().lastError().text(); }

    static std::string compile(std::string_view source);

private:
    OpenMetafile metafile_;
    int32_t record_ = -1;
};

} // namespace vetra::testing
