#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "fifo_guard.h"
#include "platform/files.h"

namespace zib {
namespace {

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const std::string& path) {
    Result<std::string> read = readWholeFile(path);
    EXPECT_TRUE(read.ok()) << path;
    return read ? *read : std::string();
}

// A temporary folder tree: root/baseq7/Sound/UP.wav, root/baseq7/kovy/plech2.jpg,
// root/baseq7/Pole.zq7, root/ZIB.ini. The test runs with root as the current directory.
class PlatformFiles : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/zib_files_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        ASSERT_EQ(::mkdir((root + "/baseq7").c_str(), 0755), 0);
        ASSERT_EQ(::mkdir((root + "/baseq7/Sound").c_str(), 0755), 0);
        ASSERT_EQ(::mkdir((root + "/baseq7/kovy").c_str(), 0755), 0);
        writeText(root + "/baseq7/Sound/UP.wav", "up");
        writeText(root + "/baseq7/kovy/plech2.jpg", "metal");
        writeText(root + "/baseq7/Pole.zq7", "level");
        writeText(root + "/ZIB.ini", "ini");
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        oldCwd = here;
        ASSERT_EQ(chdir(root.c_str()), 0);
    }
    void TearDown() override {
        if (!oldCwd.empty()) {
            EXPECT_EQ(chdir(oldCwd.c_str()), 0);
        }
        for (const auto& f : cleanup) ::unlink(f.c_str());
        std::string cmd = "rm -rf '" + root + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string root, oldCwd;
    std::vector<std::string> cleanup;
};

TEST_F(PlatformFiles, ResolvesAnySpellingComponentByComponent) {
    const struct {
        const char* asked;
        const char* found;
    } cases[] = {
        {"BaseQ7\\Sound\\UP.wav", "baseq7/Sound/UP.wav"},
        {"baseq7\\sound\\up.WAV", "baseq7/Sound/UP.wav"},
        {"BASEQ7\\kovy\\plech2.jpg", "baseq7/kovy/plech2.jpg"},
        {"BASEQ7/KOVY/PLECH2.JPG", "baseq7/kovy/plech2.jpg"},
        {"zib.ini", "ZIB.ini"},
        {"baseq7\\\\Pole.zq7", "baseq7/Pole.zq7"},
        {".\\baseq7\\..\\ZIB.ini", "./baseq7/../ZIB.ini"},
    };
    for (const auto& c : cases) {
        auto got = resolvePath(root, c.asked);
        ASSERT_TRUE(got) << c.asked;
        EXPECT_EQ(*got, root + "/" + c.found) << c.asked;
        auto relative = resolvePath("", c.asked);
        ASSERT_TRUE(relative) << c.asked;
        EXPECT_EQ(*relative, c.found) << c.asked;
    }
    EXPECT_FALSE(resolvePath(root, "baseq7\\Sound\\missing.wav"));
    EXPECT_FALSE(resolvePath(root, "nofolder\\UP.wav"));
    // An absolute path written with the program folder and backslashes after it.
    auto mixed = resolvePath("", root + "\\BaseQ7\\POLE.zq7");
    ASSERT_TRUE(mixed);
    EXPECT_EQ(*mixed, root + "/baseq7/Pole.zq7");
}

TEST_F(PlatformFiles, ExactSpellingWinsOverAnotherCase) {
    writeText(root + "/zib.ini", "lower");
    EXPECT_EQ(*resolvePath(root, "zib.ini"), root + "/zib.ini");
    EXPECT_EQ(*resolvePath(root, "ZIB.ini"), root + "/ZIB.ini");
    auto other = resolvePath(root, "Zib.INI");
    ASSERT_TRUE(other);
    EXPECT_TRUE(*other == root + "/zib.ini" || *other == root + "/ZIB.ini");
}

TEST_F(PlatformFiles, DataFilesAreLookedUpHereThenInTheProgramFolder) {
    std::string mine = "zib_files_test_" + std::to_string(getpid()) + ".dat";
    std::string inProgram = programFolder() + "/" + mine;
    writeText(inProgram, "program");
    cleanup.push_back(inProgram);

    auto found = findDataFile(mine);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, inProgram);
    EXPECT_EQ(placeForWriting(mine), inProgram);  // writes go where the file was found

    writeText(root + "/" + mine, "here");
    found = findDataFile(mine);
    ASSERT_TRUE(found);
    EXPECT_EQ(readText(*found), "here");  // the current directory comes first

    EXPECT_EQ(*findDataFile("baseq7\\SOUND\\up.wav"), "baseq7/Sound/UP.wav");
    EXPECT_FALSE(findDataFile("no_such_file_anywhere.xyz"));
    EXPECT_EQ(placeForWriting("New.ini"), "New.ini");
    EXPECT_EQ(placeForWriting("BASEQ7\\new.txt"), "baseq7/new.txt");
    EXPECT_EQ(placeForWriting("zib.ini"), "ZIB.ini");
    EXPECT_EQ(placeForWriting("missing\\x.txt"), "missing/x.txt");
}

