// The kinds of tumour the generator draws from: for each, the primary sites and morphologies
// that go together, whether the site is a paired organ, which sex it belongs to and the
// youngest age it is drawn at. The sites are among those of samples/naaccr18/sites.csv and
// every histology and behaviour pair is valid in its HISTBEH.BIN, so that a case drawn from a
// profile passes the sample's edits.
#pragma once

#include <span>
#include <string_view>

namespace vetra::generator {

enum class SexOfSite { Any, Male, Female };

enum class SideOfSite {
    None,     // not a paired organ: laterality 0
    Either,   // a paired organ: laterality 1 or 2, now and then 9
    RightOnly // an organ found on the right side only
};

struct TumourProfile {
    std::string_view sites;        // four-character topography codes, separated by blanks
    std::string_view morphologies; // histology and behaviour, "8140/3", separated by blanks
    SideOfSite side = SideOfSite::None;
    SexOfSite sex = SexOfSite::Any;
    int youngestAge = 20;
    int weight = 1; // how often the profile is drawn relative to the others
};

std::span<const TumourProfile> tumourProfiles();

// Leukemias, lymphomas and myelomas, whose grade is a cell lineage rather than a
// differentiation.
bool isHematopoietic(std::string_view histology);

} // namespace vetra::generator
