// Checks the edit compiler byte by byte: each test compiles a small source and compares the
// compiled text with the one the format asks for, or checks where and why a source is refused.
#include "engine/library/function_names.h"
#include "tests/support/file_contents.h"
#include "tests/support/scratch_directory.h"
#include "tools/edit_compiler/compile_error.h"
#include "tools/edit_compiler/edit_compiler.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using vetra::compiler::CompiledEdit;
using vetra::compiler::compileEdit;
using vetra::compiler::CompileError;
namespace fs = std::filesystem;

const fs::path dataDirectory = COMPILER_TEST_DATA;

// The fields of tests/data/compiler/dictionary.csv, looked up without regard to case.
std::optional<std::int32_t> sampleField(std::string_view shortName) {
    static const std::map<std::string, std::int32_t> fields = {
        {"SEX", 220}, {"DATE OF DIAGNOSIS", 390}, {"PRIMARY SITE", 400}};
    std::string key(shortName);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    auto found = fields.find(key);
    if (found == fields.end()) return std::nullopt;
    return found->second;
}

CompiledEdit compile(std::string_view source) {
    return compileEdit(source, sampleField, "test.edit");
}

std::string logicOf(std::string_view source) {
    return compile(source).logic;
}

struct Refusal {
    int line = 0;
    int column = 0;
    std::string message;
};

Refusal refusalOf(std::string_view source) {
    try {
        compile(source);
    } catch (const CompileError& error) {
        return {error.line(), error.column(), error.message()};
    }
    ADD_FAILURE() << "compiled without error: " << source;
    return {};
}

void expectRefused(std::string_view source, int line, int column, const std::string& message) {
    Refusal refusal = refusalOf(source);
    EXPECT_EQ(refusal.line, line) << source;
    EXPECT_EQ(refusal.column, column) << source;
    EXPECT_EQ(refusal.message, message) << source;
}

