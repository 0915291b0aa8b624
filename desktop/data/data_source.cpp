#include "desktop/data/data_source.h"

#include "desktop/data/compressed_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vetra::desktop {

namespace {

// Fixed-width records straight from the file: a record is a run of the record length's bytes,
// so any record can be reached by seeking.
class FixedWidthFile : public DataSource {
public:
    FixedWidthFile(std::FILE* file, std::int64_t recordLength)
        : file_(file), recordLength_(std::max<std::int64_t>(recordLength, 0)) {}
    ~FixedWidthFile() override { std::fclose(file_); }
    FixedWidthFile(const FixedWidthFile&) = delete;
    FixedWidthFile& operator=(const FixedWidthFile&) = delete;

    bool skip(std::int64_t count) override {
        return count <= 0 ||
               fseeko(file_, static_cast<off_t>(count * recordLength_), SEEK_CUR) == 0;
    }
    std::int64_t next(char* record, std::size_t capacity) override {
        const auto wanted =
            std::min<std::size_t>(capacity, static_cast<std::size_t>(recordLength_));
        const std::size_t read = std::fread(record, 1, wanted, file_);
        if (read == 0 && std::ferror(file_)) {
            errorText_ = std::strerror(errno);
            return -1;
        }
        return static_cast<std::int64_t>(read);
    }
    const std::string& errorText() const override { return errorText_; }

private:
    std::FILE* file_;
    std::int64_t recordLength_;
    std::string errorText_;
};

// Fixed-width records of a gzip-compressed file, read in order.
class CompressedFixedWidth : public DataSource {
public:
    CompressedFixedWidth(const std::string& path, std::int64_t recordLength)
        : file_(path), recordLength_(std::max<std::int64_t>(recordLength, 0)) {}
    bool isOpen() const { return file_.isOpen(); }

    bool skip(std::int64_t count) override {
        std::vector<char> discarded(static_cast<std::size_t>(recordLength_));
        for (std::int64_t i = 0; i < count; ++i)
            if (next(discarded.data(), discarded.size()) <= 0) return false;
        return true;
    }
    std::int64_t next(char* record, std::size_t capacity) override {
        const auto read = file_.read(
            record, std::min<std::size_t>(capacity, static_cast<std::size_t>(recordLength_)));
        if (read < 0) errorText_ = file_.errorText();
        return read;
    }
    const std::string& errorText() const override { return errorText_; }

private:
    CompressedFile file_;
    std::int64_t recordLength_;
    std::string errorText_;
};

// A NAACCR XML file, plain or compressed: each Tumor is one record.
class XmlTumours : public DataSource {
public:
    XmlTumours(const std::string& path, const DataSourceLayout& layout)
        : file_(std::make_unique<CompressedFile>(path)),
          tumours_([file = file_.get()](
                       char* buffer, std::size_t capacity) { return file->read(buffer, capacity); },
                   layout.fields, layout.layoutRecordLength,
                   [file = file_.get()] { return file->errorText(); }) {}
    bool isOpen() const { return file_->isOpen(); }

    bool skip(std::int64_t count) override { return count <= 0 || tumours_.skip(count); }
    std::int64_t next(char* record, std::size_t capacity) override {
        switch (tumours_.next(record_)) {
        case NaaccrXmlRecords::Result::Record: {
            const std::size_t length = std::min(record_.size(), capacity);
            std::memcpy(record, record_.data(), length);
            return static_cast<std::int64_t>(length);
        }
        case NaaccrXmlRecords::Result::End:
            return 0;
        case NaaccrXmlRecords::Result::Error:
            break;
        }
        return -1;
    }
    const std::string& errorText() const override { return tumours_.errorText(); }
    std::vector<std::string> notices() const override {
        std::vector<std::string> lines;
        for (const auto& [item, unknown] : tumours_.unknownItems())
            lines.push_back("item \"" + item + "\" has no field in the record layout; given " +
                            std::to_string(unknown.count) + " time" +
                            (unknown.count == 1 ? "" : "s") + ", first on line " +
                            std::to_string(unknown.firstLine));
        return lines;
    }

private:
    std::unique_ptr<CompressedFile> file_;
    NaaccrXmlRecords tumours_;
    std::string record_;
};

bool isXmlStart(const char* bytes, std::size_t length) {
    std::size_t at = 0;
    if (length >= 3 && std::memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) at = 3;
    while (at < length &&
           (bytes[at] == ' ' || bytes[at] == '\t' || bytes[at] == '\r' || bytes[at] == '\n'))
        ++at;
    return at < length && bytes[at] == '<';
}

} // namespace

std::optional<DataFileForm> recogniseDataFile(const std::string& path) {
    CompressedFile file(path);
    if (!file.isOpen()) return std::nullopt;
    char start[512];
    const std::int64_t read = file.read(start, sizeof start);
    DataFileForm form;
    form.gzipped = isGzipFile(path);
    if (read > 0 && isXmlStart(start, static_cast<std::size_t>(read)))
        form.format = DataFormat::NaaccrXml;
    return form;
}

std::vector<XmlLayoutField> xmlLayoutFields(const LayoutFieldList& fields) {
    std::vector<XmlLayoutField> xmlFields;
    xmlFields.reserve(fields.size());
    for (const fld_desc& field : fields)
        xmlFields.push_back({field.itemNumber, field.thirdName, field.startColumn, field.length});
    return xmlFields;
}

std::unique_ptr<DataSource> openDataSource(const std::string& path, const DataFileForm& form,
                                           const DataSourceLayout& layout, std::string& errorText) {
    if (form.format == DataFormat::NaaccrXml) {
        auto source = std::make_unique<XmlTumours>(path, layout);
        if (source->isOpen()) return source;
    } else if (form.gzipped) {
        auto source = std::make_unique<CompressedFixedWidth>(path, layout.recordLength);
        if (source->isOpen()) return source;
    } else if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        return std::make_unique<FixedWidthFile>(file, layout.recordLength);
    }
    errorText = std::strerror(errno);
    return nullptr;
}

} // namespace vetra::desktop
