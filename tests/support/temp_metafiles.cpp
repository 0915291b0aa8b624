#include "temp_metafiles.h"

#include <atomic>
#include <fstream>
#include <unistd.h>

namespace vetra::testing {

TempMetafiles::TempMetafiles() {
    static std::atomic<int> counter{0};
    folder_ = std::filesystem::temp_directory_path() /
              ("vetra-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder_);
}

TempMetafiles::~TempMetafiles() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string TempMetafiles::write(const std::string& name, const writer::Bytes& bytes) const {
    std::filesystem::path path = folder_ / name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

std::string TempMetafiles::write(const std::string& name, const writer::MetafileBuilder& builder,
                                 const writer::Breakage& breakage) const {
    writer::Bytes bytes = builder.build();
    writer::applyBreakage(bytes, breakage);
    return write(name, bytes);
}

} // namespace vetra::testing
