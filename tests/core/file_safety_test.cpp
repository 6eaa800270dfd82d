// Reading and writing whatever a path may name: FIFOs, devices, folders,
// chains of links, stale temporary files, and a disk that fails.

#include "core/app/IniFile.h"
#include "core/channels/ChannelCsv.h"
#include "core/document/DataFile.h"
#include "core/util/AtomicFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs work in a child process and gives what it returned, or nullopt when
// it did not finish within the time: a read that blocks fails the test
// instead of hanging the whole suite.
std::optional<std::string> WithWatchdog(const std::function<std::string()>& work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        const std::string result = work();
        [[maybe_unused]] const auto written = ::write(fds[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    int status = 0;
    bool finished = false;
    for (int waited = 0; waited < 500 && !finished; ++waited) {
        finished = ::waitpid(child, &status, WNOHANG) == child;
        if (!finished)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!finished) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        ::close(fds[0]);
        return std::nullopt;
    }
    std::string result;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    return result;
}

void SetAge(const std::string& path, std::time_t ageSeconds)
{
    const std::time_t when = std::time(nullptr) - ageSeconds;
    const timeval times[2] = {{when, 0}, {when, 0}};
    ::lutimes(path.c_str(), times);
}

class FileSafety : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("file-safety-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::size_t Entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {})); }

    fs::path dir_;
};

// Every reader refuses what is not a regular file at once, by name.
TEST_F(FileSafety, ReadersRefuseWhatIsNotARegularFile)
{
    ASSERT_EQ(::mkfifo(Path("fifo.dat").c_str(), 0644), 0);
    fs::create_directory(Path("folder.dat"));
    fs::create_symlink("/dev/null", Path("device.dat"));
    const std::function<std::string(const std::string&)> readers[] = {
        [](const std::string& p) {
            std::vector<std::uint8_t> bytes;
            std::string error;
            return ReadFileBytes(p, bytes, 1 << 20, &error) ? std::string("read") : error;
        },
        [](const std::string& p) {
            RadioImage image{};
            std::string error;
            return LoadDataFile(p, image, &error) == DataFileResult::CannotOpen ? error : std::string("loaded");
        },
        [](const std::string& p) {
            CIniFile ini;
            return ini.Load(p, false, true) ? std::string("loaded") : p + ": not a regular file";
        },
    };
    for (const char* name : {"fifo.dat", "folder.dat", "device.dat"}) {
        for (std::size_t r = 0; r < std::size(readers); ++r) {
            SCOPED_TRACE(std::string(name) + " reader " + std::to_string(r));
            const std::string path = Path(name);
            const auto result = WithWatchdog([&] { return readers[r](path); });
            ASSERT_TRUE(result.has_value()) << "blocked";
            EXPECT_EQ(*result, path + ": not a regular file");
        }
    }
}

// A save refuses a target that is not a regular file, also at the end of a
// link, and leaves it as it was.
TEST_F(FileSafety, SaveReplacesOnlyARegularFile)
{
    ASSERT_EQ(::mkfifo(Path("fifo.dat").c_str(), 0644), 0);
    fs::create_directory(Path("folder.dat"));
    fs::create_symlink("fifo.dat", Path("to-fifo.dat"));
    fs::create_symlink("to-fifo.dat", Path("to-to-fifo.dat"));
    struct Case
    {
        const char* name;
        fs::file_type stays;
        const char* at; // what is checked afterwards
    };
    std::vector<Case> cases = {
        {"fifo.dat", fs::file_type::fifo, "fifo.dat"},
        {"folder.dat", fs::file_type::directory, "folder.dat"},
        {"to-fifo.dat", fs::file_type::fifo, "fifo.dat"},
        {"to-to-fifo.dat", fs::file_type::fifo, "fifo.dat"},
    };
    // A device node of our own (the null device's numbers), where we may
    // make one; a link to the real /dev/null would risk it if this failed.
    if (::mknod(Path("null.dat").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        cases.push_back({"null.dat", fs::file_type::character, "null.dat"});
    const std::size_t before = Entries();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(WriteFileAtomically(Path(c.name), "text", &error));
        EXPECT_EQ(error, Path(c.name) + ": not a regular file");
        EXPECT_EQ(fs::symlink_status(Path(c.at)).type(), c.stays);
    }
    EXPECT_EQ(Entries(), before);
}

// Through a chain of one to three links the file at the end is written and
// keeps its mode; every link stays a link.
TEST_F(FileSafety, SaveFollowsAWholeChainOfLinks)
{
    for (int links = 1; links <= 3; ++links) {
        SCOPED_TRACE(std::to_string(links) + " links");
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "sub");
        std::ofstream(Path("sub/target.dat")) << "old";
        fs::permissions(Path("sub/target.dat"), fs::perms(0640));
        // link1 -> sub/target.dat (relative), linkN -> link(N-1); the last
        // one absolute, to mix both kinds.
        fs::create_symlink("sub/target.dat", Path("link1"));
        for (int k = 2; k <= links; ++k)
            fs::create_symlink(k == links ? Path("link" + std::to_string(k - 1)) : "link" + std::to_string(k - 1),
                               Path("link" + std::to_string(k)));
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(Path("link" + std::to_string(links)), "new", &error)) << error;
        EXPECT_EQ(ReadAll(Path("sub/target.dat")), "new");
        EXPECT_EQ(fs::status(Path("sub/target.dat")).permissions(), fs::perms(0640));
        for (int k = 1; k <= links; ++k)
            EXPECT_TRUE(fs::is_symlink(Path("link" + std::to_string(k)))) << k;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "sub"), {}), 1);
    }
    // A loop of links is refused with the system's reason.
    fs::create_symlink("loop-b", Path("loop-a"));
    fs::create_symlink("loop-a", Path("loop-b"));
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(Path("loop-a"), "x", &error));
    EXPECT_NE(error.find("Too many levels of symbolic links"), std::string::npos) << error;
}

