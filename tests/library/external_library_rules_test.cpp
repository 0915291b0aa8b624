// Which files externaldll refuses to load, whatever an edit names: nothing loads until the
// host allows a folder; then only a "*.so" file directly in it, owned by the user or root,
// writable by nobody else, never a symbolic link and never the metafile itself. The probe
// libprobeannounce.so sets VETRA_PROBE_ANNOUNCED when the loader runs its constructor, so each
// test sees whether a library's code ran at all; each copy of it is a new file to the loader.
#include "engine/api/engine_failure.h"
#include "engine/api/engine_process.h"
#include "tests/library/library_metafile.h"
#include "tests/support/file_contents.h"
#include "tests/support/scratch_directory.h"
#include "tools/edit_compiler/edit_compiler.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <elf.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using vetra::testing::LibraryMetafile;
using vetra::testing::ScratchDirectory;
namespace fs = std::filesystem;

constexpr const char* kAnnounced = "VETRA_PROBE_ANNOUNCED";

using vetra::testing::fileContents;

void writeFile(const fs::path& path, const std::string& bytes, mode_t mode) {
    std::ofstream(path, std::ios::binary) << bytes;
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
}

// One file that is both the metafile and a shared library: the library's ELF header takes the
// metafile's first 64 bytes, which the engine does not read but for the version at 41-44
// (inside the section-table offset, which the loader ignores); the library itself follows the
// metafile at a page boundary, its program headers moved with it.
std::string polyglot(std::string metafile, const std::string& library) {
    Elf64_Ehdr header;
    std::memcpy(&header, library.data(), sizeof header);
    size_t alignment = 4096;
    for (size_t i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment;
        std::memcpy(&segment, library.data() + header.e_phoff + i * sizeof segment, sizeof segment);
        if (segment.p_type == PT_LOAD) alignment = std::max<size_t>(alignment, segment.p_align);
    }
    size_t shift = (metafile.size() + alignment - 1) / alignment * alignment;
    std::string shifted = library;
    for (size_t i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment;
        char* at = shifted.data() + header.e_phoff + i * sizeof segment;
        std::memcpy(&segment, at, sizeof segment);
        segment.p_offset += shift;
        std::memcpy(at, &segment, sizeof segment);
    }
    header.e_phoff += shift;
    header.e_shnum = 0;
    header.e_shstrndx = SHN_UNDEF;
    std::memcpy(&header.e_shoff, metafile.data() + 40, sizeof header.e_shoff);
    std::memcpy(metafile.data(), &header, sizeof header);
    metafile.resize(shift, '\0');
    return metafile + shifted;
}

class ExternalLibraryRules : public ::testing::Test {
protected:
    ExternalLibraryRules() {
        unsetenv(kAnnounced);
        probe = fileContents(fs::path(PROBE_FOLDER) / "libprobeannounce.so");
    }

    // The engine error of an externaldll call of `library` on the instance `id`.
    int32_t failureOfCall(int32_t id, const std::string& library) {
        std::string logic =
            vetra::compiler::compileEdit(
                "externaldll(\"" + library + "\", \"x\");",
                [](std::string_view) -> std::optional<int32_t> { return std::nullopt; }, "t")
                .logic;
        TMetaFile* instance = vetra::engineProcess().metafiles().find(id);
        try {
            instance->interpreter().VTi_interpret(logic);
        } catch (const vetra::EngineFailure&) {
            reason = instance->lastError().text();
            return instance->lastEngineError();
        }
        return 0;
    }
    int32_t failureOfCall(const std::string& library) {
        return failureOfCall(metafile.id(), library);
    }

    void allow(int32_t id, const fs::path& folder) {
        EXPECT_EQ(VTx_SetVar(id, "_EXTERNALDLL_FOLDERS", folder.c_str()), 0);
    }
    void allow(const fs::path& folder) { allow(metafile.id(), folder); }

    // A private folder (mode 700) with a copy of the probe under `name`.
    fs::path libraryFolder(const std::string& name, mode_t libraryMode = 0755) {
        fs::path folder = scratch.path() / ("f" + std::to_string(folders++));
        fs::create_directory(folder);
        EXPECT_EQ(chmod(folder.c_str(), 0700), 0);
        writeFile(folder / name, probe, libraryMode);
        return folder;
    }

