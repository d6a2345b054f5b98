#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace hv::platform {
namespace {

TEST(IniFile, NamesIgnoreCaseAndLaterKeysWin) {
  auto ini = IniFile::parse("; comment\n[FileMgr]\r\nRes = 300\r\nres=400\n[Other]\nx=1\n");
  EXPECT_EQ(ini.get("filemgr", "RES").value_or(""), "400");
  EXPECT_EQ(ini.getInt("FILEMGR", "Res", 0), 400);
  EXPECT_FALSE(ini.get("Other", "Res").has_value());
  EXPECT_EQ(ini.getInt("Missing", "Res", 7), 7);
}

TEST(IniFile, IntegerValuesReadLeadingDigitsOnly) {
  auto ini = IniFile::parse("[S]\na=250dpi\nb=dpi\nc=-5\n");
  EXPECT_EQ(ini.getInt("S", "a", 0), 250);
  EXPECT_EQ(ini.getInt("S", "b", 9), 9);
  EXPECT_EQ(ini.getInt("S", "c", 0), -5);
}

TEST(IniFile, SaveReplacesTheFileWhole) {
  hv::test::TempDir dir;
  std::string path = dir.file("settings.ini");
  hv::test::writeFile(path, "[Preferences]\nA=1\n");
  auto ini = IniFile::load(path);
  ini.set("preferences", "a", "2");
  ini.set("New", "K", "v");
  ASSERT_EQ(ini.save(path), Status::Ok);
  auto back = IniFile::load(path);
  EXPECT_EQ(back.get("Preferences", "A").value_or(""), "2");
  EXPECT_EQ(back.get("New", "K").value_or(""), "v");
}

}  // namespace
}  // namespace hv::platform
