#include "desktop/reports/report_file_names.h"

namespace vetra::desktop {

namespace {

std::size_t fileNameStart(const std::string& name) {
    const auto slash = name.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string withoutLastExtension(const std::string& name) {
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || dot < fileNameStart(name)) return name;
    return name.substr(0, dot);
}

} // namespace

std::string styledReportFileName(const std::string& name, const std::string& previousSuffix,
                                 const std::string& newSuffix, const char* extension) {
    std::string base = withoutLastExtension(name);
    if (!previousSuffix.empty()) {
        const auto at = base.rfind(previousSuffix);
        if (at != std::string::npos && at >= fileNameStart(base)) base.erase(at);
    }
    return base + newSuffix + extension;
}

std::string reportFileNameWithExtension(const std::string& name, const char* extension) {
    return withoutLastExtension(name) + extension;
}

} // namespace vetra::desktop