    static bool announced() { return std::getenv(kAnnounced) != nullptr; }

    LibraryMetafile metafile;
    ScratchDirectory scratch;
    std::string probe;
    std::string reason;
    int folders = 0;
};

TEST_F(ExternalLibraryRules, NothingLoadsUntilTheHostAllowsAFolder) {
    fs::path beside = fs::path(metafile.path()).parent_path() / "libbeside.so";
    writeFile(beside, probe, 0755);
    EXPECT_EQ(failureOfCall("libbeside.so"), 526);
    EXPECT_NE(reason.find("no folder allows external libraries"), std::string::npos) << reason;
    EXPECT_FALSE(announced());

    allow(fs::path(metafile.path()).parent_path());
    EXPECT_EQ(failureOfCall("libbeside.so"), 0);
    EXPECT_TRUE(announced());
}

TEST_F(ExternalLibraryRules, OnlyFilesNamedAsLibrariesLoad) {
    for (const char* name : {"received_2.rmf", "records.txt", "libprobe"}) {
        allow(libraryFolder(name));
        EXPECT_EQ(failureOfCall(name), 526) << name;
        EXPECT_NE(reason.find("does not end in .so"), std::string::npos) << reason;
    }
    allow(libraryFolder("libTool.so"));
    EXPECT_EQ(failureOfCall("sub/libTool.so"), 526);
    EXPECT_NE(reason.find("is not a file name"), std::string::npos) << reason;
    EXPECT_FALSE(announced());

    EXPECT_EQ(failureOfCall("Tool.dll"), 0); // a name for another platform maps to libTool.so
    EXPECT_TRUE(announced());
}

TEST_F(ExternalLibraryRules, FilesOthersCouldReplaceAreRefused) {
    fs::path shared = libraryFolder("libshared.so", 0666);
    allow(shared);
    EXPECT_EQ(failureOfCall("libshared.so"), 526);
    EXPECT_NE(reason.find("may be written by group or others"), std::string::npos) << reason;

    ASSERT_EQ(chmod((shared / "libshared.so").c_str(), 0755), 0);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    EXPECT_EQ(failureOfCall("libshared.so"), 526);
    EXPECT_NE(reason.find("the folder"), std::string::npos) << reason;

    fs::path linked = libraryFolder("libreal.so");
    fs::create_symlink(linked / "libreal.so", linked / "liblink.so");
    allow(linked);
    EXPECT_EQ(failureOfCall("liblink.so"), 526);
    EXPECT_NE(reason.find("is a symbolic link"), std::string::npos) << reason;

    if (geteuid() == 0) {
        fs::path foreign = libraryFolder("libforeign.so");
        ASSERT_EQ(chown((foreign / "libforeign.so").c_str(), 65534, 65534), 0);
        allow(foreign);
        EXPECT_EQ(failureOfCall("libforeign.so"), 526);
        EXPECT_NE(reason.find("belongs to another user"), std::string::npos) << reason;
    }
    EXPECT_FALSE(announced());
}

// The attack a received metafile could carry: its own bytes are a library, and its edit names
// its own file.
TEST_F(ExternalLibraryRules, AMetafileThatIsALibraryNeverRunsItself) {
    std::string bytes = polyglot(fileContents(metafile.path()), probe);
    fs::path folder = libraryFolder("unused.so");
    for (const char* name : {"received.rmf", "received.so"}) {
        writeFile(folder / name, bytes, 0644);
        int32_t id = -1;
        ASSERT_EQ(VTx_Init(&id, (folder / name).c_str(), nullptr, 0, nullptr), 0) << name;
        EXPECT_EQ(failureOfCall(id, name), 526) << name;
        allow(id, folder);
        EXPECT_EQ(failureOfCall(id, name), 526) << name;
        VTx_Exit(id);
    }
    EXPECT_NE(reason.find("is the metafile itself"), std::string::npos) << reason;
    EXPECT_FALSE(announced());

    // The same bytes under another name are a library the loader accepts.
    fs::path copy = libraryFolder("libcopy.so");
    writeFile(copy / "libcopy.so", bytes, 0755);
    allow(copy);
    EXPECT_EQ(failureOfCall("libcopy.so"), 0);
    EXPECT_TRUE(announced());
}

} // namespace
