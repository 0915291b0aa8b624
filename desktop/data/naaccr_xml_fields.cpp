#include "desktop/data/naaccr_xml_fields.h"

namespace vetra::desktop {

NaaccrXmlFields::NaaccrXmlFields(std::vector<XmlLayoutField> fields) : fields_(std::move(fields)) {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const int index = static_cast<int>(i);
        // When a layout names an item twice, its first field takes the item.
        if (fields_[i].itemNumber != 0) byNumber_.emplace(fields_[i].itemNumber, index);
        if (!fields_[i].naaccrId.empty()) byId_.emplace(fields_[i].naaccrId, index);
    }
}

int NaaccrXmlFields::byNumber(int itemNumber) const {
    auto found = byNumber_.find(itemNumber);
    return found == byNumber_.end() ? none : found->second;
}

int NaaccrXmlFields::byId(std::string_view naaccrId) const {
    auto found = byId_.find(naaccrId);
    return found == byId_.end() ? none : found->second;
}

std::string NaaccrXmlFields::misplacedField(int recordLength) const {
    for (const XmlLayoutField& field : fields_) {
        if (field.startColumn >= 1 && field.length >= 0 &&
            field.length <= recordLength - (field.startColumn - 1))
            continue;
        return "the layout's field for item " + std::to_string(field.itemNumber) + " (\"" +
               field.naaccrId + "\", column " + std::to_string(field.startColumn) + ", length " +
               std::to_string(field.length) + ") does not fit a record of " +
               std::to_string(recordLength) + " characters";
    }
    return {};
}

} // namespace vetra::desktop
