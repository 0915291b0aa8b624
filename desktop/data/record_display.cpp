#include "desktop/data/record_display.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <sys/stat.h>

namespace vetra::desktop {

void Ravdisp::enter(const DataFileInfo& dataFile, const LayoutFieldList& fields) {
    leave();
    if (dataFile.fileName.empty() || fields.empty() || dataFile.recordLength <= 0 ||
        dataFile.recordCount <= 0)
        return;
    file_ = std::fopen(dataFile.fileName.c_str(), "rb");
    if (file_ == nullptr) {
        messages_.show(
            "Unable to open datafile " + dataFile.fileName + ": " + std::strerror(errno) + ".", "");
        return;
    }
    recordCount_ = dataFile.recordCount;
    recordLength_ = dataFile.recordLength;
    record_.assign(static_cast<std::size_t>(recordLength_), '\0');
    if (dataFile.form != DataFileForm{}) {
        streamPath_ = dataFile.fileName;
        streamForm_ = dataFile.form;
        streamLayout_ = {recordLength_, static_cast<int>(recordLength_), xmlLayoutFields(fields)};
    }
    rows_ = fields;
    for (auto& row : rows_)
        row.value.clear();
    std::stable_sort(rows_.begin(), rows_.end(), [](const fld_desc& a, const fld_desc& b) {
        return a.startColumn < b.startColumn;
    });
    warnIfChanged(dataFile);
    show(1);
}

// The record count and length stay those of the inspection, as the run's would; the user is
// told once that they may no longer fit the file.
void Ravdisp::warnIfChanged(const DataFileInfo& dataFile) {
    struct stat status {};
    if (fstat(fileno(file_), &status) != 0) return;
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (size == dataFile.fileSize) return;
    messages_.show("The data file " + dataFile.fileName +
                       " has changed since it was opened (it now holds " + std::to_string(size) +
                       " bytes, not " + std::to_string(dataFile.fileSize) +
                       "); open it again to see its records as they are now.",
                   "");
}

void Ravdisp::leave() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    stream_.reset();
    streamPath_.clear();
    rows_.clear();
    recordCount_ = 0;
    recordLength_ = 0;
    current_ = 0;
    recordNumberText_.clear();
}

void Ravdisp::show(std::int64_t record) {
    current_ = record;
    recordNumberText_ = std::to_string(record);
    readRecord(record);
    fillValues();
}

// Past the end of the file the read stops short and the rest of the buffer stays zero: so
// reads a short last record, and any record of a file that shrank since it was inspected.
void Ravdisp::readRecord(std::int64_t record) {
    std::fill(record_.begin(), record_.end(), '\0');
    if (!streamPath_.empty()) {
        readStreamedRecord(record);
        return;
    }
    if (fseeko(file_, static_cast<off_t>((record - 1) * recordLength_), SEEK_SET) == 0) {
        std::fread(record_.data(), 1, record_.size(), file_);
        if (std::ferror(file_) == 0) return;
    }
    const int failure = errno;
    std::clearerr(file_);
    messages_.show(std::strerror(failure), "");
}

// A compressed or XML file is read in order: moving on continues from the record shown, moving
// back reads from the start again. Only the record in hand is kept.
void Ravdisp::readStreamedRecord(std::int64_t record) {
    if (!stream_ || record <= streamed_) {
        std::string why;
        stream_ = openDataSource(streamPath_, streamForm_, streamLayout_, why);
        streamed_ = 0;
        if (!stream_) {
            messages_.show("Unable to open datafile " + streamPath_ + ": " + why + ".", "");
            return;
        }
    }
    stream_->skip(record - 1 - streamed_);
    const std::int64_t read = stream_->next(record_.data(), record_.size());
    streamed_ = record;
    if (read >= 0) return;
    messages_.show(stream_->errorText(), "");
    stream_.reset(); // the next record is looked for from the start
}

void Ravdisp::fillValues() {
    for (auto& row : rows_) {
        row.value.clear();
        if (row.startColumn < 1 || row.startColumn > recordLength_ || row.length <= 0) continue;
        const auto start = static_cast<std::size_t>(row.startColumn - 1);
        const auto length = std::min(static_cast<std::size_t>(row.length), record_.size() - start);
        const char* text = record_.data() + start;
        row.value.assign(text, strnlen(text, length));
    }
}

void Ravdisp::step(int tag) {
    if (!isOpen()) return;
    show(std::clamp<std::int64_t>(current_ - 1 + tag, 0, recordCount_ - 1) + 1);
}

void Ravdisp::sliderMoved(std::int64_t position) {
    if (!isOpen()) return;
    show(std::clamp<std::int64_t>(position, 0, recordCount_ - 1) + 1);
}

void Ravdisp::recordNumberTyped(const std::string& text) {
    const bool digits = !text.empty() && std::all_of(text.begin(), text.end(),
                                                     [](char c) { return c >= '0' && c <= '9'; });
    std::int64_t number = 0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), number);
    if (isOpen() && digits && parsed.ec == std::errc() && number >= 1 && number <= recordCount_) {
        show(number);
        return;
    }
    recordNumberText_ = current_ > 0 ? std::to_string(current_) : std::string();
}

void Ravdisp::sortBy(int column) {
    const auto sortOn = [&](auto key) {
        std::stable_sort(rows_.begin(), rows_.end(),
                         [&](const fld_desc& a, const fld_desc& b) { return key(a) < key(b); });
    };
    switch (column) {
    case kByName:
        sortOn([](const fld_desc& f) { return f.name; });
        break;
    case kByColumn:
        sortOn([](const fld_desc& f) { return f.startColumn; });
        break;
    case kByLength:
        sortOn([](const fld_desc& f) { return f.length; });
        break;
    case kByItem:
        sortOn([](const fld_desc& f) { return f.itemNumber; });
        break;
    default:
        break;
    }
}

} // namespace vetra::desktop
