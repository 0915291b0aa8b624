// The layout's fields as the items of a NAACCR XML file name them: by item number or by
// naaccrId, each found in constant time so that an item costs the same however many fields
// the layout has.
#pragma once

#include "desktop/data/naaccr_xml_records.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vetra::desktop {

class NaaccrXmlFields {
public:
    static constexpr int none = -1;

    explicit NaaccrXmlFields(std::vector<XmlLayoutField> fields);

    // The index of the field, or `none` when the layout has no field of that number or id.
    int byNumber(int itemNumber) const;
    int byId(std::string_view naaccrId) const;

    const XmlLayoutField& operator[](int index) const {
        return fields_[static_cast<std::size_t>(index)];
    }
    std::size_t size() const { return fields_.size(); }

    // Empty when every field lies within a record of `recordLength` characters; otherwise
    // names the first field that does not.
    std::string misplacedField(int recordLength) const;

private:
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };

    std::vector<XmlLayoutField> fields_;
    std::unordered_map<int, int> byNumber_;
    std::unordered_map<std::string, int, TextHash, std::equal_to<>> byId_;
};

} // namespace vetra::desktop
