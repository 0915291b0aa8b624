// The file is hostile until proven otherwise: every limit below turns into an error naming a
// line, so that no input can make the reader crash, loop or hold memory out of proportion to
// one record. Expat parses a block at a time and is suspended after each Tumor, so at most
// one record is ever pending.
#include "desktop/data/naaccr_xml_records.h"

#include "desktop/data/naaccr_xml_fields.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <expat.h>
#include <string_view>
#include <unordered_set>

namespace vetra::desktop {

namespace {

constexpr std::string_view naaccrNamespace = "http://naaccr.org/naaccrxml";
constexpr char namespaceSeparator = ' '; // a namespace name is a URI, which holds no blank

constexpr std::size_t blockSize = 64 * 1024;
// NAACCR XML nests four deep (NaaccrData, Patient, Tumor, Item); extensions get room to nest
// further, a hostile file no room to exhaust memory.
constexpr std::size_t maxDepth = 64;
// Expat keeps a tag, comment or declaration whole in memory until it ends.
constexpr XML_Index maxMarkupBytes = 1 << 20;
// Expat keeps every attribute name and namespace prefix it meets for the life of the parse.
constexpr std::size_t maxOtherNames = 1000;
constexpr std::size_t maxUnknownItems = 10000;
// The standard's ids have at most 32 characters; a longer one names no field.
constexpr std::size_t maxIdLength = 256;

enum class Level { Document, NaaccrData, Patient, Tumor, Item, Extension };

// The NAACCR element's local name; empty for an element of another namespace.
std::string_view naaccrLocalName(std::string_view name) {
    const std::size_t separator = name.find(namespaceSeparator);
    if (separator == std::string_view::npos) return name;
    if (name.substr(0, separator) != naaccrNamespace) return {};
    return name.substr(separator + 1);
}

std::string displayName(std::string_view name) {
    const std::size_t separator = name.find(namespaceSeparator);
    if (separator == std::string_view::npos) return "<" + std::string(name) + ">";
    const std::string_view uri = name.substr(0, separator);
    const std::string local = "<" + std::string(name.substr(separator + 1)) + ">";
    return uri == naaccrNamespace ? local : local + " of namespace \"" + std::string(uri) + "\"";
}

const char* attribute(const XML_Char** attributes, std::string_view name) {
    for (; *attributes != nullptr; attributes += 2) {
        if (name == attributes[0]) return attributes[1];
    }
    return nullptr;
}

// "180" from ".../naaccr-dictionary-180.xml".
std::string versionOfDictionary(std::string_view uri) {
    constexpr std::string_view stem = "naaccr-dictionary-";
    constexpr std::string_view suffix = ".xml";
    if (!uri.ends_with(suffix)) return {};
    uri.remove_suffix(suffix.size());
    const std::size_t at = uri.rfind(stem);
    if (at == std::string_view::npos) return {};
    const std::string_view version = uri.substr(at + stem.size());
    if (version.size() != 3 || version.find_first_not_of("0123456789") != std::string_view::npos)
        return {};
    return std::string(version);
}

std::int64_t utf8Characters(const char* text, int length) {
    std::int64_t count = 0;
    for (int i = 0; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++count;
    }
    return count;
}

} // namespace

class NaaccrXmlRecords::Parser {
public:
    Parser(ByteReader reader, std::vector<XmlLayoutField> fields, int recordLength,
           ReadFailure readFailure);
    ~Parser() { XML_ParserFree(xml_); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    Result next(std::string& record);
    bool skip(std::int64_t count);

    const std::string& errorText() const { return errorText_; }
    const std::string& recordType() const { return recordType_; }
    const std::string& naaccrVersion() const { return naaccrVersion_; }
    const std::map<std::string, UnknownItem>& unknownItems() const { return unknownItems_; }

private:
    enum class Event { None, RootOpened, TumorClosed };

    Result parseUntil(Event wanted);
    enum XML_Status parseNextBlock();
    void failFromExpat();
    void fail(const std::string& text);
    std::string atLine() const;
    std::string atLine(std::int64_t line) const;
    void noteEvent() { lastEventByte_ = XML_GetCurrentByteIndex(xml_); }

    static void XMLCALL onStart(void* self, const XML_Char* name, const XML_Char** attributes);
    static void XMLCALL onEnd(void* self, const XML_Char* name);
    static void XMLCALL onText(void* self, const XML_Char* text, int length);
    static void XMLCALL onNamespace(void* self, const XML_Char* prefix, const XML_Char* uri);

    void startElement(std::string_view name, const XML_Char** attributes);
    Level levelOf(Level parent, std::string_view name);
    Level childOfNaaccrData(std::string_view local, std::string_view name);
    Level childOfPatient(std::string_view local, std::string_view name);
    void openNaaccrData(const XML_Char** attributes);
    void openPatient();
    void openTumor();
    void startItem(Level container, const XML_Char** attributes);
    int fieldOfItem(const char* naaccrNum);
    void failDisagreeing(int number, const std::string& whose);
    void countUnknownItem();
    void endElement();
    void endItem();
    void itemText(const XML_Char* text, int length);
    bool noteOtherName(std::string_view name);
    std::string itemName() const;

    XML_Parser xml_;
    ByteReader reader_;
    ReadFailure readFailure_;
    NaaccrXmlFields fields_;
    std::size_t recordLength_;

    // The record as the NaaccrData element, the current Patient and the current Tumor have
    // filled it so far; each level starts from a copy of the one above.
    std::string dataRecord_;
    std::string patientRecord_;
    std::string tumorRecord_;
    // Per field, the element that last gave it: an item given twice in one element is found
    // without clearing anything between elements.
    std::vector<std::uint64_t> givenIn_;
    std::uint64_t element_ = 0;

    std::vector<Level> open_;
    bool rootSeen_ = false;
    bool dataHasPatient_ = false;
    bool patientHasTumor_ = false;
    bool building_ = true;
    Event event_ = Event::None;

    int itemField_ = NaaccrXmlFields::none;
    std::string* itemTarget_ = nullptr; // null when the item's value is not kept
    std::string itemId_;
    std::string itemNumber_;
    std::int64_t itemLine_ = 0;
    std::int64_t itemBytes_ = 0;
    std::int64_t itemCharacters_ = 0;

    Result state_ = Result::Record; // Record while the file has more to give
    std::string errorText_;
    std::string recordType_;
    std::string naaccrVersion_;
    std::map<std::string, UnknownItem> unknownItems_;

    std::unordered_set<std::string> otherNames_;
    bool suspended_ = false;
    bool finalBlock_ = false;
    XML_Index bytesGiven_ = 0;
    XML_Index lastEventByte_ = 0;
};

NaaccrXmlRecords::Parser::Parser(ByteReader reader, std::vector<XmlLayoutField> fields,
                                 int recordLength, ReadFailure readFailure)
    : xml_(XML_ParserCreateNS(nullptr, namespaceSeparator)), reader_(std::move(reader)),
      readFailure_(std::move(readFailure)), fields_(std::move(fields)),
      recordLength_(recordLength > 0 ? static_cast<std::size_t>(recordLength) : 0),
      dataRecord_(recordLength_, ' '), givenIn_(fields_.size(), 0) {
    if (xml_ == nullptr) {
        state_ = Result::Error;
        errorText_ = "no memory for the XML parser";
        return;
    }
    XML_SetUserData(xml_, this);
    XML_SetElementHandler(xml_, onStart, onEnd);
    XML_SetCharacterDataHandler(xml_, onText);
    XML_SetStartNamespaceDeclHandler(xml_, onNamespace);
    if (recordLength <= 0) {
        state_ = Result::Error;
        errorText_ =
            "the layout's record length " + std::to_string(recordLength) + " is not a length";
        return;
    }
    errorText_ = fields_.misplacedField(recordLength);
    if (!errorText_.empty()) state_ = Result::Error;
}

NaaccrXmlRecords::Result NaaccrXmlRecords::Parser::next(std::string& record) {
    building_ = true;
    if (!rootSeen_ && parseUntil(Event::RootOpened) != Result::Record) return state_;
    if (parseUntil(Event::TumorClosed) != Result::Record) return state_;
    record.swap(tumorRecord_); // the next Tumor starts from a copy of its Patient anyway
    return Result::Record;
}

bool NaaccrXmlRecords::Parser::skip(std::int64_t count) {
    building_ = false;
    if (!rootSeen_ && parseUntil(Event::RootOpened) != Result::Record) return false;
    for (std::int64_t i = 0; i < count; ++i) {
        if (parseUntil(Event::TumorClosed) != Result::Record) return false;
    }
    return state_ == Result::Record;
}

NaaccrXmlRecords::Result NaaccrXmlRecords::Parser::parseUntil(Event wanted) {
    while (state_ == Result::Record) {
        event_ = Event::None;
        const enum XML_Status status = suspended_ ? XML_ResumeParser(xml_) : parseNextBlock();
        if (state_ != Result::Record) break; // a handler or the reader failed
        if (status == XML_STATUS_ERROR) {
            failFromExpat();
            break;
        }
        suspended_ = status == XML_STATUS_SUSPENDED;
        if (!suspended_ && finalBlock_) {
            state_ = Result::End;
            break;
        }
        if (bytesGiven_ - lastEventByte_ > maxMarkupBytes) {
            fail(atLine() + "a tag, comment or declaration runs on for more than " +
                 std::to_string(maxMarkupBytes) + " bytes");
            break;
        }
        if (event_ == wanted) return Result::Record;
    }
    return state_;
}

enum XML_Status NaaccrXmlRecords::Parser::parseNextBlock() {
    void* buffer = XML_GetBuffer(xml_, static_cast<int>(blockSize));
    if (buffer == nullptr) {
        fail(atLine() + "no memory for the next block of the file");
        return XML_STATUS_ERROR;
    }
    const std::int64_t got = reader_(static_cast<char*>(buffer), blockSize);
    if (got < 0 || got > static_cast<std::int64_t>(blockSize)) {
        const std::string why = readFailure_ ? readFailure_() : std::string();
        fail(atLine() + "reading the file failed after " + std::to_string(bytesGiven_) + " bytes" +
             (why.empty() ? "" : ": " + why));
        return XML_STATUS_ERROR;
    }
    finalBlock_ = got == 0;
    bytesGiven_ += got;
    return XML_ParseBuffer(xml_, static_cast<int>(got), finalBlock_);
}

void NaaccrXmlRecords::Parser::failFromExpat() {
    const enum XML_Error code = XML_GetErrorCode(xml_);
    const std::string expatText = XML_ErrorString(code);
    const bool endedEarly =
        finalBlock_ && (code == XML_ERROR_NO_ELEMENTS || code == XML_ERROR_UNCLOSED_TOKEN ||
                        code == XML_ERROR_PARTIAL_CHAR || code == XML_ERROR_UNCLOSED_CDATA_SECTION);
    if (bytesGiven_ == 0)
        fail("the file is empty");
    else if (endedEarly && !open_.empty())
        fail(atLine() + "the file ends inside an element (" + expatText + "): it is truncated");
    else if (endedEarly && !rootSeen_)
        fail(atLine() + "the file ends before its first element (" + expatText +
             "): it is truncated or not XML");
    else if (!rootSeen_)
        fail(atLine() + "the file is not XML: " + expatText);
    else
        fail(atLine() + "malformed XML: " + expatText);
}

void NaaccrXmlRecords::Parser::fail(const std::string& text) {
    if (state_ != Result::Record) return;
    state_ = Result::Error;
    errorText_ = text;
    XML_StopParser(xml_, XML_FALSE); // within a handler, makes expat return at once
}

std::string NaaccrXmlRecords::Parser::atLine() const {
    return atLine(static_cast<std::int64_t>(XML_GetCurrentLineNumber(xml_)));
}

std::string NaaccrXmlRecords::Parser::atLine(std::int64_t line) const {
    return "line " + std::to_string(line) + ": ";
}

void XMLCALL NaaccrXmlRecords::Parser::onStart(void* self, const XML_Char* name,
                                               const XML_Char** attributes) {
    auto* parser = static_cast<Parser*>(self);
    if (parser->state_ != Result::Record) return;
    parser->noteEvent();
    parser->startElement(name, attributes);
}

void XMLCALL NaaccrXmlRecords::Parser::onEnd(void* self, const XML_Char*) {
    auto* parser = static_cast<Parser*>(self);
    if (parser->state_ != Result::Record) return;
    parser->noteEvent();
    parser->endElement();
}

void XMLCALL NaaccrXmlRecords::Parser::onText(void* self, const XML_Char* text, int length) {
    auto* parser = static_cast<Parser*>(self);
    if (parser->state_ != Result::Record) return;
    parser->noteEvent();
    parser->itemText(text, length);
}

void XMLCALL NaaccrXmlRecords::Parser::onNamespace(void* self, const XML_Char* prefix,
                                                   const XML_Char*) {
    auto* parser = static_cast<Parser*>(self);
    if (parser->state_ != Result::Record || prefix == nullptr) return;
    parser->noteOtherName(std::string("xmlns:") + prefix);
}

void NaaccrXmlRecords::Parser::startElement(std::string_view name, const XML_Char** attributes) {
    if (open_.size() == maxDepth)
        return fail(atLine() + "elements nest more than " + std::to_string(maxDepth) + " deep");
    for (const XML_Char** at = attributes; *at != nullptr; at += 2) {
        if (!noteOtherName(at[0])) return;
    }
    const Level parent = open_.empty() ? Level::Document : open_.back();
    const Level level = levelOf(parent, name);
    if (state_ != Result::Record) return;
    open_.push_back(level);
    switch (level) {
    case Level::NaaccrData:
        return openNaaccrData(attributes);
    case Level::Patient:
        return openPatient();
    case Level::Tumor:
        return openTumor();
    case Level::Item:
        return startItem(parent, attributes);
    case Level::Document:
    case Level::Extension:
        return;
    }
}

Level NaaccrXmlRecords::Parser::levelOf(Level parent, std::string_view name) {
    const std::string_view local = naaccrLocalName(name);
    switch (parent) {
    case Level::Document:
        if (local == "NaaccrData") return Level::NaaccrData;
        fail(atLine() + "the file is not a NAACCR XML file: its root element is " +
             displayName(name));
        return parent;
    case Level::NaaccrData:
        return childOfNaaccrData(local, name);
    case Level::Patient:
        return childOfPatient(local, name);
    case Level::Tumor:
        if (local.empty()) return Level::Extension;
        if (local == "Item") return Level::Item;
        fail(atLine() + displayName(name) + " inside a <Tumor>");
        return parent;
    case Level::Item:
        fail(atLine() + itemName() + " holds an element, " + displayName(name));
        return parent;
    case Level::Extension:
        return Level::Extension;
    }
    return parent;
}

Level NaaccrXmlRecords::Parser::childOfNaaccrData(std::string_view local, std::string_view name) {
    if (local.empty()) return Level::Extension;
    if (local == "Patient") return Level::Patient;
    if (local == "Item" && !dataHasPatient_) return Level::Item;
    if (local == "Item")
        fail(atLine() + "an <Item> of <NaaccrData> after its first <Patient>");
    else if (local == "Tumor")
        fail(atLine() + "a <Tumor> outside a <Patient>");
    else
        fail(atLine() + displayName(name) + " inside <NaaccrData>");
    return Level::NaaccrData;
}

Level NaaccrXmlRecords::Parser::childOfPatient(std::string_view local, std::string_view name) {
    if (local.empty()) return Level::Extension;
    if (local == "Tumor") return Level::Tumor;
    if (local == "Item" && !patientHasTumor_) return Level::Item;
    if (local == "Item")
        fail(atLine() + "an <Item> of a <Patient> after its first <Tumor>");
    else
        fail(atLine() + displayName(name) + " inside a <Patient>");
    return Level::Patient;
}

void NaaccrXmlRecords::Parser::openNaaccrData(const XML_Char** attributes) {
    rootSeen_ = true;
    const char* recordType = attribute(attributes, "recordType");
    const char* dictionary = attribute(attributes, "baseDictionaryUri");
    recordType_ = recordType != nullptr ? recordType : "";
    naaccrVersion_ = dictionary != nullptr ? versionOfDictionary(dictionary) : "";
    ++element_;
    event_ = Event::RootOpened;
    XML_StopParser(xml_, XML_TRUE);
}

void NaaccrXmlRecords::Parser::openPatient() {
    dataHasPatient_ = true;
    patientHasTumor_ = false;
    patientRecord_ = dataRecord_;
    ++element_;
}

void NaaccrXmlRecords::Parser::openTumor() {
    patientHasTumor_ = true;
    if (building_) tumorRecord_ = patientRecord_;
    ++element_;
}

void NaaccrXmlRecords::Parser::startItem(Level container, const XML_Char** attributes) {
    const char* id = attribute(attributes, "naaccrId");
    const char* number = attribute(attributes, "naaccrNum");
    itemLine_ = static_cast<std::int64_t>(XML_GetCurrentLineNumber(xml_));
    itemNumber_ = number != nullptr ? number : "";
    itemField_ = NaaccrXmlFields::none;
    itemTarget_ = nullptr;
    if (id == nullptr) return fail(atLine() + "an <Item> without a naaccrId");
    if (std::strlen(id) > maxIdLength)
        return fail(atLine() + "an <Item> whose naaccrId is longer than " +
                    std::to_string(maxIdLength) + " characters");
    itemId_ = id;
    const int field = fieldOfItem(number);
    if (field == NaaccrXmlFields::none) return countUnknownItem();
    itemField_ = field;
    std::uint64_t& given = givenIn_[static_cast<std::size_t>(field)];
    if (given == element_) return fail(atLine() + itemName() + " is given twice in one element");
    given = element_;
    itemBytes_ = 0;
    itemCharacters_ = 0;
    if (container == Level::NaaccrData)
        itemTarget_ = &dataRecord_;
    else if (container == Level::Patient)
        itemTarget_ = &patientRecord_;
    else if (building_)
        itemTarget_ = &tumorRecord_;
    if (itemTarget_ != nullptr) {
        const XmlLayoutField& placed = fields_[field];
        itemTarget_->replace(static_cast<std::size_t>(placed.startColumn - 1),
                             static_cast<std::size_t>(placed.length),
                             static_cast<std::size_t>(placed.length), ' ');
    }
}

// An item that gives both names is never placed where they name different fields: when its
// naaccrId names a field of the layout, that field's item number must be its naaccrNum. A
// naaccrId the layout does not know places nothing by itself (a metafile's third names need
// not be XML ids), so the number alone places the item then.
int NaaccrXmlRecords::Parser::fieldOfItem(const char* naaccrNum) {
    const int named = fields_.byId(itemId_);
    if (naaccrNum == nullptr) return named;
    const std::string_view text = naaccrNum;
    int number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        fail(atLine() + itemName() + " has a naaccrNum that is not a number");
        return NaaccrXmlFields::none;
    }
    const int numbered = fields_.byNumber(number);
    if (named != NaaccrXmlFields::none && fields_[named].itemNumber != 0 &&
        fields_[named].itemNumber != number) {
        const std::string& owner =
            numbered != NaaccrXmlFields::none ? fields_[numbered].naaccrId : std::string();
        failDisagreeing(number, !owner.empty() ? "the number of item \"" + owner + "\""
                                               : "but item \"" + itemId_ + "\" has number " +
                                                     std::to_string(fields_[named].itemNumber));
        return NaaccrXmlFields::none;
    }
    return numbered != NaaccrXmlFields::none ? numbered : named;
}

void NaaccrXmlRecords::Parser::failDisagreeing(int number, const std::string& whose) {
    fail(atLine() + "item \"" + itemId_ + "\" has naaccrNum " + std::to_string(number) + ", " +
         whose + ": its naaccrId and naaccrNum disagree");
}

void NaaccrXmlRecords::Parser::countUnknownItem() {
    if (state_ != Result::Record) return;
    auto found = unknownItems_.find(itemId_);
    if (found != unknownItems_.end()) {
        ++found->second.count;
        return;
    }
    if (unknownItems_.size() == maxUnknownItems)
        return fail(atLine() + "more than " + std::to_string(maxUnknownItems) +
                    " different items that the layout has no field for");
    unknownItems_.emplace(itemId_, UnknownItem{1, itemLine_});
}

void NaaccrXmlRecords::Parser::endElement() {
    const Level level = open_.back();
    open_.pop_back();
    if (level == Level::Item) return endItem();
    if (level == Level::Tumor) {
        event_ = Event::TumorClosed;
        XML_StopParser(xml_, XML_TRUE);
    }
}

void NaaccrXmlRecords::Parser::endItem() {
    if (itemField_ == NaaccrXmlFields::none) return;
    const int length = fields_[itemField_].length;
    if (itemBytes_ <= length) return;
    std::string held = std::to_string(itemCharacters_) + " characters";
    if (itemBytes_ != itemCharacters_)
        held += ", " + std::to_string(itemBytes_) + " bytes in UTF-8";
    fail(atLine(itemLine_) + itemName() + " holds " + held + "; its field has " +
         std::to_string(length));
}

// Expat may hand one value over in several pieces (entities, CDATA sections, block ends).
void NaaccrXmlRecords::Parser::itemText(const XML_Char* text, int length) {
    if (open_.empty() || open_.back() != Level::Item || itemField_ == NaaccrXmlFields::none) return;
    const XmlLayoutField& field = fields_[itemField_];
    if (itemTarget_ != nullptr && itemBytes_ < field.length) {
        const auto room = static_cast<std::size_t>(field.length - itemBytes_);
        const std::size_t kept = std::min(room, static_cast<std::size_t>(length));
        itemTarget_->replace(static_cast<std::size_t>(field.startColumn - 1 + itemBytes_), kept,
                             text, kept);
    }
    itemBytes_ += length;
    itemCharacters_ += utf8Characters(text, length);
}

bool NaaccrXmlRecords::Parser::noteOtherName(std::string_view name) {
    if (name == "naaccrId" || name == "naaccrNum") return true;
    if (otherNames_.size() == maxOtherNames && !otherNames_.contains(std::string(name))) {
        fail(atLine() + "more than " + std::to_string(maxOtherNames) +
             " different attribute names and namespace prefixes");
        return false;
    }
    otherNames_.emplace(name);
    return true;
}

std::string NaaccrXmlRecords::Parser::itemName() const {
    std::string name = "item \"" + itemId_ + "\"";
    if (itemField_ != NaaccrXmlFields::none && fields_[itemField_].itemNumber != 0)
        return name + " (" + std::to_string(fields_[itemField_].itemNumber) + ")";
    if (!itemNumber_.empty() && itemNumber_.size() <= maxIdLength)
        return name + " (" + itemNumber_ + ")";
    return name;
}

NaaccrXmlRecords::NaaccrXmlRecords(ByteReader reader, std::vector<XmlLayoutField> fields,
                                   int recordLength, ReadFailure readFailure)
    : parser_(std::make_unique<Parser>(std::move(reader), std::move(fields), recordLength,
                                       std::move(readFailure))) {}

NaaccrXmlRecords::~NaaccrXmlRecords() = default;

NaaccrXmlRecords::Result NaaccrXmlRecords::next(std::string& record) {
    return parser_->next(record);
}

bool NaaccrXmlRecords::skip(std::int64_t count) {
    return parser_->skip(count);
}

const std::string& NaaccrXmlRecords::errorText() const {
    return parser_->errorText();
}

const std::string& NaaccrXmlRecords::recordType() const {
    return parser_->recordType();
}

const std::string& NaaccrXmlRecords::naaccrVersion() const {
    return parser_->naaccrVersion();
}

const std::map<std::string, NaaccrXmlRecords::UnknownItem>& NaaccrXmlRecords::unknownItems() const {
    return parser_->unknownItems();
}

} // namespace vetra::desktop
