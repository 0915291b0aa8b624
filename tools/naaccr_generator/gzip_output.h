// A stream buffer that compresses what is written to it into a gzip file through zlib, so that
// the generator's writers stream into it as into any other std::ostream.
#pragma once

#include <filesystem>
#include <streambuf>
#include <string>

struct gzFile_s;

namespace vetra::generator {

class GzipOutput : public std::streambuf {
public:
    // Creates `file`, or writes to standard output when it is empty; throws GeneratorError
    // when it cannot.
    explicit GzipOutput(const std::filesystem::path& file);
    ~GzipOutput() override;
    GzipOutput(const GzipOutput&) = delete;
    GzipOutput& operator=(const GzipOutput&) = delete;

    // Writes the gzip trailer; throws GeneratorError naming the file when any write failed.
    void close();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize count) override;

private:
    gzFile_s* file_;
    std::string name_;
    bool failed_ = false;
};

} // namespace vetra::generator
