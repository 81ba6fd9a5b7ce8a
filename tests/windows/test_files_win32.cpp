// The Windows file layer: single-byte paths through the ANSI code page,
// exact bytes in and out, atomic replacement, and the data folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/data_folder.h"
#include "platform/files.h"
#include "platform/text/code_page.h"

namespace quillvane::win32 {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& leaf = L"") {
    static int counter = 0;
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    wide_ = std::wstring(base) + L"quillvane-win-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(counter++);
    CreateDirectoryW(wide_.c_str(), nullptr);
    root_ = wide_;
    if (!leaf.empty()) {
      wide_ += L"\\" + leaf;
      CreateDirectoryW(wide_.c_str(), nullptr);
    }
  }
  ~TempFolder() {
    std::error_code error;
    fs::remove_all(fs::path(root_), error);
  }
  const std::wstring& wide() const { return wide_; }
  std::string narrow() const { return path_in_code_page(wide_); }

 private:
  std::wstring root_;
  std::wstring wide_;
};

bool wide_file_exists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool single_byte_code_page() {
  CPINFO info{};
  return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
}

TEST(CodePage, EverySingleByteSurvivesTheTripThroughUtf16) {
  if (!single_byte_code_page()) GTEST_SKIP() << "the system code page is not single-byte";
  for (int byte = 1; byte < 256; ++byte) {
    SCOPED_TRACE(byte);
    std::string text(1, static_cast<char>(byte));
    std::wstring wide = to_wide(text);
    ASSERT_EQ(wide.size(), 1u);
    bool lossless = false;
    EXPECT_EQ(to_code_page(wide, &lossless), text);
    EXPECT_TRUE(lossless);
  }
}

TEST(CodePage, Windows1252LettersBecomeTheirUnicodeCharacters) {
  if (GetACP() != 1252) GTEST_SKIP() << "the system code page is " << GetACP();
  EXPECT_EQ(to_wide("Caf\xE9 \x80"), L"Caf\u00e9 \u20ac");
  EXPECT_EQ(to_code_page(L"Caf\u00e9 \u20ac"), "Caf\xE9 \x80");
}

TEST(CodePage, ReportsACharacterTheCodePageCannotHold) {
  if (!single_byte_code_page()) GTEST_SKIP() << "the system code page is not single-byte";
  bool lossless = true;
  to_code_page(L"a\u4e2d", &lossless);
  EXPECT_FALSE(lossless);
  to_code_page(L"plain", &lossless);
  EXPECT_TRUE(lossless);
}

TEST(CodePage, AFolderTheCodePageCannotSpellIsReachedByItsShortName) {
  if (!single_byte_code_page()) GTEST_SKIP() << "the system code page is not single-byte";
  TempFolder folder(L"\u4e2d\u6587");
  std::string narrow = path_in_code_page(folder.wide());
  for (char c : narrow) EXPECT_LT(static_cast<unsigned char>(c), 128) << narrow;
  ASSERT_TRUE(files::replace_atomically(narrow + "\\progress.ini", "x\r\n"));
  EXPECT_TRUE(wide_file_exists(folder.wide() + L"\\progress.ini"));
}

TEST(Files, ReplaceWritesTheExactBytesWithNoLineEndTranslation) {
  TempFolder folder;
  const std::string path = folder.narrow() + "\\progress.ini";
  const std::string bytes = std::string("Dirt\r\n 12 \r\nlone\nnul") + '\0' + "\xE9\xFF\r\n";
  ASSERT_TRUE(files::replace_atomically(path, bytes));
  EXPECT_EQ(files::read_whole(path), bytes);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExW(to_wide(path).c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, bytes.size());
}

TEST(Files, ReplaceOverwritesTheOldFileAndLeavesNoTemporaryFile) {
  TempFolder folder;
  const std::string path = folder.narrow() + "\\achievements.ini";
  ASSERT_TRUE(files::replace_atomically(path, "old contents, longer than the new\r\n"));
  ASSERT_TRUE(files::replace_atomically(path, "new\r\n"));
  EXPECT_EQ(files::read_whole(path), "new\r\n");
  EXPECT_FALSE(files::exists(path + ".tmp"));
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.wide())) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(Files, AFailedReplaceLeavesTheOldFileAsItWas) {
  TempFolder folder;
  const std::string path = folder.narrow() + "\\progress.ini";
  ASSERT_TRUE(files::replace_atomically(path, "saved game\r\n"));
  // The temporary file cannot be made where a folder of that name stands.
  ASSERT_TRUE(CreateDirectoryW(to_wide(path + ".tmp").c_str(), nullptr));
  EXPECT_FALSE(files::replace_atomically(path, "torn"));
  EXPECT_EQ(files::read_whole(path), "saved game\r\n");
}

TEST(Files, ReplaceInAMissingFolderFailsAndMakesNothing) {
  TempFolder folder;
  const std::string path = folder.narrow() + "\\missing\\progress.ini";
  EXPECT_FALSE(files::replace_atomically(path, "x"));
  EXPECT_FALSE(files::exists(path));
  EXPECT_EQ(files::read_whole(path), std::nullopt);
}

TEST(Files, NamesAreTakenInTheCodePageNotAsUtf8) {
  if (GetACP() != 1252) GTEST_SKIP() << "the system code page is " << GetACP();
  TempFolder folder(L"Caf\u00e9");
  const std::string path = folder.narrow() + "\\log.txt";
  ASSERT_NE(path.find("Caf\xE9"), std::string::npos);
  ASSERT_TRUE(files::append(path, "line\r\n"));
  EXPECT_TRUE(wide_file_exists(folder.wide() + L"\\log.txt"));
}

TEST(Files, AppendCreatesTheFileThenAddsToItsEnd) {
  TempFolder folder;
  const std::string path = folder.narrow() + "\\log.txt";
  ASSERT_TRUE(files::append(path, "Welcome\r\n"));
  ASSERT_TRUE(files::append(path, "\r\n"));
  ASSERT_TRUE(files::append(path, "You have combined\r\n"));
  EXPECT_EQ(files::read_whole(path), "Welcome\r\n\r\nYou have combined\r\n");
  EXPECT_FALSE(files::append(folder.narrow() + "\\missing\\log.txt", "x"));
}

TEST(Files, ExistsIsTrueForFilesOnly) {
  TempFolder folder;
  EXPECT_FALSE(files::exists(folder.narrow()));
  EXPECT_FALSE(files::exists(folder.narrow() + "\\cheat.ini"));
  ASSERT_TRUE(files::append(folder.narrow() + "\\cheat.ini", "Fire\r\n"));
  EXPECT_TRUE(files::exists(folder.narrow() + "\\cheat.ini"));
}

TEST(Files, FolderWritableTriesAFileAndLeavesNothingBehind) {
  TempFolder folder;
  EXPECT_TRUE(files::folder_writable(folder.narrow()));
  EXPECT_TRUE(fs::is_empty(folder.wide()));
  EXPECT_FALSE(files::folder_writable(folder.narrow() + "\\missing"));
}

TEST(DataFolder, TheProgramsOwnFolderWhenItCanBeWritten) {
  wchar_t module[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
  ASSERT_GT(length, 0u);
  std::wstring folder(module, length);
  folder.resize(folder.find_last_of(L"\\/"));
  EXPECT_EQ(executable_folder(), path_in_code_page(folder));
  EXPECT_TRUE(files::exists(executable_folder() + "\\quillvane_windows_tests.exe"));
  EXPECT_EQ(default_data_folder(), executable_folder());
}

}  // namespace
}  // namespace quillvane::win32
