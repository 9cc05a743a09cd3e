// The built-in texts: both languages of the main window's texts, the
// missing-emulator message, the options window's texts and key-binding rows.
#include "Texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace core {
namespace {

void ExpectFont(const FontSpec& f, std::wstring_view name, int points, int pixels) {
  EXPECT_EQ(f.name, name);
  EXPECT_EQ(f.points, points);
  EXPECT_EQ(f.pixels, pixels);
}

TEST(MainTexts, Chinese) {
  const MainTexts& t = MainWindowTexts(false);
  ExpectFont(t.windowFont, L"宋体", 9, 0);
  ExpectFont(t.noticeFont, L"宋体", 9, 0);
  ExpectFont(t.titleFont, L"宋体", 10, 0);
  EXPECT_EQ(t.caption, L"岚枢麻将游戏");
  EXPECT_EQ(t.title, L"岚枢麻将游戏 3.0.2");
  EXPECT_EQ(t.notice, L"正在启动，请稍候......");
  EXPECT_EQ(t.minimiseHint, L"最小化");
  EXPECT_EQ(t.closeHint, L"关闭");
  EXPECT_EQ(t.homepageUrl, L"https://www.quarven.com/");
  EXPECT_EQ(t.homepageCaption, L"Homepage: https://www.quarven.com/");
  EXPECT_EQ(t.footer, L"© 2026 QUARVEN 岚枢 版权所有");
  EXPECT_EQ(t.missingText, L"mame.exe 文件丢失！");
  EXPECT_EQ(t.missingCaption, L"错误");
}

TEST(MainTexts, English) {
  const MainTexts& t = MainWindowTexts(true);
  ExpectFont(t.windowFont, L"Tahoma", 8, 0);
  ExpectFont(t.noticeFont, L"Tahoma", 8, 0);
  ExpectFont(t.titleFont, L"Tahoma", 8, 0);
  EXPECT_EQ(t.caption, L"QUARVEN");
  EXPECT_EQ(t.title, L"QUARVEN 3.0.2");
  EXPECT_EQ(t.notice, L"Starting...");
  EXPECT_EQ(t.minimiseHint, L"Minimize");
  EXPECT_EQ(t.closeHint, L"Close");
  EXPECT_EQ(t.homepageUrl, L"https://www.quarven.com/en/");
  EXPECT_EQ(t.homepageCaption, L"Homepage: https://www.quarven.com/en/");
  EXPECT_EQ(t.footer, L"© 2026 QUARVEN. All rights reserved.");
  EXPECT_EQ(t.missingText, L"mame.exe File not find");
  EXPECT_EQ(t.missingCaption, L"Error");
}

TEST(MainTexts, SameObjectEveryCall) {
  EXPECT_EQ(&MainWindowTexts(false), &MainWindowTexts(false));
  EXPECT_NE(&MainWindowTexts(false), &MainWindowTexts(true));
  EXPECT_EQ(kApplicationTitle, L"岚枢 (QUARVEN)");
}

TEST(MainTexts, EncodedAsExpected) {
  // UTF-16 on Windows, UTF-32 on Linux: either way one code unit per character here.
  const MainTexts& t = MainWindowTexts(false);
  ASSERT_EQ(t.caption.size(), 6u);
  EXPECT_EQ(static_cast<uint32_t>(t.caption[0]), 0x5C9Au);  // 岚
  EXPECT_EQ(static_cast<uint32_t>(t.footer[0]), 0xA9u);     // ©
}

TEST(OptionTexts, Chinese) {
  const OptionTexts& t = OptionWindowTexts(false);
  ExpectFont(t.windowFont, L"宋体", 9, 0);
  ExpectFont(t.titleFont, L"宋体", 0, 13);
  EXPECT_EQ(t.title, L"设置");
  EXPECT_EQ(t.closeHint, L"关闭");
  EXPECT_EQ(t.okCaption, L"确定(&O)");
  EXPECT_EQ(t.tabCaption, L"键盘默认设置");
}

TEST(OptionTexts, English) {
  const OptionTexts& t = OptionWindowTexts(true);
  ExpectFont(t.windowFont, L"Tahoma", 8, 0);
  ExpectFont(t.titleFont, L"Tahoma", 8, 0);
  EXPECT_EQ(t.title, L"Options");
  EXPECT_EQ(t.closeHint, L"Close");
  EXPECT_EQ(t.okCaption, L"&Ok");
  EXPECT_EQ(t.tabCaption, L"Keyboard default options");
}

TEST(KeyBindingRows, ChineseInOrder) {
  const std::vector<std::wstring> expected = {
      L"",
      L"\t设置\tTab",
      L"\t每次投 1 币\t5",
      L"\t每次投 10 币\t6",
      L"\t统计报告\t0",
      L"\t清除 ROM 内存\t-",
      L"\t退币\t=",
      L"\t开始\t1",
      L"\t压分\t/",
      L"\t摸牌\tN",
      L"\t舍牌\tA - M",
      L"\t换牌\tA",
      L"\t听牌\tShift",
      L"\t吃牌\t空格键",
      L"\t碰牌\tAlt",
      L"\t杠牌\t(左) Ctrl",
      L"\t和牌\tZ",
      L"\t暂停游戏\tP",
      L"\t退出游戏\tESC",
  };
  EXPECT_EQ(KeyBindingRows(false), expected);
}

TEST(KeyBindingRows, EnglishInOrder) {
  const std::vector<std::wstring> expected = {
      L"",
      L"\tOption\tTab",
      L"\tCoin 1\t5",
      L"\tCoin 2 \t6",
      L"\tReport\t0",
      L"\tClear ROM\t-",
      L"\tcoin return\t=",
      L"\tStart\t1",
      L"\tBet\t/",
      L"\tGet\tN",
      L"\tTake out\tA - M",
      L"\tChange\tA",
      L"\tReach\tShift",
      L"\tChi\tSpace",
      L"\tPon\tAlt",
      L"\tKan\t(Left) Ctrl",
      L"\tRon\tZ",
      L"\tPause\tP",
      L"\tExit\tESC",
  };
  const std::vector<std::wstring> rows = KeyBindingRows(true);
  EXPECT_EQ(rows, expected);
  ASSERT_EQ(rows.size(), 19u);
  EXPECT_EQ(rows[3].substr(0, 8), L"\tCoin 2 ");  // ends in a blank before the tab
}

TEST(KeyBindingRows, KeysDifferOnlyInRows13And15) {
  const auto zh = KeyBindingRows(false);
  const auto en = KeyBindingRows(true);
  ASSERT_EQ(zh.size(), 19u);
  ASSERT_EQ(en.size(), 19u);
  for (std::size_t i = 1; i < 19; ++i) {
    const std::wstring keyZh = zh[i].substr(zh[i].rfind(L'\t') + 1);
    const std::wstring keyEn = en[i].substr(en[i].rfind(L'\t') + 1);
    if (i == 13 || i == 15)
      EXPECT_NE(keyZh, keyEn) << i;
    else
      EXPECT_EQ(keyZh, keyEn) << i;
    EXPECT_EQ(zh[i][0], L'\t');
    EXPECT_EQ(en[i][0], L'\t');
  }
}

}  // namespace
}  // namespace core
