#include "tools/naaccr_generator/gzip_output.h"

#include "tools/naaccr_generator/generator_error.h"

#include <algorithm>
#include <unistd.h>
#include <zlib.h>

namespace vetra::generator {

namespace {

// gzclose closes the descriptor it was given; standard output is left to the process.
gzFile openGzip(const std::filesystem::path& file) {
    if (!file.empty()) return gzopen(file.c_str(), "wb");
    const int descriptor = ::dup(STDOUT_FILENO);
    if (descriptor < 0) return nullptr;
    gzFile opened = gzdopen(descriptor, "wb");
    if (opened == nullptr) ::close(descriptor);
    return opened;
}

} // namespace

GzipOutput::GzipOutput(const std::filesystem::path& file)
    : file_(openGzip(file)), name_(file.empty() ? "standard output" : file.string()) {
    if (file_ == nullptr) throw GeneratorError("cannot create " + name_);
}

GzipOutput::~GzipOutput() {
    if (file_ != nullptr) gzclose(file_);
}

void GzipOutput::close() {
    const int status = gzclose(file_);
    file_ = nullptr;
    if (failed_ || status != Z_OK) throw GeneratorError("writing " + name_ + " failed");
}

GzipOutput::int_type GzipOutput::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

std::streamsize GzipOutput::xsputn(const char* data, std::streamsize count) {
    if (failed_ || file_ == nullptr) return 0;
    std::streamsize written = 0;
    while (written < count) { // gzwrite reports its count as an int
        const auto piece =
            static_cast<unsigned>(std::min<std::streamsize>(count - written, 1 << 30));
        if (gzwrite(file_, data + written, piece) != static_cast<int>(piece)) {
            failed_ = true;
            break;
        }
        written += piece;
    }
    return written;
}

} // namespace vetra::generator
