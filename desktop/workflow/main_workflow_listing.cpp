// MainWorkflow, the "&Metafile Selections" tab: the metafile's record layouts and edit sets
// listed with the user's ticks, and the fields and edits that follow from the ticked ones.
#include "desktop/workflow/main_workflow.h"
#include "desktop/workflow/metafile_listing.h"
#include "desktop/workflow/metafile_session.h"
#include "platform/file_services.h"

#include <algorithm>

namespace vetra::desktop {

namespace {

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names)
        text += (text.empty() ? "" : " + ") + name;
    return text;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

void MainWorkflow::list() {
    MetafileSession metafile(engine_, messages_, master_.externalLibraryFolders);
    if (!metafile.open(metafilePath_)) {
        // A metafile that failed to open leaves nothing to show for it.
        if (!metafilePath_.empty()) recordLayoutShown_ = editSetsShown_ = "";
        return;
    }
    listLayouts(metafile.mfID());
    listEditSets(metafile.mfID());
}

void MainWorkflow::listLayouts(std::int32_t mfID) {
    layouts_ = {};
    layoutChosen_ = false;
    layoutRecordLength_ = 0;
    const LayoutListing listing = MetafileListing(engine_, messages_, mfID).layouts();
    largestRecordLength_ = listing.largestRecordLength;
    layouts_.names = listing.names;
    layouts_.ticked.assign(listing.names.size(), false);
    const auto configured =
        std::find_if(configuredLayouts_.begin(), configuredLayouts_.end(),
                     [&](const std::string& name) { return contains(listing.names, name); });
    configuredLayouts_ = configured == configuredLayouts_.end()
                             ? std::vector<std::string>{}
                             : std::vector<std::string>{*configured};
    if (!configuredLayouts_.empty()) {
        const auto position =
            std::find(layouts_.names.begin(), layouts_.names.end(), configuredLayouts_.front());
        layouts_.ticked[static_cast<std::size_t>(position - layouts_.names.begin())] = true;
    }
    recordLayoutShown_ = joined(layouts_.tickedNames());
    if (configuredLayouts_.empty()) return;
    buildLayoutFields(mfID);
    fields_.select(configuredFields_, configuredSort_);
    layoutChosen_ = true;
}

void MainWorkflow::buildLayoutFields(std::int32_t mfID) {
    const auto ticked = layouts_.tickedNames();
    const LayoutFields listed = MetafileListing(engine_, messages_, mfID)
                                    .layoutFields(ticked.front(), largestRecordLength_);
    layoutRecordLength_ = listed.recordLength;
    // An XML file's records are as long as the layout they are built for.
    if (dataFile_.form.format == DataFormat::NaaccrXml)
        dataFile_.recordLength = layoutRecordLength_;
    layoutFields_ = listed.fields;
    std::vector<std::string> names;
    for (const auto& field : layoutFields_)
        names.push_back(field.name);
    fields_.reset(names);
}

void MainWorkflow::listEditSets(std::int32_t mfID) {
    editSets_ = {};
    editSetChosen_ = false;
    editSets_.names = MetafileListing(engine_, messages_, mfID).editSets();
    editSets_.ticked.assign(editSets_.names.size(), false);
    for (std::size_t i = 0; i < editSets_.names.size(); ++i)
        editSets_.ticked[i] = contains(configuredEditSets_, editSets_.names[i]);
    editSetsShown_ = joined(editSets_.tickedNames());
    grid_.clear();
    rebuildGrid(mfID);
    grid_.apply(editOptions_);
    editSetChosen_ = !editSets_.tickedNames().empty() && !grid_.rows().empty();
}

void MainWorkflow::rebuildGrid(std::int32_t mfID) {
    grid_.rebuild(MetafileListing(engine_, messages_, mfID).editNames(editSets_.tickedNames()));
}

void MainWorkflow::selectMetafile(const std::string& path) {
    master_.metafileFolder = platform::folderOf(path);
    metafilePath_ = metafileShown_ = path;
    const RunConfiguration choices = capturedChoices();
    configuredLayouts_ = choices.layouts;
    configuredFields_ = choices.fieldsSelected;
    configuredSort_ = choices.fieldsSort;
    configuredEditSets_ = choices.editSets;
    editOptions_ = choices.editOptions;
    list();
    checkDataFileFit(false);
    configurationChanged_ = true;
}

void MainWorkflow::setLayoutTicked(std::size_t index, bool ticked) {
    if (index >= layouts_.names.size()) return;
    if (ticked) {
        layouts_.ticked.assign(layouts_.names.size(), false);
        layouts_.ticked[index] = true;
        configuredLayouts_ = {layouts_.names[index]};
    } else {
        layouts_.ticked[index] = false;
        if (layouts_.tickedNames().empty()) configuredLayouts_.clear();
    }
    recordLayoutShown_ = joined(configuredLayouts_);
    layoutChosen_ = !configuredLayouts_.empty();
    configurationChanged_ = true;
    const std::vector<std::string> kept = fields_.selected();
    const std::vector<std::string> sorted = fields_.sort();
    fields_ = {};
    layoutFields_.clear();
    layoutRecordLength_ = 0;
    if (layoutChosen_) {
        MetafileSession metafile(engine_, messages_, master_.externalLibraryFolders);
        if (metafile.open(metafilePath_)) {
            buildLayoutFields(metafile.mfID());
            fields_.select(kept, sorted);
        }
    }
    checkDataFileFit(false);
}

void MainWorkflow::setEditSetTicked(std::size_t index, bool ticked) {
    if (metafilePath_.empty()) {
        messages_.show("A Metafile must be selected before the edit set selection can be changed.",
                       "");
        return;
    }
    if (!platform::fileExists(metafilePath_)) {
        messages_.show(metafileMissingText(metafilePath_), "The Metafile Requested Was Not Found");
        return;
    }
    if (index >= editSets_.names.size()) return;
    editSets_.ticked[index] = ticked;
    editSetsShown_ = joined(editSets_.tickedNames());
    MetafileSession metafile(engine_, messages_, master_.externalLibraryFolders);
    if (metafile.open(metafilePath_)) rebuildGrid(metafile.mfID());
    // The run applies what the grid shows: an edit that left the grid and came back keeps
    // its edit set's options.
    editOptions_ = grid_.optionList();
    editSetChosen_ = !editSets_.tickedNames().empty();
    configurationChanged_ = true;
}

} // namespace vetra::desktop
