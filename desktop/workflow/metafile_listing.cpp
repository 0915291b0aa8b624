#include "desktop/workflow/metafile_listing.h"

#include <algorithm>
#include <utility>

namespace vetra::desktop {

namespace {

constexpr int kNameBufferSize = 256;

} // namespace

void MetafileListing::report(std::int32_t status, const char* label, int line) {
    ShowError(engine_, messages_, status, label, "initialize", line);
}

LayoutListing MetafileListing::layouts() {
    LayoutListing listing;
    const auto& api = engine_.api();
    std::int32_t count = 0;
    if (auto status = api.VTx_GetRecordLayoutCount(mfID_, &count); status != 0) {
        report(status, "GetRecordLayoutCount", __LINE__);
        return listing;
    }
    for (std::int32_t number = 1; number <= count; ++number) {
        char name[kNameBufferSize] = "";
        std::int32_t recordLength = 0;
        if (auto status = api.VTx_GetRecordLayoutName(mfID_, number, name, &recordLength);
            status != 0) {
            report(status, "GetRecordLayoutName", __LINE__);
            continue;
        }
        listing.names.push_back(std::string(name));
        listing.recordLengths.push_back(recordLength);
        listing.largestRecordLength = std::max(listing.largestRecordLength, recordLength);
    }
    return listing;
}

LayoutFields MetafileListing::layoutFields(const std::string& layoutName, int largestRecordLength) {
    LayoutFields result;
    const auto& api = engine_.api();
    std::int32_t record = 0;
    if (auto status = api.VTx_AllocRecord(mfID_, largestRecordLength, &record); status != 0) {
        report(status, "VTx_AllocRecord", __LINE__);
        return result;
    }
    if (auto status = api.VTx_InitRecordLayout(mfID_, record, layoutName.c_str()); status != 0)
        report(status, "VTx_InitRecordLayout", __LINE__);
    const LayoutListing listing = layouts();
    for (std::size_t i = 0; i < listing.names.size(); ++i)
        if (listing.names[i] == layoutName) result.recordLength = listing.recordLengths[i];
    std::int32_t fieldCount = 0;
    if (auto status = api.VTx_GetRecordLayoutInit(mfID_, layoutName.c_str(), &fieldCount);
        status != 0) {
        report(status, "VTx_GetRecordLayoutInit", __LINE__);
        fieldCount = 0;
    }
    for (std::int32_t i = 0; i < fieldCount; ++i) {
        char shortName[80] = "", longName[80] = "", typeCode[80] = "", thirdName[80] = "";
        std::int32_t start = 0, local = 0, length = 0, handle = 0;
        if (auto status = api.VTx_GetRecordLayoutField(mfID_, &start, &local, shortName, longName,
                                                       typeCode, thirdName, &length, &handle);
            status != 0) {
            report(status, "VTx_GetRecordLayoutField", __LINE__);
            continue;
        }
        std::string xmlName(thirdName);
        xmlName.erase(xmlName.find_last_not_of(' ') + 1);
        result.fields.push_back(
            fld_desc{std::string(shortName), start, length, local, {}, std::move(xmlName)});
    }
    api.VTx_FreeRecordLayout(mfID_, layoutName.c_str());
    api.VTx_FreeRecord(mfID_, record);
    return result;
}

std::vector<std::string> MetafileListing::editSets() {
    std::vector<std::string> names;
    const auto& api = engine_.api();
    std::int32_t count = 0;
    if (auto status = api.VTx_GetEditSetCount(mfID_, &count); status != 0) {
        report(status, "GetEditSetCount", __LINE__);
        return names;
    }
    for (std::int32_t number = 1; number <= count; ++number) {
        char name[kNameBufferSize] = "";
        if (auto status = api.VTx_GetEditSetName(mfID_, number, name); status != 0) {
            report(status, "GetEditSetName", __LINE__);
            continue;
        }
        names.push_back(std::string(name));
    }
    return names;
}

std::vector<std::string> MetafileListing::editNames(const std::vector<std::string>& editSetNames) {
    std::vector<std::string> names;
    const auto& api = engine_.api();
    for (const auto& setName : editSetNames) {
        std::int32_t handle = 0, loadStatus = 0, size = 0;
        if (auto status = api.VTx_LoadEditSet(mfID_, &handle, setName.c_str(), &loadStatus, 1);
            status != 0) {
            report(status, "VTx_LoadEditSet", __LINE__);
            continue;
        }
        if (api.VTx_GetEditSetSize(mfID_, handle, &size) != 0) continue;
        for (std::int32_t index = 0; index < size; ++index) {
            char name[kNameBufferSize] = "";
            if (api.VTx_GetEditName(mfID_, handle, index, name) == 0)
                names.push_back(std::string(name));
        }
    }
    return names;
}

} // namespace vetra::desktop