TEST_F(FileSafety, NewFileFollowsTheUmaskAndAReplacedOneKeepsItsMode)
{
    const mode_t saved = ::umask(022);
    ASSERT_TRUE(WriteFileAtomically(Path("new.dat"), "x"));
    EXPECT_EQ(fs::status(Path("new.dat")).permissions(), fs::perms(0644));
    std::ofstream(Path("group.dat")) << "x";
    fs::permissions(Path("group.dat"), fs::perms(0640));
    ASSERT_TRUE(WriteFileAtomically(Path("group.dat"), "y"));
    EXPECT_EQ(fs::status(Path("group.dat")).permissions(), fs::perms(0640));
    ::umask(saved);
}

// The two ways a save writes its temporary file: unnamed until complete, or
// named from the start where the file system has no unnamed files.
struct WriteWay
{
    const char* name;
    bool unnamedRefused;
};
const WriteWay kWriteWays[] = {{"unnamed temporary file", false}, {"named temporary file", true}};

// A new file gets 0666 less the umask and a replaced one keeps its own mode,
// also one the umask would take bits from, whichever way the file is written.
TEST_F(FileSafety, ModeIsTheSameWhicheverWayTheFileIsWritten)
{
    const mode_t saved = ::umask(022);
    struct Case
    {
        int existing; // -1: no file yet
        int expected;
    };
    const Case cases[] = {{-1, 0644}, {0664, 0664}, {0666, 0666}, {0640, 0640}, {0600, 0600}, {0755, 0755}};
    for (const WriteWay& way : kWriteWays) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(way.name) + " over mode " + std::to_string(c.existing));
            fs::remove(Path("mode.dat"));
            if (c.existing >= 0) {
                std::ofstream(Path("mode.dat")) << "old";
                fs::permissions(Path("mode.dat"), fs::perms(c.existing));
            }
            std::optional<ScopedAtomicWriteFailure> noUnnamedFiles;
            if (way.unnamedRefused)
                noUnnamedFiles.emplace(AtomicWriteStep::Unnamed, EOPNOTSUPP);
            std::string error;
            ASSERT_TRUE(WriteFileAtomically(Path("mode.dat"), "new", &error)) << error;
            EXPECT_EQ(fs::status(Path("mode.dat")).permissions(), fs::perms(c.expected));
            EXPECT_EQ(ReadAll(Path("mode.dat")), "new");
        }
    }
    ::umask(saved);
}

