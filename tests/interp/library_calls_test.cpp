// The protocol between the interpreter and the built-in functions: dispatch by index, the
// function reading its own arguments, temporary texts tied to the block that made them, and
// lookup-table columns declared as variables of the running edit.
#include "engine/library/function_names.h"
#include "tests/interp/edit_runner.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using vetra::testing::EditRunner;

size_t indexOf(std::string_view name) {
    auto found =
        std::find(vetra::kLibraryFunctionNames.begin(), vetra::kLibraryFunctionNames.end(), name);
    return static_cast<size_t>(found - vetra::kLibraryFunctionNames.begin());
}

// Stands in for the library: "upper" returns a temporary text "ABC", "strlen" the bytes the
// instance has in use, "val" its single argument doubled, and "lookup" declares a column.
class ScriptedLibrary : public vetra::LibraryDispatch {
public:
    explicit ScriptedLibrary(EditRunner& edits) : edits_(edits) {}

    void startRun() override {}

    int32_t call(int32_t index) override {
        vetra::Interpreter& interpreter = edits_.interpreter();
        interpreter.tokens().VTi_GetHardToken('(', 12);
        int32_t result = 0;
        if (static_cast<size_t>(index) == indexOf("upper")) {
            result = interpreter.allocateTemporary(29, 4);
            std::memcpy(interpreter.bytesAt(result).data(), "ABC", 4);
        } else if (static_cast<size_t>(index) == indexOf("strlen")) {
            result = static_cast<int32_t>(edits_.instance().memory().bytesInUse());
        } else if (static_cast<size_t>(index) == indexOf("val")) {
            result = 2 * interpreter.evaluate();
        } else if (static_cast<size_t>(index) == indexOf("lookup")) {
            interpreter.declare("CODE", column_, sizeof column_);
        }
        interpreter.tokens().VTi_GetHardToken(')', 12);
        return result;
    }

private:
    EditRunner& edits_;
    char column_[5] = "C50";
};

class LibraryCalls : public ::testing::Test {
protected:
    void useScriptedLibrary() { edits.interpreter().setLibrary(&library); }

    EditRunner edits;
    ScriptedLibrary library{edits};
};

TEST_F(LibraryCalls, AFunctionReadsItsOwnArgumentsAndItsValueIsTheOperand) {
    useScriptedLibrary();
    EXPECT_EQ(edits.run("return val(20 + 1) + 1;"), 43);
    EXPECT_EQ(edits.run("return val(val(3));"), 12);
}

TEST_F(LibraryCalls, ATemporaryTextIsAnAddressUntilItsBlockEnds) {
    useScriptedLibrary();
    EXPECT_EQ(edits.run("char s; s = upper(); return s[0] * 100 + s[2] - 'A';"), 6502);
    EXPECT_EQ(edits.run("int before, n; before = strlen(); n = 0;\n"
                        "while (n < 100) { upper(); n = n + 1; }\n"
                        "return strlen() - before;"),
              0);
}

TEST_F(LibraryCalls, TableColumnsBecomeCharArrays) {
    useScriptedLibrary();
    EXPECT_EQ(edits.run("lookup(); return CODE[1];"), '5');
    EXPECT_EQ(edits.run("lookup(); CODE[1] = 'X'; return CODE[1];"), 'X');
}

TEST_F(LibraryCalls, AFunctionNumberOutsideTheTableIsUndefined) {
    std::string logic = "@M";
    logic += static_cast<char>('A' + 83);
    logic += "();";
    EXPECT_EQ(edits.failureOfLogic(logic), 2014);
}

} // namespace
