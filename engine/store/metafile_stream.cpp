#include "metafile_stream.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace vetra {

bool MetafileStream::open(const std::string& path) {
    close();
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    std::streamoff length = file.tellg();
    if (length < 0 || length > kMaxImageSize) return false;
    image_.resize(static_cast<size_t>(length));
    file.seekg(0);
    if (length > 0 && !file.read(reinterpret_cast<char*>(image_.data()), length)) {
        image_.clear();
        return false;
    }
    position_ = 0;
    open_ = true;
    return true;
}

void MetafileStream::close() {
    image_.clear();
    image_.shrink_to_fit();
    position_ = 0;
    open_ = false;
}

int32_t MetafileStream::seek(int64_t position) {
    if (!open_ || position < 0 || position > size()) return -1;
    position_ = position;
    return 0;
}

std::span<const uint8_t> MetafileStream::bytesAt(int64_t position, int64_t length) const {
    if (position < 0 || length < 0 || position > size() || length > size() - position) return {};
    return {image_.data() + position, static_cast<size_t>(length)};
}

size_t MetafileStream::read(void* buffer, size_t size, size_t count) {
    if (size != 0 && count > static_cast<size_t>(kMaxImageSize) / size) return 0;
    int64_t wanted = static_cast<int64_t>(size * count);
    int64_t available = std::clamp<int64_t>(this->size() - position_, 0, wanted);
    if (available > 0)
        std::memcpy(buffer, image_.data() + position_, static_cast<size_t>(available));
    position_ += wanted;
    return available == wanted ? count : 0;
}

bool MetafileStream::readByte(uint8_t* value) {
    return read(value, 1, 1) == 1;
}

bool MetafileStream::readBigEndian16(uint32_t* value) {
    uint8_t bytes[2];
    if (read(bytes, 2, 1) != 1) return false;
    *value = static_cast<uint32_t>(bytes[0]) << 8 | bytes[1];
    return true;
}

bool MetafileStream::readBigEndian32(uint32_t* value) {
    uint8_t bytes[4];
    if (read(bytes, 4, 1) != 1) return false;
    *value = static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
             static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
    return true;
}

std::string MetafileStream::readLine(size_t limit) {
    auto chunk = bytesAt(position_, std::min<int64_t>(static_cast<int64_t>(limit),
                                                      std::max<int64_t>(size() - position_, 0)));
    auto lineFeed = std::find(chunk.begin(), chunk.end(), uint8_t{'\n'});
    size_t length = lineFeed == chunk.end() ? chunk.size() : size_t(lineFeed - chunk.begin()) + 1;
    std::string line(reinterpret_cast<const char*>(chunk.data()), length);
    position_ += static_cast<int64_t>(length);
    return line;
}

} // namespace vetra
