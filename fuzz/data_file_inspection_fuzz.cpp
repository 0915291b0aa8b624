// Fuzzes the data file inspection with arbitrary file contents: fixed-width, NAACCR XML and
// gzipped forms. Each input is written to a file of this process's own (parallel fuzzers must
// not share one) and inspected. An accepted fixed-width file must give a 3-character version
// and a record count that covers its bytes exactly once; an accepted XML file gives records of
// the layout's length; any file must give a record length within the read limit. An understood
// file is then checked against a layout that places the record type and the version as NAACCR
// does: a file whose lines are not the layout's length, or that holds no records, never fits.
#include "desktop/data/data_file_fit.h"
#include "desktop/data/data_file_inspection.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

class InputFile {
public:
    InputFile()
        : path_((std::filesystem::temp_directory_path() /
                 ("data_file_inspection_fuzz." + std::to_string(::getpid())))
                    .string()) {}
    ~InputFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::string& write(const uint8_t* data, size_t size) const {
        std::ofstream(path_, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return path_;
    }

private:
    std::string path_;
};

} // namespace

constexpr int kLayoutRecordLength = 100;

namespace {

void checkFit(const vetra::desktop::DataFileInfo& info) {
    static const vetra::desktop::LayoutFieldList fields{
        {"Record Type", 1, 1, 10, {}, "recordType"},
        {"NAACCR Record Version", 17, 3, 50, {}, "naaccrRecordVersion"}};
    const auto misfit = vetra::desktop::dataFileMisfit(info, "Fuzz", kLayoutRecordLength, fields);
    if (misfit && misfit->rfind("The data file ", 0) != 0) __builtin_trap();
    const bool fixedWidth = info.form.format == vetra::desktop::DataFormat::FixedWidth;
    const bool lengthFits =
        info.recordLength >= kLayoutRecordLength && info.recordLength <= kLayoutRecordLength + 2;
    if (!misfit && (info.recordCount < 1 || (fixedWidth && !lengthFits))) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const InputFile file;
    vetra::desktop::DataFileInfo info;
    const int result =
        vetra::desktop::inspectDataFile(file.write(data, size), info, kLayoutRecordLength);

    if (result == 0) checkFit(info);
    const auto fileSize = static_cast<int64_t>(size);
    if (info.fileSize != size) __builtin_trap();
    if (info.recordLength < 0 || info.recordLength > 199999) __builtin_trap();
    if (info.form.format == vetra::desktop::DataFormat::NaaccrXml) {
        if (result == 0 && (info.recordLength != kLayoutRecordLength || info.recordCount < 0))
            __builtin_trap();
        if (result != 0 && (result != -1 || info.errorText.empty())) __builtin_trap();
        return 0;
    }
    if (info.form.gzipped) {
        if (result == 0 && (info.naaccrVersion.size() != 3 || info.recordCount < 1))
            __builtin_trap();
        return 0;
    }
    if (info.recordLength > fileSize) __builtin_trap();
    if (result == 0) {
        if (info.naaccrVersion.size() != 3 || !info.errorText.empty()) __builtin_trap();
        if (info.recordCount < 1) __builtin_trap();
        if (info.recordCount * info.recordLength < fileSize ||
            (info.recordCount - 1) * info.recordLength >= fileSize)
            __builtin_trap();
    } else if (result != -1 || info.errorText.empty() || !info.naaccrVersion.empty()) {
        __builtin_trap();
    }
    return 0;
}
