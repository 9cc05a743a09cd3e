// GetAppDir, BuildLaunchScript and the character codes typed into the console.
#include "Launch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace core {
namespace {

using Lines = std::vector<std::wstring>;

struct ScriptCase {
  const wchar_t* appDir;
  Lines expected;
};

class LaunchScriptTable : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(LaunchScriptTable, BuildsTheExpectedLines) {
  const ScriptCase& c = GetParam();
  EXPECT_EQ(BuildLaunchScript(c.appDir), c.expected) << "appDir: " << ::testing::PrintToString(std::wstring(c.appDir));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, LaunchScriptTable,
    ::testing::Values(
        // A folder on a drive, a drive's root, and a network share (no script).
        ScriptCase{L"D:\\Games\\X\\", {L"cd\\", L"D:", L"cd\\Games\\X\\", L"mame.exe vethrina", L"A"}},
        ScriptCase{L"C:\\", {L"cd\\", L"C:", L"mame.exe vethrina", L"A"}},
        ScriptCase{L"\\\\server\\share\\X\\", {}},
        // Root of other drives, lower case drive letters are kept as they are.
        ScriptCase{L"e:\\", {L"cd\\", L"e:", L"mame.exe vethrina", L"A"}},
        ScriptCase{L"Z:\\Arcade\\", {L"cd\\", L"Z:", L"cd\\Arcade\\", L"mame.exe vethrina", L"A"}},
        // Non-ASCII directories pass through unchanged.
        ScriptCase{L"D:\\游戏\\岚枢\\", {L"cd\\", L"D:", L"cd\\游戏\\岚枢\\", L"mame.exe vethrina", L"A"}}));

INSTANTIATE_TEST_SUITE_P(
    OddInputs, LaunchScriptTable,
    ::testing::Values(
        ScriptCase{L"", {}},
        ScriptCase{L":", {}},                // colon at position 1
        ScriptCase{L":\\Games\\", {}},       // colon at position 1 with a rest
        ScriptCase{L"Games\\X\\", {}},       // relative path
        ScriptCase{L".\\", {}},              // relative path
        ScriptCase{L"\\Games\\X\\", {}},     // rooted but driveless
        // "C:" alone: the rest is empty, not longer than one character.
        ScriptCase{L"C:", {L"cd\\", L"C:", L"mame.exe vethrina", L"A"}},
        // A one-character rest other than a backslash is left out as well.
        ScriptCase{L"C:x", {L"cd\\", L"C:", L"mame.exe vethrina", L"A"}},
        // Drive-relative rest: "cd" directly followed by it, no blank.
        ScriptCase{L"C:Games\\", {L"cd\\", L"C:", L"cdGames\\", L"mame.exe vethrina", L"A"}},
        // The first colon counts: everything up to it is the "drive" line.
        ScriptCase{L"AB:\\x\\", {L"cd\\", L"AB:", L"cd\\x\\", L"mame.exe vethrina", L"A"}},
        ScriptCase{L"C:\\a:b\\", {L"cd\\", L"C:", L"cd\\a:b\\", L"mame.exe vethrina", L"A"}},
        // A long-path prefix has its first colon at position 6.
        ScriptCase{L"\\\\?\\C:\\G\\", {L"cd\\", L"\\\\?\\C:", L"cd\\G\\", L"mame.exe vethrina", L"A"}}));

TEST(LaunchScript, EveryLineIsTypedAsIs) {
  // The script never holds an empty line (TypeLines would skip it).
  for (const auto* dir : {L"D:\\Games\\X\\", L"C:\\", L"C:"})
    for (const std::wstring& line : BuildLaunchScript(dir)) EXPECT_FALSE(line.empty());
}

struct AppDirCase {
  const wchar_t* exePath;
  const wchar_t* expected;
};

class AppDirTable : public ::testing::TestWithParam<AppDirCase> {};

TEST_P(AppDirTable, CutsAfterTheLastSeparator) {
  EXPECT_EQ(GetAppDir(GetParam().exePath), std::wstring(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AppDirTable,
    ::testing::Values(AppDirCase{L"D:\\Games\\X\\launcher.exe", L"D:\\Games\\X\\"},
                      AppDirCase{L"C:\\launcher.exe", L"C:\\"},
                      AppDirCase{L"C:launcher.exe", L"C:\\"},          // cut after the colon
                      AppDirCase{L"\\\\server\\share\\X\\launcher.exe", L"\\\\server\\share\\X\\"},
                      AppDirCase{L"D:\\游戏\\岚枢.exe", L"D:\\游戏\\"},
                      AppDirCase{L"D:\\Games\\X\\", L"D:\\Games\\X\\"},  // already a directory
                      AppDirCase{L"launcher.exe", L"\\"},               // no separator at all
                      AppDirCase{L"", L"\\"},
                      AppDirCase{L"C:", L"C:\\"},
                      AppDirCase{L"D:\\a.b\\c", L"D:\\a.b\\"},
                      // Only '\' and ':' separate: a slash stays inside the name.
                      AppDirCase{L"D:\\Games/X/launcher.exe", L"D:\\"}));

TEST(AppDir, AlwaysEndsInABackslashAndFeedsTheScript) {
  const std::wstring dir = GetAppDir(L"D:\\Games\\X\\launcher.exe");
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), L'\\');
  EXPECT_EQ(BuildLaunchScript(dir).size(), 5u);
}

TEST(CharCodes, OneValuePerByteWithoutSignExtension) {
  EXPECT_TRUE(CharCodesFor("").empty());
  EXPECT_EQ(CharCodesFor("cd\\"), (std::vector<unsigned>{'c', 'd', '\\'}));
  // The bytes of a double-byte (GBK) text each give one value 128..255.
  const std::string gbk("\xE1\xB0\xCA\xE0", 4);
  EXPECT_EQ(CharCodesFor(gbk), (std::vector<unsigned>{0xE1, 0xB0, 0xCA, 0xE0}));
  const std::string edges("\x00\x7F\x80\xFF", 4);
  EXPECT_EQ(CharCodesFor(edges), (std::vector<unsigned>{0, 127, 128, 255}));
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    ASSERT_EQ(CharCodesFor(one), std::vector<unsigned>{static_cast<unsigned>(b)});
  }
}

TEST(LaunchConstants, CommandsAndWindowClass) {
  EXPECT_EQ(kEmulatorExe, L"mame.exe");
  EXPECT_EQ(kEmulatorCommand, L"mame.exe vethrina");
  EXPECT_EQ(kInterpreterCommand, "cmd.exe c/");
  EXPECT_EQ(kConsoleClass, "ConsoleWindowClass");
  EXPECT_EQ(kTeardownLine, "exit");
  EXPECT_EQ(kEnter, 13u);
}

}  // namespace
}  // namespace core
