#include "engine/interp/logic_renderer.h"
#include "engine/interp/token_reader.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

using vetra::TokenReader;

class KnownFields : public vetra::FieldValueSource, public vetra::FieldNameSource {
public:
    const char* fieldValue(int32_t localNumber) override {
        auto found = values.find(localNumber);
        return found == values.end() ? nullptr : found->second.c_str();
    }
    std::string shortName(int32_t localNumber) override {
        return "Field " + std::to_string(localNumber);
    }
    std::map<int32_t, std::string> values{{123, "VALUE OF 123"}, {390, "20051231"}};
};

class TokenReaderTest : public ::testing::Test {
protected:
    void read(std::string_view logic) { reader.start(logic, 0); }
    std::string text() const { return reader.token().text; }

    vetra::LastEngineError errors;
    KnownFields fields;
    TokenReader reader{errors, fields};
};

TEST_F(TokenReaderTest, LengthPrefixedTokensCarryTheirText) {
    read("U0512345N03abc\"05hi yo'x");
    EXPECT_EQ(reader.VTi_GetToken(), vetra::kNumber);
    EXPECT_EQ(text(), "12345");
    EXPECT_EQ(reader.position(), 8u);
    EXPECT_EQ(reader.VTi_GetToken(), vetra::kIdentifier);
    EXPECT_EQ(text(), "abc");
    EXPECT_EQ(reader.VTi_GetToken(), vetra::kStringLiteral);
    EXPECT_EQ(text(), "hi yo");
    EXPECT_EQ(reader.token().code, 0x0B);
    EXPECT_EQ(reader.VTi_GetToken(), vetra::kCharacterLiteral);
    EXPECT_EQ(text(), "x");
    EXPECT_EQ(reader.token().code, 'x');
}

TEST_F(TokenReaderTest, FieldReferencesReadTheFieldsCurrentValue) {
    read("#-123#390#77");
    EXPECT_EQ(reader.VTi_GetToken(), vetra::kFieldReference);
    EXPECT_EQ(reader.token().fieldReference, -123);
    EXPECT_EQ(text(), "VALUE OF 123");
    reader.VTi_GetToken();
    EXPECT_EQ(text(), "20051231");
    reader.VTi_GetToken();
    EXPECT_EQ(reader.token().fieldReference, 77);
    EXPECT_EQ(text(), "");
}

TEST_F(TokenReaderTest, KeywordsConstantsAndCalls) {
    read("F0012Q\n\nMpmBy");
    EXPECT_EQ(reader.VTi_GetToken(), vetra::kBlockKeyword);
    EXPECT_EQ(reader.token().code, 'F');
    EXPECT_EQ(reader.position(), 5u);
    EXPECT_EQ(reader.VTi_GetToken(), vetra::kNamedConstant);
    EXPECT_EQ(reader.token().code, '0');
    EXPECT_EQ(text(), "Q");
    EXPECT_EQ(reader.VTi_GetToken(), vetra::kCall); // line feeds are skipped
    EXPECT_EQ(reader.token().code, 'M');
    EXPECT_EQ(reader.token().text[0], 47); // strlen
    EXPECT_EQ(reader.VTi_GetToken(), vetra::kCall);
    EXPECT_EQ(reader.token().code, 'm');
    EXPECT_EQ(reader.token().text[0], 1);
    EXPECT_EQ(reader.VTi_GetToken(), vetra::kNamedConstant);
    EXPECT_EQ(text(), "y");
}

TEST_F(TokenReaderTest, TheEndNeverMovesAndAFunctionDeclarationEndsTheProgram) {
    read(";nA(");
    reader.VTi_GetToken();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(reader.VTi_GetToken(), vetra::kPunctuation);
        EXPECT_EQ(reader.token().code, '~');
        EXPECT_EQ(text(), "");
        EXPECT_EQ(reader.position(), 1u);
    }
}

TEST_F(TokenReaderTest, PuttingBackKeepsTheTokenForInspection) {
    read("N01xE");
    reader.VTi_GetToken();
    reader.putBack();
    EXPECT_EQ(reader.position(), 0u);
    EXPECT_EQ(text(), "x");
    reader.VTi_GetToken();
    reader.VTi_GetToken();
    EXPECT_EQ(reader.token().code, 'E');
}

TEST_F(TokenReaderTest, MalformedTokensFailWithSyntaxError) {
    for (std::string_view logic : {"V", "U0", "U09123", "F00", "N2", "'", "M", "\"99abc"}) {
        vetra::LastEngineError fresh;
        TokenReader strict(fresh, fields);
        strict.start(logic, 0);
        EXPECT_THROW(strict.VTi_GetToken(), vetra::EngineFailure) << logic;
        EXPECT_EQ(fresh.code(), 2017) << logic;
    }
}

TEST_F(TokenReaderTest, HardTokensCheckOnlyTheFirstCharacter) {
    read(";;)");
    reader.VTi_GetHardToken(';', 6);
    EXPECT_THROW(reader.VTi_GetHardToken(')', 6), vetra::EngineFailure);
    EXPECT_EQ(errors.code(), 2079);
    vetra::LastEngineError other;
    TokenReader outOfRange(other, fields);
    outOfRange.start("(", 0);
    EXPECT_THROW(outOfRange.VTi_GetHardToken(']', 40), vetra::EngineFailure);
    EXPECT_EQ(other.code(), 2073);
}

TEST(LogicRenderer, WritesEachTokenByNameFollowedByABlank) {
    KnownFields names;
    std::string logic = "@F0004(#390EU018)\nDQ;\nR";
    auto rendered = vetra::renderLogic(logic, "|", names);
    ASSERT_TRUE(rendered);
    EXPECT_EQ(*rendered, "if ( #S\"Field 390\" == 8 ) |return fail ; |pass |");
}

TEST(LogicRenderer, NamesSharedConstantsByTheirLine) {
    KnownFields names;
    auto rendered =
        vetra::renderLogic("@Ms(N01aQ)\nMV(N01aR)\nDS;\nMI(U011U012R)\nS'x", "/", names);
    ASSERT_TRUE(rendered);
    EXPECT_EQ(*rendered, "trim ( a right ) /justified ( a left ) /return warn ; /"
                         "daydiff ( 1 2 dt_min ) /dt_max 'x' /");
}

TEST(LogicRenderer, RendersUserFunctionsAfterTheHeader) {
    KnownFields names;
    std::string logic = "A00008mA()nA(IN01b)D{N01b}";
    auto rendered = vetra::renderLogic(logic, "\n", names);
    ASSERT_TRUE(rendered);
    EXPECT_EQ(*rendered, "funccall_A ( ) funcdecl_A ( int b ) return { b } \n");
    EXPECT_FALSE(vetra::renderLogic("@V", "\n", names));
    EXPECT_EQ(*vetra::renderLogic("@", "\n", names), "");
    EXPECT_FALSE(vetra::programStart("C0001"));
}

} // namespace