TEST_F(PlatformFiles, ProgramFolderHoldsTheRunningProgram) {
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    std::string path(exe, static_cast<size_t>(n));
    EXPECT_EQ(programFolder(), path.substr(0, path.rfind('/')));
}

TEST_F(PlatformFiles, ListingHasFilesFoldersAndDots) {
    auto names = listDirectory("BASEQ7");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "Pole.zq7", "Sound", "kovy"}));
    EXPECT_EQ(listDirectory(root + "\\baseq7\\kovy").size(), 3u);
    EXPECT_TRUE(listDirectory("no_such_folder").empty());
}

TEST_F(PlatformFiles, AtomicWriteReplacesTheWholeFile) {
    ASSERT_TRUE(writeFileAtomically(root + "/ZIB.ini", "87,38\r\n46,Pole.zq7\r\n"));
    EXPECT_EQ(readText(root + "/ZIB.ini"), "87,38\r\n46,Pole.zq7\r\n");
    ASSERT_TRUE(writeFileAtomically("fresh.ini", "x"));
    EXPECT_EQ(readText("fresh.ini"), "x");
    // No temporary file is left behind.
    auto names = listDirectory(".");
    EXPECT_EQ(std::count_if(names.begin(), names.end(),
                            [](const std::string& n) {
                                return n.find("XXXXXX") != n.npos || n.rfind(".ZIB", 0) == 0 ||
                                       n.rfind(".fresh", 0) == 0;
                            }),
              0);
}

TEST_F(PlatformFiles, FailedAtomicWriteLeavesTheOldFile) {
    EXPECT_FALSE(writeFileAtomically(root + "/missing/ZIB.ini", "new"));
    // Writing over a folder fails at the rename; the folder and its content stay.
    EXPECT_FALSE(writeFileAtomically(root + "/baseq7", "new"));
    EXPECT_EQ(readText(root + "/baseq7/Pole.zq7"), "level");
    if (geteuid() != 0) {  // root ignores permissions
        ASSERT_EQ(chmod(root.c_str(), 0555), 0);
        EXPECT_FALSE(writeFileAtomically(root + "/ZIB.ini", "new"));
        ASSERT_EQ(chmod(root.c_str(), 0755), 0);
    }
    EXPECT_EQ(readText(root + "/ZIB.ini"), "ini");
}

// The replacement keeps the old bits but is always readable and writable by its owner, so an
// unreadable ZIB.ini does not make every later one unreadable too.
TEST_F(PlatformFiles, AtomicWriteLeavesTheFileUsableByItsOwner) {
    const struct {
        int oldMode;  // -1: no old file
        mode_t umask;
        mode_t newMode;
    } cases[] = {{0000, 022, 0600}, {0200, 022, 0600}, {0444, 022, 0644}, {0640, 022, 0640},
                 {0604, 077, 0604}, {-1, 022, 0644},   {-1, 077, 0600}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::oct << c.oldMode << " umask " << c.umask);
        ::unlink("f.ini");
        if (c.oldMode >= 0) {
            writeText("f.ini", "old");
            ASSERT_EQ(::chmod("f.ini", static_cast<mode_t>(c.oldMode)), 0);
        }
        mode_t previous = ::umask(c.umask);
        const bool written = writeFileAtomically("f.ini", "new");
        ::umask(previous);
        ASSERT_TRUE(written);
        struct stat st;
        ASSERT_EQ(::stat("f.ini", &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.newMode);
    }
}

