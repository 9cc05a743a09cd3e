// The built-in texts of both windows, chosen by language: the main window's
// texts and missing-emulator message, the options window's texts and its
// key-binding rows.
#include "Texts.h"

#include <iterator>

namespace core {

namespace {

constexpr std::wstring_view kSongTi = L"宋体";
constexpr std::wstring_view kTahoma = L"Tahoma";

constexpr std::wstring_view kHomepageChinese = L"https://www.quarven.com/";
constexpr std::wstring_view kHomepageEnglish = L"https://www.quarven.com/en/";

std::wstring HomepageCaption(std::wstring_view address) {
  std::wstring caption(L"Homepage: ");
  caption.append(address);
  return caption;
}

MainTexts MakeMainTexts(bool english) {
  MainTexts t;
  if (english) {
    t.windowFont = FontSpec{kTahoma, 8, 0};
    t.noticeFont = FontSpec{kTahoma, 8, 0};
    t.titleFont = FontSpec{kTahoma, 8, 0};
    t.caption = L"QUARVEN";
    t.title = L"QUARVEN 3.0.2";
    t.notice = L"Starting...";
    t.minimiseHint = L"Minimize";
    t.closeHint = L"Close";
    t.homepageUrl = kHomepageEnglish;
    t.footer = L"© 2026 QUARVEN. All rights reserved.";
    t.missingText = L"mame.exe File not find";
    t.missingCaption = L"Error";
  } else {
    t.windowFont = FontSpec{kSongTi, 9, 0};
    t.noticeFont = FontSpec{kSongTi, 9, 0};
    t.titleFont = FontSpec{kSongTi, 10, 0};
    t.caption = L"岚枢麻将游戏";
    t.title = L"岚枢麻将游戏 3.0.2";
    t.notice = L"正在启动，请稍候......";
    t.minimiseHint = L"最小化";
    t.closeHint = L"关闭";
    t.homepageUrl = kHomepageChinese;
    t.footer = L"© 2026 QUARVEN 岚枢 版权所有";
    t.missingText = L"mame.exe 文件丢失！";
    t.missingCaption = L"错误";
  }
  t.homepageCaption = HomepageCaption(t.homepageUrl);
  return t;
}

OptionTexts MakeOptionTexts(bool english) {
  OptionTexts t;
  if (english) {
    t.windowFont = FontSpec{kTahoma, 8, 0};
    t.titleFont = FontSpec{kTahoma, 8, 0};
    t.title = L"Options";
    t.closeHint = L"Close";
    t.okCaption = L"&Ok";
    t.tabCaption = L"Keyboard default options";
  } else {
    t.windowFont = FontSpec{kSongTi, 9, 0};
    t.titleFont = FontSpec{kSongTi, 0, 13};
    t.title = L"设置";
    t.closeHint = L"关闭";
    t.okCaption = L"确定(&O)";
    t.tabCaption = L"键盘默认设置";
  }
  return t;
}

struct KeyRow {
  std::wstring_view chineseAction, chineseKey, englishAction, englishKey;
};

constexpr KeyRow kKeyRows[] = {
    {L"设置", L"Tab", L"Option", L"Tab"},
    {L"每次投 1 币", L"5", L"Coin 1", L"5"},
    {L"每次投 10 币", L"6", L"Coin 2 ", L"6"},
    {L"统计报告", L"0", L"Report", L"0"},
    {L"清除 ROM 内存", L"-", L"Clear ROM", L"-"},
    {L"退币", L"=", L"coin return", L"="},
    {L"开始", L"1", L"Start", L"1"},
    {L"压分", L"/", L"Bet", L"/"},
    {L"摸牌", L"N", L"Get", L"N"},
    {L"舍牌", L"A - M", L"Take out", L"A - M"},
    {L"换牌", L"A", L"Change", L"A"},
    {L"听牌", L"Shift", L"Reach", L"Shift"},
    {L"吃牌", L"空格键", L"Chi", L"Space"},
    {L"碰牌", L"Alt", L"Pon", L"Alt"},
    {L"杠牌", L"(左) Ctrl", L"Kan", L"(Left) Ctrl"},
    {L"和牌", L"Z", L"Ron", L"Z"},
    {L"暂停游戏", L"P", L"Pause", L"P"},
    {L"退出游戏", L"ESC", L"Exit", L"ESC"},
};

}  // namespace

const MainTexts& MainWindowTexts(bool english) {
  static const MainTexts chinese = MakeMainTexts(false);
  static const MainTexts englishTexts = MakeMainTexts(true);
  return english ? englishTexts : chinese;
}

const OptionTexts& OptionWindowTexts(bool english) {
  static const OptionTexts chinese = MakeOptionTexts(false);
  static const OptionTexts englishTexts = MakeOptionTexts(true);
  return english ? englishTexts : chinese;
}

std::vector<std::wstring> KeyBindingRows(bool english) {
  std::vector<std::wstring> rows;
  rows.reserve(1 + std::size(kKeyRows));
  rows.emplace_back();
  for (const KeyRow& r : kKeyRows) {
    std::wstring row(L"\t");
    row.append(english ? r.englishAction : r.chineseAction);
    row.push_back(L'\t');
    row.append(english ? r.englishKey : r.chineseKey);
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace core
