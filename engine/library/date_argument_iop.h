// Reading the date arguments of the _iop functions, whose dates are CCYYMMDD texts with the
// unknown day or month left blank: a D1 date field, a variable, dt_today or a string literal.
// An argument that fails its checks is unusable: the detail status says why, and the
// function gives up on the rest of its argument list.
#pragma once

#include "engine/library/argument_reader.h"

#include <cstdint>
#include <optional>
#include <string>

class TMetaFile;

namespace vetra {

inline constexpr int32_t kWrongDateTypeStatus = 2048; // a date field not of format 1
inline constexpr int32_t kEmptyDateStatus = 4096;

struct IopDate {
    int32_t value = 0; // CCYYMMDD, 0 for each unknown part
    bool blankLiteral = false;
};

class IopDateArguments {
public:
    explicit IopDateArguments(TMetaFile& instance);

    ArgumentReader& reader() { return arguments_; }
    // The date detail status, which a date field read sets too.
    int32_t& status();

    // The next argument's date; none when it is unusable.
    std::optional<IopDate> next();
    // After an unusable argument: the rest of the list up to its ")" is skipped. dt_empty when
    // the argument was an empty date, else dt_error.
    int32_t abandon();

private:
    enum class Source { Text, Evaluated, Other };

    struct Candidate {
        Source source = Source::Other;
        std::string text;
        bool byteAddressed = false; // an identifier naming a text
    };

    // Steps that may make the argument unusable; none when they do.
    std::optional<Candidate> candidate();
    bool digitsValid(const std::string& text);
    int32_t VTi_GetDateAsLong_IOP(const Candidate& candidate);

    TMetaFile& instance_;
    ArgumentReader arguments_;
    TokenReader& tokens_;
};

} // namespace vetra
