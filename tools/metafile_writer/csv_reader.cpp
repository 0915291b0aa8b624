#include "tools/metafile_writer/csv_reader.h"

#include "tools/metafile_writer/writer_error.h"

namespace vetra::writer {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

class CsvParser {
public:
    explicit CsvParser(std::string_view text) : text_(text) {
        if (text_.starts_with(byteOrderMark)) text_.remove_prefix(byteOrderMark.size());
    }

    std::vector<CsvRecord> records() {
        std::vector<CsvRecord> records;
        while (!atEnd()) {
            if (atLineEnd())
                skipLineEnd();
            else
                records.push_back(record());
        }
        return records;
    }

private:
    bool atEnd() const { return position_ == text_.size(); }
    bool atLineEnd() const {
        return text_.substr(position_).starts_with('\n') ||
               text_.substr(position_).starts_with("\r\n");
    }
    void skipLineEnd() {
        position_ += text_[position_] == '\r' ? 2 : 1;
        ++line_;
    }

    CsvRecord record() {
        CsvRecord record{line_, {}};
        for (;;) {
            record.fields.push_back(text_[position_] == '"' ? quotedField() : plainField());
            if (atEnd()) break;
            if (text_[position_] != ',') { // only a line end stops a field otherwise
                skipLineEnd();
                break;
            }
            ++position_;
        }
        return record;
    }

    std::string plainField() {
        std::size_t start = position_;
        while (!atEnd() && text_[position_] != ',' && !atLineEnd())
            ++position_;
        return std::string(text_.substr(start, position_ - start));
    }

    std::string quotedField() {
        std::size_t startLine = line_;
        std::string field;
        ++position_;
        for (;;) {
            if (atEnd())
                throw WriterError("line " + std::to_string(startLine) +
                                  ": a quoted field never ends");
            char c = text_[position_++];
            if (c == '"') {
                if (atEnd() || text_[position_] != '"') break;
                ++position_;
            }
            if (c == '\n') ++line_;
            field.push_back(c);
        }
        if (!atEnd() && text_[position_] != ',' && !atLineEnd())
            throw WriterError("line " + std::to_string(line_) + ": text follows a closing quote");
        return field;
    }

    std::string_view text_;
    std::size_t position_ = 0;
    std::size_t line_ = 1;
};

} // namespace

std::vector<CsvRecord> parseCsv(std::string_view text) {
    return CsvParser(text).records();
}

} // namespace vetra::writer
