// Inspection of a NAACCR data file before a run: its size, and from its first record the record
// type, the NAACCR version and the record length, from which the record count follows. This is
// where the data file's bytes enter the program; the run trusts the length found here.
// A NAACCR XML file gives its record type and version from its root element, and a record per
// Tumor, counted by reading the file through; a gzip-compressed file is inspected by what it
// holds.
#pragma once

#include "desktop/data/data_source.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vetra::desktop {

struct DataFileInfo {
    std::string fileName;          // the path as chosen
    char recordType = '\0';        // column 1 of the first record; '\0' when the file is empty
    std::string naaccrVersion;     // columns 17 to 19 of the first record; empty until found
    std::int64_t recordLength = 0; // the first line's length, its terminator included; for
                                   // an XML file the record layout's length
    std::int64_t recordCount = 0;  // file size over record length, rounded up; an XML file's
                                   // Tumors
    std::uint64_t fileSize = 0;    // on disk, compressed or not
    DataFileForm form;
    std::string errorText; // why the last inspection failed
};

// Refills `info` from the file at `path`. Returns 0 when the file was understood, -1 otherwise
// with the reason in info.errorText. An XML file's records are `layoutRecordLength` long, and
// its items are checked against `xmlFields` (the layout's, when it is known): a value longer
// than its field, an item given twice in one element or an item whose naaccrNum and naaccrId
// disagree makes the file not understood.
int inspectDataFile(const std::string& path, DataFileInfo& info, int layoutRecordLength = 0,
                    const std::vector<XmlLayoutField>& xmlFields = {});

// What inspectDataFile does for the forms other than a plain fixed-width file.
int inspectXmlDataFile(const std::string& path, DataFileInfo& info, int layoutRecordLength,
                       const std::vector<XmlLayoutField>& fields);
int inspectCompressedFixedWidth(const std::string& path, DataFileInfo& info);

} // namespace vetra::desktop
