#include "desktop/data/open_data_file.h"

#include "platform/file_services.h"

namespace vetra::desktop {

namespace {

constexpr char kCaption[] = "Problem With Data File";

} // namespace

int openDataFile(const std::string& path, platform::MessageBoxes& messages, DataFileInfo& info,
                 std::string& fileDateText, int layoutRecordLength,
                 const std::vector<XmlLayoutField>& xmlFields) {
    if (!platform::fileExists(path)) {
        messages.show("Datafile does not exist.", kCaption);
        return -1;
    }
    if (const auto date = platform::fileModificationText(path)) fileDateText = *date;

    const int result = inspectDataFile(path, info, layoutRecordLength, xmlFields);
    if (result != 0) messages.show(info.errorText, kCaption);
    return result;
}

std::string proposedReportFileName(const std::string& reportFileName,
                                   const std::string& dataFilePath) {
    const std::string folder = platform::folderOf(reportFileName);
    if (!platform::folderExists(folder) || !platform::fileExists(dataFilePath))
        return reportFileName;
    const std::string name = platform::fileNameOf(dataFilePath);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) return reportFileName;
    return folder + name.substr(0, dot) + ".rpt";
}

} // namespace vetra::desktop
