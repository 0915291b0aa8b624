// An open file descriptor that closes with its owner.
#pragma once

namespace vetra {

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor = -1) : descriptor_(descriptor) {}
    FileDescriptor(FileDescriptor&& other) noexcept : descriptor_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int get() const { return descriptor_; }
    explicit operator bool() const { return descriptor_ >= 0; }
    int release();

private:
    int descriptor_;
};

} // namespace vetra
