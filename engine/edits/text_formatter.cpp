#include "text_formatter.h"

namespace vetra {

namespace {

class FormattedText {
public:
    explicit FormattedText(size_t capacity) : limit_(capacity > 0 ? capacity - 1 : 0) {}

    void outchar(char c) {
        if (c == '\n') {
            put('\r');
            put('\n');
        } else {
            put(c);
        }
    }
    void replicate(int count) {
        for (int i = 0; i < count; ++i)
            put(' ');
    }
    std::string take() { return std::move(text_); }

private:
    void put(char c) {
        if (text_.size() < limit_) text_.push_back(c);
    }
    size_t limit_;
    std::string text_;
};

// The length of the word that starts at `position`: up to a blank, a tab or the end.
int nextword(std::string_view source, size_t position) {
    int length = 0;
    while (position < source.size() && source[position] != ' ' && source[position] != '\t') {
        ++position;
        ++length;
    }
    return length;
}

} // namespace

std::string fmttext(int lineWidth, std::string_view source, size_t capacity) {
    FormattedText out(capacity);
    int column = 1;
    int indent = 1;
    auto wrap = [&] {
        out.outchar('\n');
        out.replicate(indent - 1);
        column = indent;
    };
    for (size_t i = 0; i < source.size(); ++i) {
        char c = source[i];
        char next = i + 1 < source.size() ? source[i + 1] : ' ';
        switch (c) {
        case '\t': {
            int stop = ((column - 1) / 4) * 4 + 5;
            out.replicate(stop - column);
            column = indent = stop;
            break;
        }
        case '\r':
            if (next == '\n') ++i;
            [[fallthrough]];
        case '\n':
            out.outchar('\n');
            column = indent = 1;
            break;
        case ' ':
            if (column < lineWidth) {
                out.outchar(' ');
                ++column;
            }
            if (next == ' ' || next == '\t') break;
            if (column + nextword(source, i + 1) > lineWidth) wrap();
            break;
        default:
            out.outchar(c);
            if (++column > lineWidth) wrap();
            break;
        }
    }
    return out.take();
}

} // namespace vetra
