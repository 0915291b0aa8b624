#include "tools/edit_compiler/source_lexer.h"

#include <array>
#include <cstdio>

namespace vetra::compiler {

namespace {

constexpr std::array<std::string_view, 6> twoCharacterSymbols = {
    "==", "!=", "<=", ">=", "&&", "||"};
// `%` is the C spelling of `mod`, which authors coming from C write.
constexpr std::string_view oneCharacterSymbols = "!()*+,-./:;<=>[]{}%";

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v' || c == '\n';
}

std::string describeCharacter(char c) {
    auto byte = static_cast<unsigned char>(c);
    if (byte > ' ' && byte < 0x7F) return std::string("'") + c + "'";
    std::array<char, 8> hex{};
    std::snprintf(hex.data(), hex.size(), "0x%02X", byte);
    return hex.data();
}

class SourceLexer {
public:
    SourceLexer(std::string_view source, std::string_view fileName)
        : source_(source), fileName_(fileName) {}

    std::vector<SourceToken> tokens() {
        std::vector<SourceToken> tokens;
        for (;;) {
            skipBlanksAndComments();
            SourceToken token{SourceTokenKind::End, "", position_, position_, lineBreaks_};
            lineBreaks_ = 0;
            if (atEnd()) {
                tokens.push_back(std::move(token));
                return tokens;
            }
            readToken(token);
            token.end = position_;
            tokens.push_back(std::move(token));
        }
    }

private:
    bool atEnd() const { return next_ >= source_.size(); }
    char peek(std::size_t ahead = 0) const {
        return next_ + ahead < source_.size() ? source_[next_ + ahead] : '\0';
    }
    bool startsWith(std::string_view text) const { return source_.substr(next_).starts_with(text); }

    char advance() {
        char c = source_[next_++];
        if (c == '\n') {
            ++position_.line;
            position_.column = 1;
            ++lineBreaks_;
        } else {
            ++position_.column;
        }
        return c;
    }

    [[noreturn]] void fail(SourcePosition at, const std::string& message) const {
        throw CompileError(fileName_, at, message);
    }

    void skipBlanksAndComments() {
        for (;;) {
            if (!atEnd() && isBlank(peek())) {
                advance();
            } else if (startsWith("//")) {
                while (!atEnd() && peek() != '\n')
                    advance();
            } else if (startsWith("/*")) {
                skipBlockComment();
            } else {
                return;
            }
        }
    }

    void skipBlockComment() {
        SourcePosition start = position_;
        advance();
        advance();
        while (!startsWith("*/")) {
            if (atEnd()) fail(start, "this comment is never closed with */");
            advance();
        }
        advance();
        advance();
    }

    void readToken(SourceToken& token) {
        char c = peek();
        if (isLetter(c)) {
            readWord(token);
        } else if (isDigit(c)) {
            readNumber(token);
        } else if (c == '"') {
            token.kind = SourceTokenKind::String;
            token.text = readString("string");
        } else if (c == '\'') {
            readCharacter(token);
        } else if (c == '#') {
            readField(token);
        } else {
            readSymbol(token);
        }
    }

    void readWord(SourceToken& token) {
        token.kind = SourceTokenKind::Word;
        while (!atEnd() && (isLetter(peek()) || isDigit(peek())))
            token.text += advance();
    }

    void readNumber(SourceToken& token) {
        token.kind = SourceTokenKind::Number;
        while (!atEnd() && isDigit(peek()))
            token.text += advance();
        if (isLetter(peek()))
            fail(token.start, "a name cannot start with a digit, and a number has only digits");
    }

    // Inside quotes, \" stands for a quote and \\ for a backslash; any other backslash is
    // itself, so that paths and patterns read as written.
    std::string readString(std::string_view what) {
        SourcePosition start = position_;
        advance();
        std::string contents;
        for (;;) {
            if (atEnd() || peek() == '\n')
                fail(start, "this " + std::string(what) + " is never closed with \"");
            char c = advance();
            if (c == '"') return contents;
            if (c == '\\' && (peek() == '"' || peek() == '\\')) c = advance();
            contents += c;
        }
    }

    // 'A', with '\'' or ''' for a quote and '\\' or '\' for a backslash.
    void readCharacter(SourceToken& token) {
        token.kind = SourceTokenKind::Character;
        advance();
        if (peek() == '\\' && (peek(1) == '\'' || peek(1) == '\\') && peek(2) == '\'') advance();
        if (atEnd() || peek() == '\n' || (peek() == '\'' && peek(1) != '\''))
            fail(token.start, "a character literal holds one character, as in 'A'");
        token.text = advance();
        if (peek() != '\'')
            fail(token.start, "a character literal holds one character and is closed with '");
        advance();
    }

    void readField(SourceToken& token) {
        advance();
        if (peek() == 'S' && peek(1) == '"') {
            advance();
            token.kind = SourceTokenKind::FieldByName;
            token.text = readString("field name");
            return;
        }
        token.kind = SourceTokenKind::FieldByNumber;
        if (peek() == '-') token.text += advance();
        while (isDigit(peek()))
            token.text += advance();
        if (token.text.empty() || token.text == "-" || isLetter(peek()))
            fail(token.start, "a field is written #S\"Short Name\" or by its number, as in #390");
    }

    void readSymbol(SourceToken& token) {
        token.kind = SourceTokenKind::Symbol;
        for (std::string_view symbol : twoCharacterSymbols) {
            if (startsWith(symbol)) {
                token.text = symbol;
                advance();
                advance();
                return;
            }
        }
        if (oneCharacterSymbols.find(peek()) == std::string_view::npos)
            fail(token.start, "stray character " + describeCharacter(peek()));
        token.text = advance();
    }

    std::string_view source_;
    std::string_view fileName_;
    std::size_t next_ = 0;
    SourcePosition position_;
    int lineBreaks_ = 0;
};

} // namespace

std::vector<SourceToken> lexEditSource(std::string_view source, std::string_view fileName) {
    return SourceLexer(source, fileName).tokens();
}

} // namespace vetra::compiler