// Through a link (relative, absolute, a chain, or one whose file does not exist yet) the file it
// points to gets the content, in its own folder, and the link stays a link.
TEST_F(PlatformFiles, AtomicWriteThroughALinkReplacesTheFileItPointsTo) {
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links;  // link, what it points to
    } cases[] = {
        {"relative", {{"ZIB.ini", "baseq7/kovy/real.ini"}}},
        {"absolute", {{"ZIB.ini", "@/baseq7/kovy/real.ini"}}},
        {"chain", {{"ZIB.ini", "baseq7/mid.ini"}, {"baseq7/mid.ini", "kovy/real.ini"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* f : {"ZIB.ini", "baseq7/mid.ini", "baseq7/kovy/real.ini"}) ::unlink(f);
        for (const auto& [link, to] : c.links) {
            std::string target = to[0] == '@' ? root + to.substr(1) : to;
            ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
        }
        for (const char* content : {"first", "second"}) {  // created, then replaced
            ASSERT_TRUE(writeFileAtomically("ZIB.ini", content));
            struct stat st;
            ASSERT_EQ(::lstat("ZIB.ini", &st), 0);
            EXPECT_TRUE(S_ISLNK(st.st_mode));
            EXPECT_EQ(readText("baseq7/kovy/real.ini"), content);
        }
        EXPECT_EQ(listDirectory("baseq7/kovy").size(), 4u);  // ".", "..", plech2.jpg, real.ini
    }
    ASSERT_EQ(::symlink("loop", "loop"), 0);
    EXPECT_FALSE(writeFileAtomically("loop", "x"));
}

// A file is read in any spelling of its path; a missing one, or a folder, fails with a message
// that names it, and the older form then leaves its output as it was.
TEST_F(PlatformFiles, ReadWholeFileAcceptsAnySpellingAndNamesWhatItCannotRead) {
    const struct {
        const char* path;
        const char* text;  // nullptr: the read fails
    } cases[] = {
        {"BASEQ7\\POLE.ZQ7", "level"},
        {"baseq7/pole.zq7", "level"},
        {"baseq7\\none.zq7", nullptr},
        {"baseq7", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const Result<std::string> read = readWholeFile(c.path);
        std::string out = "before";
        const bool readOld = readWholeFile(c.path, out);
        ASSERT_EQ(read.ok(), c.text != nullptr);
        EXPECT_EQ(readOld, read.ok());
        if (c.text) {
            EXPECT_EQ(*read, c.text);
            EXPECT_EQ(out, c.text);
        } else {
            EXPECT_EQ(read.error(), std::string("Soubor „") + c.path + "“ nelze přečíst.");
            EXPECT_EQ(out, "before");
        }
    }
}

// Levels and pictures are read as regular files only, each within its limit; a file named on the
// command line may also be a pipe. Neither ever waits for a FIFO's writer.
TEST_F(PlatformFiles, ReadOnlyWhatTheyMayWithinTheLimit) {
    test::FifoGuard fifo(root + "/fifo.zq7");
    ASSERT_EQ(::symlink("baseq7/Pole.zq7", "link.zq7"), 0);
    const struct {
        const char* path;
        size_t largest;
        FileRead regular, named;
        const char* text;
    } cases[] = {
        {"baseq7/Pole.zq7", 5, FileRead::Ok, FileRead::Ok, "level"},
        {"link.zq7", 5, FileRead::Ok, FileRead::Ok, "level"},
        {"baseq7/Pole.zq7", 4, FileRead::TooLarge, FileRead::TooLarge, ""},
        {"baseq7/Pole.zq7", 0, FileRead::TooLarge, FileRead::TooLarge, ""},
        {"baseq7/none.zq7", 5, FileRead::Missing, FileRead::Missing, ""},
        {"ZIB.ini/x", 5, FileRead::Missing, FileRead::Missing, ""},
        {"baseq7", 5, FileRead::NotAFile, FileRead::NotAFile, ""},
        {"fifo.zq7", 5, FileRead::NotAFile, FileRead::NotAFile, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " within " + std::to_string(c.largest));
        std::string out = "old";
        EXPECT_EQ(readRegularFile(c.path, out, c.largest), c.regular);
        if (c.regular == FileRead::Ok) {
            EXPECT_EQ(out, c.text);
        }
        // A FIFO named on the command line would wait for its writer, as it should.
        if (std::string(c.path) == "fifo.zq7") continue;
        out = "old";
        EXPECT_EQ(readNamedInput(c.path, out, c.largest), c.named);
        if (c.named == FileRead::Ok) {
            EXPECT_EQ(out, c.text);
        }
    }
    std::string out;
    EXPECT_FALSE(readWholeFile("fifo.zq7", out));

    // A FIFO named on the command line is read as it is written, up to the limit and no further.
    for (const size_t written : {size_t{100}, size_t{101}}) {
        std::thread writer([&] {
            const int fd = ::open("fifo.zq7", O_WRONLY);
            const std::string bytes(written, 'x');
            EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(written));
            ::close(fd);
        });
        EXPECT_EQ(readNamedInput("fifo.zq7", out, 100),
                  written == 100 ? FileRead::Ok : FileRead::TooLarge);
        writer.join();
    }
}

}  // namespace
}  // namespace zib
