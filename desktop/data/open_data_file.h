// Choosing a data file in the main window: opening and inspecting it with the user told of
// any problem, and the report file name that the choice proposes.
#pragma once

#include "desktop/data/data_file_inspection.h"
#include "platform/message_boxes.h"

#include <string>
#include <vector>

namespace vetra::desktop {

// Checks that the file exists, takes its modification time into `fileDateText` (left as it
// was when the time cannot be read) and inspects it into `info`, an XML file's records taking
// the chosen layout's length and its items checked against the layout's fields. Returns -1
// when the file does not exist, else the inspection's result; every failure has been shown
// through `messages`.
int openDataFile(const std::string& path, platform::MessageBoxes& messages, DataFileInfo& info,
                 std::string& fileDateText, int layoutRecordLength = 0,
                 const std::vector<XmlLayoutField>& xmlFields = {});

// The report file name after choosing the data file `dataFilePath`: the report's folder, the
// data file's name without its last extension, and ".rpt". The name stays `reportFileName`
// when that folder or the data file does not exist, or the data file's name has no extension.
std::string proposedReportFileName(const std::string& reportFileName,
                                   const std::string& dataFilePath);

} // namespace vetra::desktop
