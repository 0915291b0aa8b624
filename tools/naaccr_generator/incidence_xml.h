// Incidence records written as a NAACCR XML document, streamed: each record becomes a Patient
// with one Tumor (the generator gives every case a patient of its own), each item at the level
// the dictionary gives it, named by naaccrId and naaccrNum. A value is the record's field with
// its trailing blanks removed and a blank field is left out, so that the document flattened
// again by the layout gives back the record exactly.
#pragma once

#include "tools/naaccr_generator/incidence_generator.h"
#include "tools/naaccr_generator/incidence_layout.h"
#include "tools/naaccr_generator/incidence_record.h"
#include "tools/naaccr_generator/xml_items.h"

#include <ostream>
#include <string>
#include <vector>

namespace vetra::generator {

class IncidenceXmlWriter {
public:
    // The layout and the items must outlive the writer.
    IncidenceXmlWriter(std::ostream& out, const IncidenceLayout& layout, const XmlItems& items);

    // Throws GeneratorError for a value of an item that has no XML item, or a NaaccrData item
    // whose value differs from the first record's: the document holds it once for all records.
    void write(const IncidenceRecord& record);
    // Closes the document; throws GeneratorError when the stream failed.
    void finish();

private:
    void writeStart(const IncidenceRecord& record);
    void writeItems(const std::vector<const XmlItem*>& items, const IncidenceRecord& record,
                    const char* indent);

    std::ostream& out_;
    std::vector<const XmlItem*> dataItems_;
    std::vector<const XmlItem*> patientItems_;
    std::vector<const XmlItem*> tumorItems_;
    std::vector<long> itemsWithoutXml_;
    std::vector<std::string> dataValues_; // the first record's, in the order of dataItems_
    std::string text_;                    // one record's elements, reused
    long records_ = 0;
};

// Writes `count` records as a whole document; throws GeneratorError as the writer does.
void writeIncidenceXml(std::ostream& out, IncidenceGenerator& generator, long count,
                       const IncidenceLayout& layout, const XmlItems& items);

} // namespace vetra::generator