// The new contents reach the disk once, while the old file is still in
// place: a crash after the rename never finds a file whose data was lost.
TEST_F(FileSafety, NewContentsAreFlushedBeforeTheyReplaceTheOldFile)
{
    for (const WriteWay& way : kWriteWays) {
        SCOPED_TRACE(way.name);
        std::ofstream(Path("flush.dat"), std::ios::trunc) << "old";
        std::vector<std::string> seenAtFlush;
        {
            ScopedAtomicFlushWatch watch([&] { seenAtFlush.push_back(ReadAll(Path("flush.dat"))); });
            std::optional<ScopedAtomicWriteFailure> noUnnamedFiles;
            if (way.unnamedRefused)
                noUnnamedFiles.emplace(AtomicWriteStep::Unnamed, EOPNOTSUPP);
            ASSERT_TRUE(WriteFileAtomically(Path("flush.dat"), "new"));
        }
        EXPECT_EQ(seenAtFlush, std::vector<std::string>{"old"});
        EXPECT_EQ(ReadAll(Path("flush.dat")), "new");
    }
    // A flush that fails fails the save, as a full disk would.
    std::vector<std::string> seenAtFlush;
    ScopedAtomicFlushWatch watch([&] { seenAtFlush.push_back("flushed"); });
    ScopedAtomicWriteFailure failure(AtomicWriteStep::Sync, EIO);
    EXPECT_FALSE(WriteFileAtomically(Path("flush.dat"), "newer"));
    EXPECT_TRUE(seenAtFlush.empty());
    EXPECT_EQ(ReadAll(Path("flush.dat")), "new");
}

// Each failing step keeps the old file and leaves no temporary file; a file
// system without unnamed files takes the named way and still succeeds.
TEST_F(FileSafety, FailingStepsKeepTheOldFile)
{
    std::ofstream(Path("keep.dat")) << "old";
    for (const AtomicWriteStep step : {AtomicWriteStep::Write, AtomicWriteStep::Sync, AtomicWriteStep::Rename}) {
        SCOPED_TRACE(static_cast<int>(step));
        std::string error;
        {
            ScopedAtomicWriteFailure failure(step, ENOSPC);
            EXPECT_FALSE(WriteFileAtomically(Path("keep.dat"), "new", &error));
        }
        EXPECT_EQ(error, "cannot write " + Path("keep.dat") + ": No space left on device");
        EXPECT_EQ(ReadAll(Path("keep.dat")), "old");
        EXPECT_EQ(Entries(), 1u);
    }
    {
        ScopedAtomicWriteFailure noUnnamedFiles(AtomicWriteStep::Unnamed, EOPNOTSUPP);
        ASSERT_TRUE(WriteFileAtomically(Path("keep.dat"), "named way"));
    }
    EXPECT_EQ(ReadAll(Path("keep.dat")), "named way");
    EXPECT_EQ(Entries(), 1u);
}

