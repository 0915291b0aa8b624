#include "tools/naaccr_generator/incidence_xml.h"

#include "tools/naaccr_generator/generator_error.h"

#include <string_view>

namespace vetra::generator {

namespace {

constexpr const char* documentStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<NaaccrData baseDictionaryUri=\"http://naaccr.org/naaccrxml/naaccr-dictionary-180.xml\" "
    "recordType=\"I\" specificationVersion=\"1.5\" xmlns=\"http://naaccr.org/naaccrxml\">\n";

std::string_view withoutTrailingBlanks(std::string_view value) {
    const std::size_t last = value.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : value.substr(0, last + 1);
}

void appendEscaped(std::string& text, std::string_view value) {
    for (char c : value) {
        switch (c) {
        case '&':
            text += "&amp;";
            break;
        case '<':
            text += "&lt;";
            break;
        case '>':
            text += "&gt;";
            break;
        case '"':
            text += "&quot;";
            break;
        case '\'':
            text += "&apos;";
            break;
        default:
            text += c;
        }
    }
}

} // namespace

IncidenceXmlWriter::IncidenceXmlWriter(std::ostream& out, const IncidenceLayout& layout,
                                       const XmlItems& items)
    : out_(out) {
    for (const FieldPlacement& field : layout.fields()) {
        const XmlItem* item = items.find(field.item);
        if (item == nullptr)
            itemsWithoutXml_.push_back(field.item);
        else if (item->parent == XmlParent::NaaccrData)
            dataItems_.push_back(item);
        else if (item->parent == XmlParent::Patient)
            patientItems_.push_back(item);
        else
            tumorItems_.push_back(item);
    }
}

void IncidenceXmlWriter::write(const IncidenceRecord& record) {
    ++records_;
    for (long item : itemsWithoutXml_) {
        if (!withoutTrailingBlanks(record.get(item)).empty())
            throw GeneratorError("record " + std::to_string(records_) + ": item " +
                                 std::to_string(item) +
                                 " has a value but no NAACCR XML item to write it as");
    }
    if (records_ == 1) writeStart(record);
    for (std::size_t i = 0; i < dataItems_.size(); ++i) {
        if (withoutTrailingBlanks(record.get(dataItems_[i]->item)) != dataValues_[i])
            throw GeneratorError("record " + std::to_string(records_) + ": item " +
                                 dataItems_[i]->naaccrId +
                                 " differs from the first record's, and a NAACCR XML file "
                                 "gives it once for all records");
    }
    text_ = "  <Patient>\n";
    writeItems(patientItems_, record, "    ");
    text_ += "    <Tumor>\n";
    writeItems(tumorItems_, record, "      ");
    text_ += "    </Tumor>\n  </Patient>\n";
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
}

void IncidenceXmlWriter::finish() {
    if (records_ == 0) out_ << documentStart;
    out_ << "</NaaccrData>\n";
    out_.flush();
    if (!out_) throw GeneratorError("writing the records failed");
}

void IncidenceXmlWriter::writeStart(const IncidenceRecord& record) {
    for (const XmlItem* item : dataItems_)
        dataValues_.emplace_back(withoutTrailingBlanks(record.get(item->item)));
    text_ = documentStart;
    writeItems(dataItems_, record, "  ");
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
}

void IncidenceXmlWriter::writeItems(const std::vector<const XmlItem*>& items,
                                    const IncidenceRecord& record, const char* indent) {
    for (const XmlItem* item : items) {
        const std::string_view value = withoutTrailingBlanks(record.get(item->item));
        if (value.empty()) continue;
        text_ += indent;
        text_ += "<Item naaccrId=\"";
        appendEscaped(text_, item->naaccrId);
        text_ += "\" naaccrNum=\"" + std::to_string(item->item) + "\">";
        appendEscaped(text_, value);
        text_ += "</Item>\n";
    }
}

void writeIncidenceXml(std::ostream& out, IncidenceGenerator& generator, long count,
                       const IncidenceLayout& layout, const XmlItems& items) {
    IncidenceXmlWriter writer(out, layout, items);
    for (long i = 0; i < count && out; ++i)
        writer.write(generator.next());
    writer.finish();
}

} // namespace vetra::generator
