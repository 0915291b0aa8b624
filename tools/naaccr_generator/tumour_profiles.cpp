#include "tools/naaccr_generator/tumour_profiles.h"

#include <array>

namespace vetra::generator {

namespace {

constexpr std::string_view breastSites = "C500 C501 C502 C503 C504 C505 C508 C509";

// Weights follow roughly how common each cancer is in a US registry.
constexpr std::array<TumourProfile, 26> profiles = {{
    {breastSites, "8500/3 8500/3 8500/3 8520/3 8522/3 8500/2", SideOfSite::Either,
     SexOfSite::Female, 25, 150},
    {breastSites, "8500/3", SideOfSite::Either, SexOfSite::Male, 30, 2},
    {"C619", "8140/3 8140/3 8140/3 8550/3", SideOfSite::None, SexOfSite::Male, 40, 110},
    {"C340 C341 C343 C349", "8140/3 8070/3 8041/3 8046/3", SideOfSite::Either, SexOfSite::Any, 35,
     120},
    {"C342", "8140/3 8070/3", SideOfSite::RightOnly, SexOfSite::Any, 35, 8},
    {"C180 C182 C183 C184 C185 C186 C187 C189 C199", "8140/3 8140/3 8480/3 8210/3 8263/3",
     SideOfSite::None, SexOfSite::Any, 30, 80},
    {"C209", "8140/3 8140/3 8210/2", SideOfSite::None, SexOfSite::Any, 30, 30},
    {"C670 C679", "8120/3 8130/3 8130/2 8120/2", SideOfSite::None, SexOfSite::Any, 40, 45},
    {"C649", "8312/3 8310/3 8317/3", SideOfSite::Either, SexOfSite::Any, 30, 40},
    {"C739", "8260/3 8340/3 8330/3", SideOfSite::None, SexOfSite::Any, 15, 35},
    {"C443 C445 C446 C447", "8720/3 8743/3 8720/2", SideOfSite::Either, SexOfSite::Any, 20, 50},
    {"C541 C549", "8380/3 8380/3 8441/3", SideOfSite::None, SexOfSite::Female, 35, 35},
    {"C530 C531 C539", "8070/3 8070/2 8140/3", SideOfSite::None, SexOfSite::Female, 20, 10},
    {"C569", "8441/3 8460/3 8380/3", SideOfSite::Either, SexOfSite::Female, 25, 15},
    {"C620 C629", "9061/3 9080/3", SideOfSite::Either, SexOfSite::Male, 15, 6},
    {"C250 C259", "8140/3 8500/3 8246/3", SideOfSite::None, SexOfSite::Any, 40, 30},
    {"C220", "8170/3", SideOfSite::None, SexOfSite::Any, 40, 20},
    {"C221", "8160/3", SideOfSite::None, SexOfSite::Any, 40, 5},
    {"C160 C169", "8140/3 8490/3", SideOfSite::None, SexOfSite::Any, 40, 20},
    {"C150 C155 C159", "8140/3 8070/3", SideOfSite::None, SexOfSite::Any, 40, 12},
    {"C320 C329", "8070/3", SideOfSite::None, SexOfSite::Any, 40, 10},
    {"C019 C029 C069", "8070/3 8071/3 8072/3", SideOfSite::None, SexOfSite::Any, 30, 15},
    {"C710 C711", "9440/3 9400/3 9380/3", SideOfSite::Either, SexOfSite::Any, 5, 15},
    {"C770 C779", "9680/3 9650/3 9690/3 9590/3", SideOfSite::None, SexOfSite::Any, 15, 45},
    {"C421", "9732/3 9823/3 9861/3", SideOfSite::None, SexOfSite::Any, 20, 35},
    {"C809", "8000/3 8010/3 8140/3", SideOfSite::None, SexOfSite::Any, 40, 15},
}};

} // namespace

std::span<const TumourProfile> tumourProfiles() {
    return profiles;
}

bool isHematopoietic(std::string_view histology) {
    return histology >= "9590" && histology <= "9993";
}

} // namespace vetra::generator
