// strcpy, strcat and fmtstr: the functions that write into a destination. A destination that
// is a declared variable is checked against its declared element count; every write is also
// kept inside the block the destination address lies in, whatever the edit claims.
#include "engine/library/argument_reader.h"
#include "engine/store/TMetaFile.h"
#include "string_functions.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

namespace vetra {

namespace {

// The bytes at the destination; a run failure when the address names no block.
std::span<char> destinationBytes(ArgumentReader& arguments, int32_t address) {
    std::span<char> bytes = arguments.interpreter().bytesAt(address);
    if (bytes.empty())
        arguments.interpreter().failRun(474, "VTi_interpret",
                                        "In VTi_interpret: no text at address " +
                                            std::to_string(address) + " to copy into");
    return bytes;
}

// The source of strcpy and strcat, and their count n: without one, the source's length plus
// one; one of 0 or less pads the source with blanks to -n characters.
struct CopySource {
    std::string text;
    size_t count = 0;
};

CopySource readCopySource(ArgumentReader& arguments, int32_t parenthesisCode,
                          const char* function) {
    CopySource source{arguments.workingText(), 0};
    source.count = source.text.size() + 1;
    if (!arguments.another(parenthesisCode, function)) return source;
    int32_t n = arguments.count();
    arguments.close();
    if (n <= 0) {
        n = n == INT32_MIN ? INT32_MAX : -n;
        if (source.text.size() < static_cast<size_t>(n))
            source.text.resize(
                std::min<size_t>(static_cast<size_t>(n), ArgumentReader::kWorkingText), ' ');
    }
    source.count = static_cast<size_t>(n);
    return source;
}

// Whether every number in a conversion (its width and precision) is at most kMaxFieldSize.
// The C library would produce a field of any width in full before it is cut, so a width of
// two billion costs seconds of work per call: such a conversion is refused before formatting.
constexpr size_t kMaxFieldSize = 511;

bool fieldSizesWithinLimit(std::string_view directive) {
    size_t number = 0;
    for (char c : directive) {
        number = c >= '0' && c <= '9' ? number * 10 + static_cast<size_t>(c - '0') : 0;
        if (number > kMaxFieldSize) return false; // before it can overflow
    }
    return true;
}

// printf conventions for one value: the format's first conversion takes it, "%%" is a
// percent sign; a second conversion, one that takes no integer or text, or one wider than the
// output can hold, is refused.
std::optional<std::string> formatOne(std::string_view format, int32_t value,
                                     const Interpreter& interpreter) {
    std::string result;
    bool converted = false;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            result += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            result += '%';
            ++i;
            continue;
        }
        size_t end = format.find_first_not_of("-+ #0123456789.hlL", i + 1);
        if (end == std::string_view::npos || converted) return std::nullopt;
        std::string directive(format.substr(i, end - i));
        if (!fieldSizesWithinLimit(directive)) return std::nullopt;
        directive.erase(std::remove_if(directive.begin() + 1, directive.end(),
                                       [](char c) { return c == 'h' || c == 'l' || c == 'L'; }),
                        directive.end());
        char conversion = format[end];
        char buffer[512];
        if (std::string("diouxXc").find(conversion) != std::string::npos)
            std::snprintf(buffer, sizeof buffer, (directive + conversion).c_str(), value);
        else if (conversion == 's')
            std::snprintf(buffer, sizeof buffer, (directive + 's').c_str(),
                          std::string(interpreter.textAt(value)).c_str());
        else
            return std::nullopt;
        result += buffer;
        converted = true;
        i = end;
    }
    return result;
}

} // namespace

int32_t call_strcpy(TMetaFile& instance) {
    return instance.lastError().guard(510, "call_strcpy", [&] {
        ArgumentReader arguments(instance);
        arguments.open();
        Destination destination = arguments.destination(2057, "call_strcpy");
        arguments.comma();
        CopySource source = readCopySource(arguments, 2058, "call_strcpy");
        size_t capacity = static_cast<size_t>(std::max(destination.capacity, 0));
        if (destination.declared && source.text.size() >= capacity && capacity < source.count)
            instance.lastError().fail(2059, "call_strcpy");
        std::span<char> bytes = destinationBytes(arguments, destination.address);
        // The characters and the terminator stay inside the variable and its block.
        size_t n = std::min(source.count, bytes.size() - 1);
        if (destination.declared && capacity > 0) n = std::min(n, capacity - 1);
        for (size_t i = 0; i < n; ++i)
            bytes[i] = i < source.text.size() ? source.text[i] : '\0';
        bytes[n] = '\0';
        return destination.address;
    });
}

int32_t call_strcat(TMetaFile& instance) {
    return instance.lastError().guard(511, "call_strcat", [&] {
        ArgumentReader arguments(instance);
        arguments.open();
        Destination destination = arguments.destination(2060, "call_strcat");
        arguments.comma();
        CopySource source = readCopySource(arguments, 2061, "call_strcat");
        std::span<char> bytes = destinationBytes(arguments, destination.address);
        size_t length = std::string_view(bytes.data(), bytes.size()).find('\0');
        if (length == std::string_view::npos) length = bytes.size();
        if (destination.declared &&
            source.text.size() + length >= static_cast<size_t>(std::max(destination.capacity, 0)))
            instance.lastError().fail(2062, "call_strcat");
        size_t appended = std::min(source.count, source.text.size());
        if (length + appended + 1 > bytes.size()) instance.lastError().fail(2062, "call_strcat");
        std::copy_n(source.text.begin(), appended, bytes.begin() + static_cast<ptrdiff_t>(length));
        bytes[length + appended] = '\0';
        return destination.address;
    });
}

int32_t call_fmtstr(TMetaFile& instance) {
    return instance.lastError().guard(512, "call_fmtstr", [&] {
        ArgumentReader arguments(instance);
        arguments.open();
        Destination destination = arguments.destination(2063, "call_fmtstr");
        arguments.comma();
        std::string format = arguments.workingText();
        arguments.comma();
        int32_t value = arguments.count();
        arguments.close();
        std::optional<std::string> text = formatOne(format, value, arguments.interpreter());
        if (!text) instance.lastError().fail(2064, "call_fmtstr");
        if (!destination.declared) return destination.address;
        if (text->size() >= static_cast<size_t>(std::max(destination.capacity, 0)))
            instance.lastError().fail(2064, "call_fmtstr");
        std::span<char> bytes = destinationBytes(arguments, destination.address);
        if (text->size() + 1 > bytes.size()) instance.lastError().fail(2064, "call_fmtstr");
        std::copy(text->begin(), text->end(), bytes.begin());
        bytes[text->size()] = '\0';
        return destination.address;
    });
}

} // namespace vetra
