#include "desktop/display/Ravdisp.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vetra::desktop {

void Ravdisp::enter(const std::string& dataFile, std::int64_t recordCount,
                    std::int64_t recordLength, const LayoutFieldList& fields) {
    leave();
    if (dataFile.empty() || fields.empty() || recordLength <= 0 || recordCount <= 0) return;
    file_ = std::fopen(dataFile.c_str(), "rb");
    if (file_ == nullptr) {
        messages_.show("Unable to open datafile " + dataFile + ": " + std::strerror(errno), "");
        return;
    }
    recordCount_ = recordCount;
    recordLength_ = recordLength;
    record_.assign(static_cast<std::size_t>(recordLength), '\0');
    rows_ = fields;
    for (auto& row : rows_)
        row.value.clear();
    std::stable_sort(rows_.begin(), rows_.end(), [](const fld_desc& a, const fld_desc& b) {
        return a.startColumn < b.startColumn;
    });
    show(1);
}

void Ravdisp::leave() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    rows_.clear();
    current_ = 0;
    recordNumberText_.clear();
}

void Ravdisp::show(std::int64_t record) {
    current_ = record;
    recordNumberText_ = std::to_string(record);
    std::fill(record_.begin(), record_.end(), '\0');
    // A file that has shrunk since it was inspected reads short: the rest stays zero.
    if (fseeko(file_, static_cast<off_t>((record - 1) * recordLength_), SEEK_SET) == 0) {
        std::fread(record_.data(), 1, record_.size(), file_);
        if (std::ferror(file_)) {
            messages_.show(std::strerror(errno), "");
            std::clearerr(file_);
        }
    }
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
    const bool digits =
        !text.empty() && text.size() <= 18 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    const std::int64_t index = digits ? std::stoll(text) - 1 : -1;
    if (!isOpen() || index < 0 || index >= recordCount_) {
        recordNumberText_ = current_ > 0 ? std::to_string(current_) : std::string();
        return;
    }
    show(index + 1);
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
