#include "dynamic_library.h"

#include <dlfcn.h>

namespace vetra::platform {

std::string sharedLibraryFileName(const std::string& baseName) {
    return "lib" + baseName + ".so";
}

DynamicLibrary::DynamicLibrary(const std::string& fileName)
    : handle_(dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) error_ = dlerror();
}

DynamicLibrary::~DynamicLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

void* DynamicLibrary::resolve(const char* name) const {
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

} // namespace vetra::platform
