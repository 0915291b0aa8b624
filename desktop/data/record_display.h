// Ravdisp, the record browser of the "Display" tab: the fields of one record of the data file
// through the chosen layout, one row per field, moved through by a slider, step buttons and a typed
// record number. It reads the data file directly, one record at a time, so a file of any size
// is browsed without being loaded: a fixed-width file by seeking to the record, a gzipped or
// NAACCR XML file through its data source, in order.
#pragma once

#include "desktop/data/data_file_inspection.h"
#include "desktop/data/data_source.h"
#include "desktop/data/field_description.h"
#include "platform/message_boxes.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace vetra::desktop {

class Ravdisp {
public:
    // The moves of the step buttons "<", "X", "C", "M" back and ">", "X", "C", "M" forward.
    static constexpr std::array<int, 8> kStepTags{-1, -10, -100, -1000, 1, 10, 100, 1000};
    // The list's columns; a header click on one of the first four sorts by it.
    enum SortColumn { kByName = 0, kByColumn = 1, kByLength = 2, kByItem = 3, kByValue = 4 };

    explicit Ravdisp(platform::MessageBoxes& messages) : messages_(messages) {}
    ~Ravdisp() { leave(); }
    Ravdisp(const Ravdisp&) = delete;
    Ravdisp& operator=(const Ravdisp&) = delete;

    // Entering the tab: opens the inspected file, lists the fields by start column and shows
    // record 1. Nothing happens without a data file, a layout or a known record length.
    void enter(const DataFileInfo& dataFile, const LayoutFieldList& fields);
    // Leaving the tab (or choosing another data file): the file is closed, the list emptied.
    void leave();

    void step(int tag);
    void sliderMoved(std::int64_t position);
    // The "Record Number" field after the user typed `text`.
    void recordNumberTyped(const std::string& text);
    void sortBy(int column);

    bool isOpen() const { return file_ != nullptr; }
    const LayoutFieldList& rows() const { return rows_; }
    std::int64_t currentRecord() const { return current_; }
    std::int64_t sliderPosition() const { return current_ - 1; }
    std::int64_t sliderMaximum() const { return recordCount_ > 0 ? recordCount_ - 1 : 0; }
    const std::string& recordNumberText() const { return recordNumberText_; }

private:
    void warnIfChanged(const DataFileInfo& dataFile);
    void show(std::int64_t record);
    void readRecord(std::int64_t record);
    void readStreamedRecord(std::int64_t record);
    void fillValues();

    platform::MessageBoxes& messages_;
    std::FILE* file_ = nullptr;
    std::int64_t recordCount_ = 0;
    std::int64_t recordLength_ = 0;
    std::int64_t current_ = 0;
    std::string recordNumberText_;
    LayoutFieldList rows_;
    std::vector<char> record_;
    // A gzipped or XML data file, read through its data source.
    std::string streamPath_;
    DataFileForm streamForm_;
    DataSourceLayout streamLayout_;
    std::unique_ptr<DataSource> stream_;
    std::int64_t streamed_ = 0; // records the stream has passed
};

} // namespace vetra::desktop
