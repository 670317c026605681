// Saving files that hold WLAN keys and the console password field: who may
// read them, what a link or a planted file at a temporary name does, what is
// refused before anything is written, new files that never replace one.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "configfile/text_file.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

class SaveFolder {
public:
    SaveFolder() {
        char pattern[] = "/tmp/qcfg-save.XXXXXX";
        if (mkdtemp(pattern) != nullptr) dir_ = pattern;
    }
    ~SaveFolder() { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    std::string Write(const std::string& name, const std::string& text, mode_t mode = 0644) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        chmod(Path(name).c_str(), mode);
        return Path(name);
    }
    // Every name in the folder, sorted: a temporary file left shows here.
    std::string Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.insert(entry.path().filename().string());
        std::string out;
        for (const std::string& name : names) out += name + " ";
        return out;
    }

private:
    std::string dir_;
};

std::string Read(const std::string& path) {
    std::string text, reason;
    return ReadTextFile(path, text, reason) ? text : "(unreadable: " + reason + ")";
}

mode_t ModeOf(const std::string& path) {
    struct stat status {};
    lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

TEST(SaveFile, NewFilesAreTheUsersAloneAndAReplacedFileKeepsItsMode) {
    const mode_t before = umask(022);
    const mode_t replaced[] = {0, 0600, 0640, 0664};  // 0: no file yet
    for (const mode_t mode : replaced) {
        SCOPED_TRACE(mode);
        SaveFolder folder;
        if (mode != 0) folder.Write("tarvo.qcfg", "old\n", mode);
        std::string reason;
        ASSERT_TRUE(SaveTextAtomically(folder.Path("tarvo.qcfg"), "new\n", reason)) << reason;
        EXPECT_EQ(Read(folder.Path("tarvo.qcfg")), "new\n");
        EXPECT_EQ(ModeOf(folder.Path("tarvo.qcfg")), mode != 0 ? mode : 0600u);
        EXPECT_EQ(folder.Names(), "tarvo.qcfg ");
    }
    umask(before);
}

TEST(SaveFile, ALinkLeadsToItsFileAndANamePlantedBesideIsLeftAlone) {
    SaveFolder folder, elsewhere;
    const std::string target = elsewhere.Write("kept.qcfg", "old\n", 0640);
    const std::string victim = elsewhere.Write("victim", "victim\n");
    ASSERT_EQ(symlink(target.c_str(), folder.Path("link.qcfg").c_str()), 0);
    // The fixed temporary name of earlier versions: a user's own file, and a
    // link someone planted.
    folder.Write("mine.qcfg.saving", "mine\n");
    ASSERT_EQ(symlink(victim.c_str(), folder.Path("link.qcfg.saving").c_str()), 0);
    std::string reason;
    ASSERT_TRUE(SaveTextAtomically(folder.Path("link.qcfg"), "new\n", reason)) << reason;
    ASSERT_TRUE(SaveTextAtomically(folder.Path("mine.qcfg"), "new\n", reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(folder.Path("link.qcfg")));
    EXPECT_EQ(Read(target), "new\n");
    EXPECT_EQ(ModeOf(target), 0640u);
    EXPECT_EQ(Read(victim), "victim\n");
    EXPECT_EQ(Read(folder.Path("mine.qcfg.saving")), "mine\n");
    EXPECT_EQ(folder.Names(), "link.qcfg link.qcfg.saving mine.qcfg mine.qcfg.saving ");
    EXPECT_EQ(elsewhere.Names(), "kept.qcfg victim ");
}

TEST(SaveFile, AnythingButARegularFileOrAMissingFolderIsRefusedBeforeAnythingIsWritten) {
    SaveFolder folder;
    ASSERT_EQ(mkfifo(folder.Path("pipe").c_str(), 0600), 0);
    ASSERT_EQ(mkdir(folder.Path("folder").c_str(), 0700), 0);
    ASSERT_EQ(symlink("/dev/null", folder.Path("device").c_str()), 0);
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {folder.Path("pipe"), folder.Path("pipe") + " is a pipe, not a regular file"},
        {folder.Path("folder"), folder.Path("folder") + " is a folder, not a regular file"},
        {folder.Path("device"), "/dev/null is a device, not a regular file"},
        {folder.Path("no/such.qcfg"), "The folder " + folder.Path("no") + " does not exist"},
        {folder.Path("pipe/x.qcfg"), folder.Path("pipe") + " is not a folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string checked, saved;
        EXPECT_FALSE(CheckSaveTarget(c.path, checked));
        EXPECT_EQ(checked, c.reason);
        EXPECT_FALSE(SaveTextAtomically(c.path, "x", saved));
        EXPECT_EQ(saved, c.reason);
    }
    EXPECT_EQ(folder.Names(), "device folder pipe ");
    EXPECT_TRUE(fs::is_fifo(folder.Path("pipe")));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// A name taken after a program looked (here: before the save, by a file and
// by a link) is never replaced: the next number is.
TEST(SaveFile, ANewFileTakesTheFirstNameNothingHolds) {
    SaveFolder folder;
    folder.Write("tarvo-0A.qcfg", "earlier\n");
    ASSERT_EQ(symlink(folder.Path("elsewhere").c_str(), folder.Path("tarvo-0A-2.qcfg").c_str()), 0);
    std::string first, second, reason;
    ASSERT_TRUE(SaveTextAsNewFile(folder.Path(""), "tarvo-0A", "qcfg", "one\n", first, reason)) << reason;
    ASSERT_TRUE(SaveTextAsNewFile(folder.Path(""), "tarvo-0A", "qcfg", "two\n", second, reason)) << reason;
    EXPECT_EQ(first, folder.Path("tarvo-0A-3.qcfg"));
    EXPECT_EQ(second, folder.Path("tarvo-0A-4.qcfg"));
    EXPECT_EQ(Read(first) + Read(second) + Read(folder.Path("tarvo-0A.qcfg")), "one\ntwo\nearlier\n");
    EXPECT_EQ(ModeOf(first), 0600u);
    EXPECT_EQ(folder.Names(), "tarvo-0A-2.qcfg tarvo-0A-3.qcfg tarvo-0A-4.qcfg tarvo-0A.qcfg ");
    EXPECT_FALSE(fs::exists(folder.Path("elsewhere")));

    EXPECT_FALSE(SaveTextAsNewFile(folder.Path("no"), "tarvo-0A", "qcfg", "x", first, reason));
    EXPECT_EQ(reason, "The folder " + folder.Path("no") + " does not exist");
}

}  // namespace
}  // namespace quarnel
