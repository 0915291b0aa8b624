#include "file_descriptor.h"

#include <unistd.h>

namespace vetra {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (descriptor_ >= 0) close(descriptor_);
        descriptor_ = other.release();
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    if (descriptor_ >= 0) close(descriptor_);
}

int FileDescriptor::release() {
    int descriptor = descriptor_;
    descriptor_ = -1;
    return descriptor;
}

} // namespace vetra