std::string repeated(std::string_view text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

using vetra::testing::fileContents;

// ---- The function header ---------------------------------------------------------------------

TEST(FunctionHeader, IsOneAtSignWithoutFunctions) {
    EXPECT_EQ(logicOf(""), "@");
    EXPECT_EQ(logicOf("x = 1;"), "@N01x=U011;");
}

TEST(FunctionHeader, GivesEachFunctionTheOffsetOfItsParameterList) {
    std::string logic = logicOf("x = f(1);\n"
                                "function f(int a) { return g(a); }\n"
                                "function g(char b) { return b; }");
    EXPECT_EQ(logic, "B0002800050N01x=mA(U011);\nnA(IN01a){DmB(N01a);}\nnB(HN01b){DN01b;}");
    EXPECT_EQ(logic.substr(26, 3), "nA(");
    EXPECT_EQ(logic.substr(48, 3), "nB(");
}

// ---- Block lengths ---------------------------------------------------------------------------

TEST(BlockLength, OfIfAndElseCountsTheLineFeedsBeforeTheStatement) {
    EXPECT_EQ(logicOf("if (x)\n"
                      "    y = 1;\n"
                      "else\n"
                      "{\n"
                      "    y = 2;\n"
                      "}"),
              "@F0011(N01x)\nN01y=U011;\nA0015\n{\nN01y=U012;\n}");
}

TEST(BlockLength, EndsWithTheStatementsLastCharacter) {
    EXPECT_EQ(logicOf("if (a) x;\n\ny;"), "@F0005(N01a)N01x;\n\nN01y;");
}

TEST(BlockLength, OfAnIfTakesInTheNestedIfAndItsElse) {
    EXPECT_EQ(logicOf("if (a) if (b) x; else y;"), "@F0026(N01a)F0005(N01b)N01x;A0005N01y;");
}

TEST(BlockLength, OfWhileRunsFromTheConditionsParenthesis) {
    EXPECT_EQ(logicOf("while (i < 3) {\n  i = i + 1;\n}"),
              "@B0019(N01i<U013){\nN01i=N01i+U011;\n}");
}

TEST(BlockLength, OfForRunsFromTheHeadersParenthesis) {
    EXPECT_EQ(logicOf("for (i = 0; i < 5; i = i + 1) n = n + i;"),
              "@C0015(N01i=U010;N01i<U015;N01i=N01i+U011)N01n=N01n+N01i;");
    EXPECT_EQ(logicOf("for (;;) ;"), "@C0001(;;);");
}

TEST(BlockLength, OfDoIsTheBodyAndItsWhileGetsZero) {
    EXPECT_EQ(logicOf("do {\n  i = i - 1;\n} while (i > 0);"),
              "@L0019{\nN01i=N01i-U011;\n}B0000(N01i>U010);");
}

// ---- Statements ------------------------------------------------------------------------------

TEST(Statements, DeclareArraysPointersAndInitialValues) {
    EXPECT_EQ(logicOf("char x[5], *p; int i;"), "@HN01x[U015],*N01p;IN01i;");
    EXPECT_EQ(logicOf("int i = 0, j;"), "@IN01i=U010,N01j;");
    EXPECT_EQ(logicOf("char t[2][3], **q;"), "@HN01t[U012][U013],**N01q;");
}

TEST(Statements, ReturnWithAndWithoutAValue) {
    EXPECT_EQ(logicOf("return;"), "@D;");
    EXPECT_EQ(logicOf("return (a + 1);"), "@D(N01a+U011);");
}

TEST(Statements, EmptyStatementsAndBlocks) {
    EXPECT_EQ(logicOf(";{}{;}"), "@;{}{;}");
}

TEST(Statements, EveryOperatorHasItsCode) {
    EXPECT_EQ(logicOf("x = !a == b != c <= d >= e < f > g && h || i mod j % k * l / m + n - o;"),
              "@N01x=!N01aEN01bJN01cKN01dGN01e<N01f>N01g&N01h|N01i%N01j%N01k*N01l/N01m+N01n-N01o;");
    EXPECT_EQ(logicOf("x = a.b : -c[+1];"), "@N01x=N01a.N01b:-N01c[+U011];");
}

// ---- Token encodings -------------------------------------------------------------------------

TEST(Encoding, NumbersCarryTheirDigitCount) {
    EXPECT_EQ(logicOf("n = 12345;"), "@N01n=U0512345;");
    EXPECT_EQ(logicOf("n = 007;"), "@N01n=U03007;");
    std::string digits(99, '9');
    EXPECT_EQ(logicOf("n = " + digits + ";"), "@N01n=U99" + digits + ";");
}

TEST(Encoding, IdentifiersCarryTheirLength) {
    EXPECT_EQ(logicOf("abcdefghijklmnopqrs = _x1;"), "@N19abcdefghijklmnopqrs=N03_x1;");
}

TEST(Encoding, StringsCarryTheirLengthAndLoseTheirEscapes) {
    EXPECT_EQ(logicOf("s = \"\";"), "@N01s=\"00;");
    EXPECT_EQ(logicOf("s = \"say \\\"hi\\\"\";"), "@N01s=\"08say \"hi\";");
    EXPECT_EQ(logicOf("s = \"a\\\\b\\c\";"), "@N01s=\"05a\\b\\c;");
    std::string longest(79, 'a');
    EXPECT_EQ(logicOf("s = \"" + longest + "\";"), "@N01s=\"79" + longest + ";");
}

TEST(Encoding, CharacterLiteralsAreAQuoteAndTheCharacter) {
    EXPECT_EQ(logicOf("c = 'A';"), "@N01c='A;");
    EXPECT_EQ(logicOf("c = ' ';"), "@N01c=' ;");
    EXPECT_EQ(logicOf("c = '\\'' + '''; d = '\\\\' + '\\';"), "@N01c=''+'';N01d='\\+'\\;");
}

TEST(Encoding, LibraryCallsUseTheirIndexInTheTable) {
    EXPECT_EQ(logicOf("x = at(s, \"a\");"), "@N01x=MA(N01s,\"01a);");
    EXPECT_EQ(logicOf("x = strlen(s);"), "@N01x=Mp(N01s);");
    EXPECT_EQ(logicOf("allow_future_date_iop();"),
              std::string("@M") + static_cast<char>('A' + 82) + "();");
    for (std::size_t index = 0; index < vetra::kLibraryFunctionNames.size(); ++index) {
        std::string name(vetra::kLibraryFunctionNames[index]);
        EXPECT_EQ(logicOf(name + "(1);"),
                  std::string("@M") + static_cast<char>('A' + index) + "(U011);")
            << name;
    }
}

TEST(Encoding, NamedConstantsHaveTheirOwnCodes) {
    EXPECT_EQ(logicOf("x = fail + pass + dt_max + dt_exact + dt_today + dt_unknown + dt_empty + "
                      "dt_valid + dt_missing + dt_error + dt_day_empty + dt_month_empty;"),
              "@N01x=Q+R+S+T+O+P+W+X+Y+Z+y+z;");
}

TEST(Encoding, SharedWordsUseTheCodesOfTheConstants) {
    EXPECT_EQ(logicOf("x = right + left + both + warn + dt_min;"), "@N01x=Q+R+S+S+R;");
}

TEST(Encoding, LeftAndRightAreLibraryFunctionsWhenCalled) {
    EXPECT_EQ(logicOf("s = left(t, 2) + right(t, 2, left);"),
              "@N01s=MW(N01t,U012)+Me(N01t,U012,R);");
}

// ---- Field references ------------------------------------------------------------------------

TEST(Fields, ByNameByNumberAndNegative) {
    CompiledEdit edit = compile(
        "if (#S\"Sex\" == \"1\" && #390 > 0 && #S\"sex\" != #-390 && #S\"PRIMARY site\") ;");
    EXPECT_EQ(edit.logic, "@F0001(#220E\"011&#390>U010&#220J#-390&#400);");
    EXPECT_EQ(edit.fields, (std::vector<std::int32_t>{220, 390, 400}));
}

TEST(Fields, ListIsEmptyWithoutReferences) {
    EXPECT_TRUE(compile("x = 1;").fields.empty());
}

TEST(Fields, NameWithAnEscapedQuote) {
    auto resolver = [](std::string_view name) -> std::optional<std::int32_t> {
        if (name == "The \"Site\"") return 7;
        return std::nullopt;
    };
    EXPECT_EQ(compileEdit("x = #S\"The \\\"Site\\\"\";", resolver, "t.edit").logic, "@N01x=#7;");
}

// ---- User functions --------------------------------------------------------------------------

TEST(UserFunctions, CallsResolveBeforeAndAfterTheDefinition) {
    EXPECT_EQ(logicOf("x = second(1);\n"
                      "function first() { return first() + second(2); }\n"
                      "function second(int n) { return first(); }"),
              "B0002800050N01x=mB(U011);\nnA(){DmA()+mB(U012);}\nnB(IN01n){DmA();}");
}

TEST(UserFunctions, RenderedSpellingsGiveTheSameCode) {
    EXPECT_EQ(logicOf("x = funccall_B ( 1 ) ; \n"
                      "funcdecl_A ( ) { return funccall_A ( ) + funccall_B ( 2 ) ; } \n"
                      "funcdecl_B ( int n ) { return funccall_A ( ) ; } "),
              logicOf("x = second(1);\n"
                      "function first() { return first() + second(2); }\n"
                      "function second(int n) { return first(); }"));
}

TEST(UserFunctions, ParametersMayBeArraysAndPointers) {
    EXPECT_EQ(logicOf("function f(char s[], char *t, int n) ;"), "A00008nA(HN01s[],H*N01t,IN01n);");
}

TEST(UserFunctions, TwentySixAreAllowed) {
    std::string source;
    for (int i = 0; i < 26; ++i)
        source += "function f" + std::to_string(i) + "() ;\n";
    std::string logic = logicOf(source);
    EXPECT_EQ(logic[0], 'Z');
    EXPECT_EQ(logic.substr(logic.size() - 5), "nZ();");
}

// ---- Line feeds and comments -----------------------------------------------------------------

TEST(LineFeeds, CommentsLeaveNoTokensButKeepTheirLineBreaks) {
    EXPECT_EQ(logicOf("x = 1; // note\n/* two\nlines */ y = 2;\n\n\nz = 3;"),
              "@N01x=U011;\n\nN01y=U012;\n\n\nN01z=U013;");
}

TEST(LineFeeds, SeparateTokensOnly) {
    EXPECT_EQ(logicOf("\n\n// heading\nx = 1;\n\n"), "@N01x=U011;");
    EXPECT_EQ(logicOf("x = 1 +\n    2;"), "@N01x=U011+\nU012;");
}

TEST(LineFeeds, CarriageReturnsAreBlanks) {
    EXPECT_EQ(logicOf("x = 1;\r\ny = 2;\r\n"), "@N01x=U011;\nN01y=U012;");
}

// ---- The rendered spelling -------------------------------------------------------------------

TEST(RoundTrip, RenderedSpellingCompilesLikeTheNaturalOne) {
    CompiledEdit natural = compile(fileContents(dataDirectory / "natural.edit"));
    CompiledEdit rendered = compile(fileContents(dataDirectory / "rendered.edit"));
    EXPECT_EQ(rendered.logic, natural.logic);
    EXPECT_EQ(rendered.fields, natural.fields);
    EXPECT_EQ(natural.fields, (std::vector<std::int32_t>{390, 220, 400}));
    EXPECT_EQ(natural.logic.substr(0, 11), "B0033000375");
    EXPECT_EQ(natural.logic.substr(328, 3), "nA(");
    EXPECT_EQ(natural.logic.substr(373, 3), "nB(");
}

// ---- Errors ----------------------------------------------------------------------------------

TEST(Errors, CarryFileLineColumnAndMessage) {
    try {
        compileEdit("x = 1;\n  y = @;", sampleField, "edits/sex.edit");
        FAIL() << "compiled";
    } catch (const CompileError& error) {
        EXPECT_EQ(error.file(), "edits/sex.edit");
        EXPECT_EQ(error.line(), 2);
        EXPECT_EQ(error.column(), 7);
        EXPECT_STREQ(error.what(), "edits/sex.edit:2:7: stray character '@'");
    }
}

TEST(Errors, StrayCharacters) {
    expectRefused("x = 1;\ny = $;", 2, 5, "stray character '$'");
    expectRefused("x = a & b;", 1, 7, "stray character '&'");
    expectRefused("x = \x93;", 1, 5, "stray character 0x93");
}

TEST(Errors, LiteralsAndNamesOverTheirLimits) {
    expectRefused("x = 1;\ns = \"" + std::string(80, 'a') + "\";", 2, 5,
                  "this string has 80 characters; a string has at most 79");
    expectRefused("x = 1;\n  abcdefghijklmnopqrst = 1;", 2, 3,
                  "this name has 20 characters; a name has at most 19");
    expectRefused("char abcdefghijklmnopqrst;", 1, 6,
                  "this name has 20 characters; a name has at most 19");
    expectRefused("n = " + std::string(100, '1') + ";", 1, 5,
                  "this number has 100 digits; a number has at most 99");
}

TEST(Errors, LiteralsAndCommentsNeverClosed) {
    expectRefused("x = 1;\ns = \"abc;\ny = 2;", 2, 5, "this string is never closed with \"");
    expectRefused("x = #S\"Sex;", 1, 7, "this field name is never closed with \"");
    expectRefused("c = 'AB';", 1, 5,
                  "a character literal holds one character and is closed with '");
    expectRefused("c = '';", 1, 5, "a character literal holds one character, as in 'A'");
    expectRefused("x = 1;\n/* never\nclosed", 2, 1, "this comment is never closed with */");
}

TEST(Errors, MalformedTokens) {
    expectRefused("x = 12ab;", 1, 5,
                  "a name cannot start with a digit, and a number has only digits");
    expectRefused("x = # 5;", 1, 5,
                  "a field is written #S\"Short Name\" or by its number, as in #390");
    expectRefused("x = #-;", 1, 5,
                  "a field is written #S\"Short Name\" or by its number, as in #390");
    expectRefused("x = #99999999999;", 1, 5, "field number 99999999999 is too large");
}

TEST(Errors, TooManyFunctions) {
    std::string source = "x = 1;\n";
    for (int i = 0; i < 27; ++i)
        source += "function f" + std::to_string(i) + "() ;\n";
    expectRefused(source, 28, 1, "an edit defines at most 26 functions; this is the 27th");
}

TEST(Errors, CompiledTextOverItsLimit) {
    // Each line compiles to 10 characters and a line feed; the 10,000th character of the text
    // is the line feed before line 910.
    expectRefused(
        repeated("x = 1;\n", 1000), 910, 1,
        "the compiled edit has 11000 characters, more than 9999; it passes the limit here");
    EXPECT_EQ(logicOf(repeated("x = 1;\n", 909)).size(), 9999U);
}

TEST(Errors, BlockOverItsLimit) {
    expectRefused("x = 1;\n  if (x) {\n" + repeated("y = 1;\n", 1000) + "}", 2, 3,
                  "this 'if' governs 11003 characters of compiled code, more than 9999; split it "
                  "into functions");
}

TEST(Errors, NestingTooDeep) {
    EXPECT_NO_THROW(compile("x = " + std::string(150, '(') + "1" + std::string(150, ')') + ";"));
    expectRefused("x = " + std::string(300, '(') + "1" + std::string(300, ')') + ";", 1, 204,
                  "statements and expressions nest more than 200 deep here");
}

TEST(Errors, UnknownFunctionsAndFields) {
    expectRefused("x = 1;\nx = foo(1);", 2, 5,
                  "no library function or function of this edit is called 'foo'");
    expectRefused("x = funccall_C(1);\nfuncdecl_A() ;", 1, 5,
                  "funccall_C calls function C, but this edit defines 1 function");
    expectRefused("x = 1;\nif (#S\"Nope\" == 1) ;", 2, 5, "no field has the short name \"Nope\"");
}

TEST(Errors, UnbalancedBrackets) {
    expectRefused("x = (1;", 1, 5, "'(' is never closed");
    expectRefused("x = 1);", 1, 6, "')' without a matching '('");
    expectRefused("x = a];", 1, 6, "']' without a matching '['");
    expectRefused("x = 1;\n}", 2, 1, "'}' without a matching '{'");
    expectRefused("{\n  x = 1;", 1, 1, "'{' is never closed");
    expectRefused("{ x = a[1; }", 1, 12, "missing ']' to close the '[' at 1:8");
    expectRefused("if (a > b {\n  x;\n}", 1, 4, "'(' is never closed");
}

TEST(Errors, MissingSemicolon) {
    expectRefused("x = 1\ny = 2;", 1, 6, "missing ';' before 'y'");
    expectRefused("x = a b;", 1, 6, "missing ';' before 'b'");
    expectRefused("return 1", 1, 9, "missing ';' at the end of the edit");
    expectRefused("for (i = 0 i < 1; i) ;", 1, 11, "missing ';' before 'i'");
    expectRefused("do x; while (a)", 1, 16, "missing ';' at the end of the edit");
}

TEST(Errors, ElseWithoutIf) {
    expectRefused("x = 1;\n  else y;", 2, 3, "'else' without a matching 'if'");
    expectRefused("if (a) x; y; else z;", 1, 14, "'else' without a matching 'if'");
}

TEST(Errors, MisplacedWords) {
    expectRefused("x = (1 + );", 1, 10, "expected an expression before ')'");
    expectRefused("x = if;", 1, 5, "expected an expression before 'if'");
    expectRefused("int if;", 1, 5, "expected a variable name before 'if'");
    expectRefused("if x ;", 1, 4, "expected '(' before 'x'");
    expectRefused("do x; y;", 1, 7,
                  "expected 'while' and the condition that ends the 'do' loop before 'y'");
}

TEST(Errors, MisplacedOrMisnamedFunctions) {
    expectRefused("x = 1;\nfuncdecl_B() ;", 2, 1,
                  "this is the 1st function of the edit, so it is funcdecl_A");
    expectRefused("function strlen() ;", 1, 10,
                  "'strlen' is a library function; give this one another name");
    expectRefused("function f() ;\nfunction f() ;", 2, 10,
                  "a function called 'f' is already defined");
    expectRefused("function while() ;", 1, 10,
                  "'while' is a word of the language, not a function name");
    expectRefused(
        "function f() ;\nx = 1;", 2, 1,
        "only function definitions may follow the first function; 'x' belongs in the main "
        "program");
    expectRefused("{ function f() ; }", 1, 3,
                  "functions are defined after the main program, outside every block");
    expectRefused("function f {}", 1, 12, "expected '(' and the parameter list before '{'");
    expectRefused("function f(a) ;", 1, 12,
                  "expected 'int' or 'char' to start a parameter before 'a'");
    expectRefused("x = funccall_A;\nfuncdecl_A() ;", 1, 15,
                  "expected '(' and the arguments of the call before ';'");
}

// ---- The command line ------------------------------------------------------------------------

using vetra::testing::ScratchDirectory;

int runEditc(const std::string& arguments, const fs::path& output, const fs::path& errors) {
    std::string command = std::string(EDITC_PATH) + " " + arguments + " >" + output.string() +
                          " 2>" + errors.string();
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Editc, WritesWhatTheLibraryCompilesAndListsTheFields) {
    ScratchDirectory scratch;
    fs::path compiled = scratch.path() / "natural.logic";
    std::string arguments = (dataDirectory / "natural.edit").string() + " --dictionary " +
                            (dataDirectory / "dictionary.csv").string() + " -o " +
                            compiled.string();
    ASSERT_EQ(runEditc(arguments, scratch.path() / "out", scratch.path() / "err"), 0)
        << fileContents(scratch.path() / "err");
    EXPECT_EQ(fileContents(compiled), compile(fileContents(dataDirectory / "natural.edit")).logic);
    std::string out = fileContents(scratch.path() / "out");
    EXPECT_TRUE(out.starts_with("fields: 390 220 400\nrendering:\nchar code [ 5 ] , * p ; \n"))
        << out;
}

TEST(Editc, ReportsWhereTheSourceIsWrong) {
    ScratchDirectory scratch;
    fs::path edit = scratch.path() / "bad.edit";
    std::ofstream(edit) << "x = 1;\nif (#S\"Nope\" == 1) ;\n";
    std::string arguments =
        edit.string() + " --dictionary " + (dataDirectory / "dictionary.csv").string();
    EXPECT_EQ(runEditc(arguments, scratch.path() / "out", scratch.path() / "err"), 1);
    EXPECT_EQ(fileContents(scratch.path() / "err"),
              edit.string() + ":2:5: no field has the short name \"Nope\"\n");
}

TEST(Editc, NamesABadDictionary) {
    ScratchDirectory scratch;
    fs::path dictionary = scratch.path() / "dictionary.csv";
    std::ofstream(dictionary) << "local,name\n1,Sex\n";
    std::string arguments =
        (dataDirectory / "natural.edit").string() + " -d " + dictionary.string();
    EXPECT_EQ(runEditc(arguments, scratch.path() / "out", scratch.path() / "err"), 1);
    EXPECT_EQ(fileContents(scratch.path() / "err"),
              "editc: " + dictionary.string() +
                  ": line 1: the header does not name column short_name\n");
}

} // namespace