// Only this program's own temporary files, and only stale ones, go.
TEST_F(FileSafety, StaleTemporaryFilesOfOursAreRemoved)
{
    struct Case
    {
        const char* name;
        std::time_t age;
        bool removed;
    };
    const Case cases[] = {
        {".radio.dat.rpsave-Ab12Cd", 2 * 86400, true},
        {".radio.dat.rpsave-Ab12Ce", 3600, false},          // may be a save going on
        {".list.csv.Xy12Zz", 2 * 86400, true},              // as earlier versions named them
        {".notes.txt.Xy12Zz", 2 * 86400, false},            // not a kind of file we write
        {".config.backup", 2 * 86400, false},               // just looks alike
        {".radio.dat.rpsave-Ab12", 2 * 86400, false},       // random part too short
        {".radio.dat.rpsave-Ab12Cd7", 2 * 86400, false},    // random part too long
        {".radio.dat.rpsave-Ab12Cd.old", 2 * 86400, false}, // more after the random part
        {".list.csv.Xy12Zz7", 2 * 86400, false},            // too long, earlier naming
        {"radio.dat.rpsave-Ab12Cf", 2 * 86400, false},      // not hidden
        {"radio.dat", 2 * 86400, false},
    };
    for (const Case& c : cases) {
        std::ofstream(Path(c.name)) << "x";
        SetAge(Path(c.name), c.age);
    }
    fs::create_directory(Path(".folder.dat.rpsave-Ab12Cg"));
    SetAge(Path(".folder.dat.rpsave-Ab12Cg"), 2 * 86400);

    EXPECT_EQ(RemoveStaleTemporaryFiles(dir_.string(), std::time(nullptr)), 2);
    for (const Case& c : cases)
        EXPECT_EQ(fs::exists(Path(c.name)), !c.removed) << c.name;
    EXPECT_TRUE(fs::is_directory(Path(".folder.dat.rpsave-Ab12Cg")));

    // A link with our name is no file of ours (its target stays a file of
    // somebody else's), nor is a file another user owns, where one can be made.
    std::ofstream(Path("target.dat")) << "x";
    fs::create_symlink("target.dat", Path(".link.dat.rpsave-Ab12Ch"));
    SetAge(Path(".link.dat.rpsave-Ab12Ch"), 2 * 86400);
    std::ofstream(Path(".theirs.dat.rpsave-Ab12Ci")) << "x";
    const bool otherOwner = ::chown(Path(".theirs.dat.rpsave-Ab12Ci").c_str(), ::geteuid() + 1, ::getegid()) == 0;
    SetAge(Path(".theirs.dat.rpsave-Ab12Ci"), 2 * 86400);
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir_.string(), std::time(nullptr)), otherOwner ? 0 : 1);
    EXPECT_TRUE(fs::is_symlink(Path(".link.dat.rpsave-Ab12Ch")));
    EXPECT_EQ(fs::exists(Path(".theirs.dat.rpsave-Ab12Ci")), otherOwner);

    // A save cleans up its own folder.
    std::ofstream(Path(".radio.dat.rpsave-Zz99Zz")) << "x";
    SetAge(Path(".radio.dat.rpsave-Zz99Zz"), 2 * 86400);
    ASSERT_TRUE(WriteFileAtomically(Path("radio.dat"), "saved"));
    EXPECT_FALSE(fs::exists(Path(".radio.dat.rpsave-Zz99Zz")));
}

// A read stops at its limit, whatever the file holds beyond it.
TEST_F(FileSafety, ReadTakesAtMostItsLimit)
{
    std::ofstream(Path("long.dat"), std::ios::binary) << std::string(100000, 'a') << std::string(100, 'b');
    for (const std::size_t limit : {std::size_t{0}, std::size_t{1}, std::size_t{65536}, std::size_t{100000},
                                    std::size_t{100100}, std::size_t{200000}}) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(ReadFileBytes(Path("long.dat"), bytes, limit, &error)) << error;
        EXPECT_EQ(bytes.size(), std::min<std::size_t>(limit, 100100)) << limit;
    }
}

TEST_F(FileSafety, ChannelListsOverOneMebibyteAreRefusedUnread)
{
    struct Case
    {
        std::size_t size;
        ChannelCsvRead expected;
    };
    for (const Case c :
         {Case{kMaxChannelCsvBytes, ChannelCsvRead::Ok}, Case{kMaxChannelCsvBytes + 1, ChannelCsvRead::TooLarge}}) {
        std::ofstream(Path("list.csv"), std::ios::binary | std::ios::trunc) << std::string(c.size, ',');
        std::string text;
        std::string error;
        EXPECT_EQ(ReadChannelCsvFile(Path("list.csv"), text, error), c.expected) << c.size;
        EXPECT_EQ(text.size(), c.expected == ChannelCsvRead::Ok ? c.size : 0u);
        if (c.expected == ChannelCsvRead::TooLarge) {
            EXPECT_EQ(error, Path("list.csv") + ": file is too large for a channel list (over 1 MiB)");
        }
    }
}

TEST_F(FileSafety, SameFileIsFoundThroughLinks)
{
    std::ofstream(Path("a.dat")) << "a";
    std::ofstream(Path("b.dat")) << "b";
    fs::create_symlink("a.dat", Path("link.dat"));
    fs::create_hard_link(Path("a.dat"), Path("hard.dat"));
    struct Case
    {
        const char* left;
        const char* right;
        bool same;
    };
    const Case cases[] = {
        {"a.dat", "a.dat", true},  {"a.dat", "link.dat", true},  {"hard.dat", "link.dat", true},
        {"a.dat", "b.dat", false}, {"a.dat", "none.dat", false}, {"none.dat", "none.dat", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSameFile(Path(c.left), Path(c.right)), c.same) << c.left << " " << c.right;
    EXPECT_TRUE(IsSameFile(Path("a.dat"), (dir_ / "." / "a.dat").string()));
}

} // namespace
