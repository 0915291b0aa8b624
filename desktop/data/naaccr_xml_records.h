// NAACCR XML data files read as flat records: each Tumor element becomes one fixed-width record
// of the layout's length, holding the NaaccrData element's items, then its Patient's items,
// then its own, each at the columns of the layout field it names. The file is parsed as a
// stream (expat), a block at a time, so memory stays flat however large the file is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vetra::desktop {

// Where an item goes in the flat record. An item is matched by its number (`naaccrNum`, the
// field's local number in a NAACCR metafile) or, when it carries no number, by its `naaccrId`
// (the field's third name in the metafile's data dictionary). An item whose naaccrId names a
// field of another number is refused.
struct XmlLayoutField {
    int itemNumber = 0;
    std::string naaccrId;
    int startColumn = 0; // counted from 1
    int length = 0;
};

// Reads up to `capacity` bytes of the file into `buffer`; returns how many, 0 at its end, or -1
// when reading failed.
using ByteReader = std::function<std::int64_t(char* buffer, std::size_t capacity)>;
// Why the last read failed ("the compressed data ends early"); empty when it cannot say.
using ReadFailure = std::function<std::string()>;

class NaaccrXmlRecords {
public:
    enum class Result { Record, End, Error };

    NaaccrXmlRecords(ByteReader reader, std::vector<XmlLayoutField> fields, int recordLength,
                     ReadFailure readFailure = {});
    ~NaaccrXmlRecords();
    NaaccrXmlRecords(const NaaccrXmlRecords&) = delete;
    NaaccrXmlRecords& operator=(const NaaccrXmlRecords&) = delete;

    // The next Tumor as a record of exactly the layout's length, blank where no item was
    // given. Error: the file is not NAACCR XML, is malformed or truncated, a value is longer
    // than its field, an item is given twice in one element, or an item's naaccrNum and
    // naaccrId name different fields; errorText() names the line and, where there is one, the
    // item. After End or Error every call returns the same.
    Result next(std::string& record);
    // Skips `count` Tumors without building their records; false at End or Error.
    bool skip(std::int64_t count);

    const std::string& errorText() const;
    // From the NaaccrData element, once the reader is past its start tag.
    const std::string& recordType() const;    // its recordType attribute
    const std::string& naaccrVersion() const; // "180" from a baseDictionaryUri ending in
                                              // "naaccr-dictionary-180.xml"; empty if none
    // Items that no layout field takes: their naaccrId (or number), with how many times they
    // were given and the line they were first given on, for one notice per item.
    struct UnknownItem {
        std::int64_t count = 0;
        std::int64_t firstLine = 0;
    };
    const std::map<std::string, UnknownItem>& unknownItems() const;

private:
    class Parser;
    std::unique_ptr<Parser> parser_;
};

} // namespace vetra::desktop
