#include "external_library_table.h"

#include <dlfcn.h>

namespace vetra {

ExternalEntryPoint ExternalLibraryTable::find(const std::string& key) {
    std::lock_guard lock(mutex_);
    auto found = libraries_.find(key);
    return found != libraries_.end() ? found->second.entry : nullptr;
}

ExternalLibraryTable::Outcome ExternalLibraryTable::load(const std::string& key,
                                                         FileDescriptor file,
                                                         ExternalEntryPoint* entry,
                                                         std::string* loaderError) {
    std::lock_guard lock(mutex_);
    if (auto found = libraries_.find(key); found != libraries_.end()) {
        *entry = found->second.entry;
        return Outcome::Loaded;
    }
    std::string path = "/proc/self/fd/" + std::to_string(file.get());
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        *loaderError = error != nullptr ? error : "";
        return Outcome::CannotLoad;
    }
    void* symbol = dlsym(handle, "EditsInterface");
    if (symbol == nullptr) symbol = dlsym(handle, "_EditsInterface");
    if (symbol == nullptr) {
        dlclose(handle);
        return Outcome::NoEntryPoint;
    }
    *entry = reinterpret_cast<ExternalEntryPoint>(symbol);
    libraries_.emplace(key, Library{handle, *entry, std::move(file)});
    return Outcome::Loaded;
}

void ExternalLibraryTable::releaseAll() {
    std::lock_guard lock(mutex_);
    for (auto& [key, library] : libraries_)
        dlclose(library.handle);
    libraries_.clear();
}

} // namespace vetra
