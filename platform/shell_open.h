// Handing a document to the program the desktop opens it with (a spreadsheet for a .csv file).
// The result follows the shell's convention: above 32 when a program took the document, an
// error number below 32 when none could.
#pragma once

#include <string>

namespace vetra::platform {

inline constexpr int kShellOpened = 42;
inline constexpr int kShellFileNotFound = 2;
inline constexpr int kShellNoAssociation = 31; // no program opens documents of this kind

class ShellOpen {
public:
    virtual ~ShellOpen() = default;
    virtual int open(const std::string& documentPath) = 0;
};

} // namespace vetra::platform
