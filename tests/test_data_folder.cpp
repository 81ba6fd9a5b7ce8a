// The data folder: one game per folder, and the saves an older build kept
// beside the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/data_folder.h"
#include "fake_platform.h"
#include "platform/files.h"

namespace quillvane::testing {
namespace {

namespace fs = std::filesystem;
using files::FolderLock;

TEST(FolderLock, OneHolderAtATimeAndFreeAgainOnceReleased) {
  const std::string folder = make_temp_folder();
  {
    FolderLock first(folder);
    EXPECT_EQ(first.state(), FolderLock::State::held);
    // A second lock, even from the same process, finds the folder taken.
    FolderLock second(folder);
    EXPECT_EQ(second.state(), FolderLock::State::busy);
    // Another folder is free.
    const std::string other = make_temp_folder();
    EXPECT_EQ(FolderLock(other).state(), FolderLock::State::held);
    fs::remove_all(other);
  }
  EXPECT_EQ(FolderLock(folder).state(), FolderLock::State::held);
  EXPECT_EQ(FolderLock(folder + "/missing").state(), FolderLock::State::unlockable);
  fs::remove_all(folder);
}

// A save killed between its temporary file and the rename leaves that file:
// exactly those names go, nothing else, and never a folder.
TEST(InterruptedSaves, AreRemovedByTheNamesTheSavesWriteAndNothingElse) {
  const std::string folder = make_temp_folder();
  auto in_folder = [&](const std::string& name) { return (fs::path(folder) / name).string(); };
  for (const char* name : kReplacedFiles) {
    write_bytes(in_folder(name), "the saved file");
    write_bytes(files::temporary_path(in_folder(name)), "the save, cut sh");
  }
  // What no save of the game writes stays: the log is appended, the cheat
  // file only read, and names that merely look alike are another's.
  const std::vector<std::string> others = {"log.txt.tmp", "cheat.ini.tmp", "progress.tmp",
                                           "progress.ini.tmp.1", "quillvane.tmp"};
  for (const std::string& name : others) write_bytes(in_folder(name), name);
  EXPECT_EQ(remove_interrupted_saves(folder), 4);
  for (const char* name : kReplacedFiles) {
    EXPECT_FALSE(fs::exists(files::temporary_path(in_folder(name)))) << name;
    EXPECT_EQ(read_bytes(in_folder(name)), "the saved file") << name;
  }
  for (const std::string& name : others) EXPECT_EQ(read_bytes(in_folder(name)), name);
  // Nothing left: nothing removed. A folder of that name is left alone.
  EXPECT_EQ(remove_interrupted_saves(folder), 0);
  fs::create_directory(in_folder("settings.ini.tmp"));
  EXPECT_EQ(remove_interrupted_saves(folder), 0);
  EXPECT_TRUE(fs::is_directory(in_folder("settings.ini.tmp")));
  fs::remove_all(folder);
}

#ifndef _WIN32
// A save through a symbolic link writes its temporary file beside the file
// the link points at: that one is the save's, the one beside the link not.
TEST(InterruptedSaves, OfALinkedFileAreBesideItsTarget) {
  const std::string folder = make_temp_folder();
  const std::string elsewhere = make_temp_folder();
  write_bytes(elsewhere + "/real.ini", "the saved file");
  fs::create_symlink(elsewhere + "/real.ini", folder + "/progress.ini");
  write_bytes(elsewhere + "/real.ini.tmp", "cut");
  write_bytes(folder + "/progress.ini.tmp", "not the save's");
  EXPECT_EQ(files::temporary_path(folder + "/progress.ini"), elsewhere + "/real.ini.tmp");
  EXPECT_EQ(remove_interrupted_saves(folder), 1);
  EXPECT_FALSE(fs::exists(elsewhere + "/real.ini.tmp"));
  EXPECT_EQ(read_bytes(folder + "/progress.ini.tmp"), "not the save's");
  EXPECT_EQ(read_bytes(elsewhere + "/real.ini"), "the saved file");
  fs::remove_all(folder);
  fs::remove_all(elsewhere);
}
#endif

#ifndef _WIN32
// The saves beside the test program stand for an older build's saves. One
// test only: the program's folder is shared by every test process.
class AdoptedSaves : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kSavedFiles) ASSERT_FALSE(files::exists(beside(name))) << name;
  }
  void TearDown() override {
    for (const char* name : kSavedFiles) fs::remove(beside(name));
    fs::remove_all(folder);
  }
  static std::string beside(const std::string& name) { return executable_folder() + "/" + name; }
  std::string folder = make_temp_folder();
};

TEST_F(AdoptedSaves, AreCopiedOnceIntoAFolderWithoutSavesAndStayBesideTheProgram) {
  // Nothing to adopt: nothing happens.
  EXPECT_EQ(adopt_saves_beside_program(folder), 0);
  EXPECT_TRUE(fs::is_empty(folder));
  write_bytes(beside("progress.ini"), "old progress");
  write_bytes(beside("log.txt"), "old log");
  EXPECT_EQ(adopt_saves_beside_program(folder), 2);
  EXPECT_EQ(read_bytes(folder + "/progress.ini"), "old progress");
  EXPECT_EQ(read_bytes(folder + "/log.txt"), "old log");
  EXPECT_FALSE(fs::exists(folder + "/achievements.ini"));
  EXPECT_EQ(read_bytes(beside("progress.ini")), "old progress");
  // Once the folder holds saves of its own, nothing is copied over them.
  write_bytes(folder + "/progress.ini", "new progress");
  write_bytes(beside("achievements.ini"), "old achievements");
  EXPECT_EQ(adopt_saves_beside_program(folder), 0);
  EXPECT_EQ(read_bytes(folder + "/progress.ini"), "new progress");
  EXPECT_FALSE(fs::exists(folder + "/achievements.ini"));
  // The program's own folder adopts nothing from itself.
  EXPECT_EQ(adopt_saves_beside_program(executable_folder()), 0);
}

TEST(DataFolder, IsThePerUserDataFolderWhateverTheProgramsFolder) {
  const char* saved_xdg = std::getenv("XDG_DATA_HOME");
  const char* saved_home = std::getenv("HOME");
  const std::string xdg = saved_xdg ? saved_xdg : "", home = saved_home ? saved_home : "";
  const struct {
    const char* xdg;  // nullptr: unset
    const char* home;
    std::string expected;
  } cases[] = {
      {"/data/xdg", "/home/player", "/data/xdg/quillvane"},
      {nullptr, "/home/player", "/home/player/.local/share/quillvane"},
      {"", "/home/player", "/home/player/.local/share/quillvane"},
      {"relative/xdg", "/home/player", "/home/player/.local/share/quillvane"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xdg ? c.xdg : "(unset)");
    if (c.xdg)
      setenv("XDG_DATA_HOME", c.xdg, 1);
    else
      unsetenv("XDG_DATA_HOME");
    setenv("HOME", c.home, 1);
    EXPECT_EQ(default_data_folder(), c.expected);
  }
  if (saved_xdg)
    setenv("XDG_DATA_HOME", xdg.c_str(), 1);
  else
    unsetenv("XDG_DATA_HOME");
  if (saved_home)
    setenv("HOME", home.c_str(), 1);
  else
    unsetenv("HOME");
}
#endif

}  // namespace
}  // namespace quillvane::testing
