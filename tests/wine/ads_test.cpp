// The ad strip of the main window on real windows and files: loading the
// cached list from Sup, the two slots, the picture panel, the rotation, the
// worker messages and which links may be opened.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "Application.h"
#include "LoopbackServer.h"
#include "Messages.h"
#include "ShellOpen.h"
#include "Text.h"
#include "UnitPlay.h"
#include "UpgraderThread.h"

namespace {

using qvtest::LoopbackServer;

constexpr DWORD kWorkerTimeoutMs = 30000;
constexpr UINT kNoTickMs = 3600000;  // keeps the rotation from ticking on its own mid-test

// GBK bytes of a few Chinese texts (the system code page of these runs is 936).
const std::string kGbkLanfu = "\xe1\xb0\xca\xe0";           // 岚枢
const std::string kGbkGuanggao = "\xb9\xe3\xb8\xe6";        // 广告
const std::string kGbkMajiang = "\xc2\xe9\xbd\xab";         // 麻将
const std::string kGbkDianji = "\xb5\xe3\xbb\xf7\xd5\xe2\xc0\xef";  // 点击这里

std::wstring ExeDir() {
  wchar_t path[MAX_PATH];
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

std::wstring SupDir() { return ExeDir() + L"Sup\\"; }
std::wstring CachePath() { return SupDir() + L"Ad.his"; }

std::string Utf8(const std::wstring& text) { return win::ToUtf8(text); }

std::wstring FullPath(const std::wstring& relative) {
  wchar_t full[MAX_PATH];
  const DWORD n = ::GetFullPathNameW(relative.c_str(), MAX_PATH, full, nullptr);
  return std::wstring(full, n < MAX_PATH ? n : 0);
}

bool IsFile(const std::wstring& path) {
  const DWORD attr = ::GetFileAttributesW(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::wstring& path) {
  const DWORD attr = ::GetFileAttributesW(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

// `folder` ends in '\'; removes it with everything inside.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  const HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + name + L"\\");
      } else {
        ::SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW((folder + name).c_str());
      }
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
  }
  ::RemoveDirectoryW(folder.c_str());
}

// Names of what `folder` holds, sub-folders with a final '\', recursively.
std::vector<std::string> ListTree(const std::wstring& folder, const std::string& prefix = "") {
  std::vector<std::string> found;
  WIN32_FIND_DATAW entry;
  const HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      found.push_back(prefix + Utf8(name) + "\\");
      for (std::string& inner : ListTree(folder + name + L"\\", prefix + Utf8(name) + "\\"))
        found.push_back(std::move(inner));
    } else {
      found.push_back(prefix + Utf8(name));
    }
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
  return found;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << Utf8(path);
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
  ASSERT_EQ(written, bytes.size()) << Utf8(path);
}

// A w x h 24-bit BMP file, drawn with GDI into a DIB section.
std::string BmpFile(int w, int h) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return {};
  const HDC dc = ::CreateCompatibleDC(nullptr);
  const HGDIOBJ old = ::SelectObject(dc, bitmap);
  const HBRUSH brush = ::CreateSolidBrush(RGB(200, 40, 40));
  RECT all{0, 0, w, h};
  ::FillRect(dc, &all, brush);
  ::GdiFlush();
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  const DWORD imageSize = stride * static_cast<DWORD>(h);
  info.bmiHeader.biSizeImage = imageSize;
  BITMAPFILEHEADER head{};
  head.bfType = 0x4D42;  // "BM"
  head.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  head.bfSize = head.bfOffBits + imageSize;
  std::string file(reinterpret_cast<const char*>(&head), sizeof(head));
  file.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
  file.append(static_cast<const char*>(bits), imageSize);
  ::SelectObject(dc, old);
  ::DeleteObject(brush);
  ::DeleteDC(dc);
  ::DeleteObject(bitmap);
  return file;
}

// One entry of a cached list; `second` is the text, or "file|address" for kind 2.
struct Ad {
  std::string kind;
  std::string second;
  std::string hint;
  std::string link;
};

Ad LinkText(std::string text, std::string hint = "", std::string link = "") {
  return {"1", std::move(text), std::move(hint), std::move(link)};
}
Ad PlainText(std::string text, std::string hint = "") { return {"3", std::move(text), std::move(hint), ""}; }
Ad Picture(std::string file, std::string link = "", std::string hint = "",
           std::string url = "http://127.0.0.1:1/x.bmp") {
  return {"2", file + "|" + url, std::move(hint), std::move(link)};
}

std::string CachedList(const std::vector<Ad>& ads) {
  std::string text = "12|3|2024-05-01 10:00:00\r\n";
  for (const Ad& a : ads) text += "*\r\n" + a.kind + "\r\n" + a.second + "\r\n" + a.hint + "\r\n" + a.link + "\r\n";
  return text;
}

struct Box {
  int left, top, width, height;
  bool operator==(const Box&) const = default;
};
Box BoundsOf(const win::Control& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }
std::string Describe(const Box& b) {
  return std::to_string(b.left) + "," + std::to_string(b.top) + " " + std::to_string(b.width) + "x" +
         std::to_string(b.height);
}

// Everything the strip shows, as text, so that "nothing changed" compares whole.
std::string Snapshot(const TFrmPlay& f) {
  auto label = [](const win::Label& l) {
    return std::string(l.Visible() ? "shown" : "hidden") + " '" + Utf8(l.Caption()) + "' hint '" +
           Utf8(l.Hint()) + "' at " + Describe(BoundsOf(l));
  };
  return "link label " + label(f.RzURLLabelAD) + " url '" + Utf8(f.RzURLLabelAD.URL()) + "'\n" +
         "text label " + label(f.LabelAD) + "\n" + "panel " + (f.PanelAD.Visible() ? "shown" : "hidden") +
         " at " + Describe(BoundsOf(f.PanelAD)) + "\n" + "picture " + std::to_string(f.ImageAD.Pic().Width()) +
         "x" + std::to_string(f.ImageAD.Pic().Height()) + " tag " + std::to_string(f.ImageAD.Tag) +
         " hint '" + Utf8(f.ImageAD.Hint()) + "'\n" + "picture link '" + f.ImageAdLink + "'\n" +
         "rotation index " + std::to_string(f.AdIndex) + "\n";
}

struct FailingPicture;

// The main window with its executable's Sup folder, cleaned around every test.
class AdStrip : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    win::App().Initialize();
    // FormCreate insists on an emulator next to the program.
    WriteBytes(ExeDir() + L"mame.exe", "");
  }

  void SetUp() override { RemoveTree(SupDir()); }

  void TearDown() override {
    EXPECT_TRUE(WaitForAllWorkers(kWorkerTimeoutMs)) << "a picture worker was left running";
    Close();
    RemoveTree(SupDir());
    ::DeleteFileW((ExeDir() + L"x.bmp").c_str());
  }

  // Creates the main window (which loads and shows what Sup holds now).
  TFrmPlay& Open() {
    Close();
    form_ = new TFrmPlay;
    form_->Create();
    form_->TimerWeb.SetEnabled(false);  // no list fetch in these tests
    form_->TimerAD.SetInterval(kNoTickMs);
    return *form_;
  }

  void Close() {
    if (!form_) return;
    WaitForAllWorkers(kWorkerTimeoutMs);
    win::App().ProcessMessages();
    form_->Destroy();
    delete form_;
    form_ = nullptr;
  }

  static void WriteList(const std::vector<Ad>& ads) {
    ::CreateDirectoryW(SupDir().c_str(), nullptr);
    WriteBytes(CachePath(), CachedList(ads));
  }
  static void WritePicture(const std::string& name, int w, int h) {
    ::CreateDirectoryW(SupDir().c_str(), nullptr);
    WriteBytes(SupDir() + win::FromAnsi(name), BmpFile(w, h));
  }

  void ExpectOnlyTheLinkTakenOver(const FailingPicture& c);

  TFrmPlay* form_ = nullptr;
};

// ---- loading the cached list -------------------------------------------------

TEST_F(AdStrip, StartsEmptyWithoutAListAndTheRotationRunning) {
  TFrmPlay& f = Open();
  EXPECT_TRUE(IsFolder(SupDir()));
  EXPECT_TRUE(f.AdList.empty());
  EXPECT_FALSE(f.RzURLLabelAD.Visible());
  EXPECT_FALSE(f.LabelAD.Visible());
  EXPECT_FALSE(f.PanelAD.Visible());
  EXPECT_EQ(f.ImageAD.Tag, -1);
  EXPECT_EQ(f.AdIndex, 0);
  EXPECT_EQ(f.ImageAdLink, "");
  EXPECT_EQ(f.ImageAD.Cursor(), win::kCursorHand) << "the picture shows the link label's hand";
  EXPECT_EQ(f.RzURLLabelAD.Cursor(), win::kCursorHand);
  EXPECT_TRUE(f.TimerAD.Enabled());
}

TEST_F(AdStrip, LoadCreatesSupAndEmptiesTheListWhenTheCacheIsGone) {
  WriteList({LinkText("a"), Picture("p.bmp")});
  TFrmPlay& f = Open();
  ASSERT_EQ(f.AdList.size(), 2u);

  struct Case {
    const char* name;
    void (*prepare)();
  };
  const Case cases[] = {
      {"no Sup folder", [] { RemoveTree(SupDir()); }},
      {"no Ad.his", [] { ::DeleteFileW(CachePath().c_str()); }},
      {"Ad.his is a folder",
       [] {
         ::DeleteFileW(CachePath().c_str());
         ::CreateDirectoryW(CachePath().c_str(), nullptr);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteList({LinkText("a")});
    f.LoadAdList();
    ASSERT_EQ(f.AdList.size(), 1u);
    c.prepare();
    f.TimerAD.SetEnabled(false);
    EXPECT_NO_THROW(f.LoadAdList());
    EXPECT_TRUE(f.AdList.empty());
    EXPECT_TRUE(IsFolder(SupDir()));
    EXPECT_TRUE(f.TimerAD.Enabled()) << "restarted even without a list";
    RemoveTree(SupDir());
  }
}

TEST_F(AdStrip, WorkedExampleLoadsTheSameWithEveryLineBreakAndTwice) {
  TFrmPlay& f = Open();
  const std::vector<std::string> lines = {
      "12|3|2024-05-01 10:00:00", "*", "1", "a caption", "a tooltip", "http://example.com/open",
      "*", "2", "pic1.jpg|http://example.com/pic1.jpg", "a tooltip", "http://example.com/click",
      "*", "3", "a caption", "a tooltip", ""};
  for (const char* lineBreak : {"\r\n", "\n", "\r"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(lineBreak)));
    std::string text;
    for (const std::string& line : lines) text += line + lineBreak;
    WriteBytes(CachePath(), text);
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(round == 0 ? "first load" : "second load");
      f.TimerAD.SetEnabled(false);
      f.LoadAdList();
      EXPECT_TRUE(f.TimerAD.Enabled());
      ASSERT_EQ(f.AdList.size(), 3u);
      EXPECT_EQ(f.AdList[0].Kind, 1);
      EXPECT_EQ(f.AdList[0].Text, "a caption");
      EXPECT_EQ(f.AdList[0].Hint, "a tooltip");
      EXPECT_EQ(f.AdList[0].Link, "http://example.com/open");
      EXPECT_EQ(f.AdList[1].Kind, 2);
      EXPECT_EQ(f.AdList[1].ImageFile, "pic1.jpg");
      EXPECT_EQ(f.AdList[1].ImageURL, "http://example.com/pic1.jpg");
      EXPECT_EQ(f.AdList[1].Link, "http://example.com/click");
      EXPECT_EQ(f.AdList[2].Kind, 3);
      EXPECT_EQ(f.AdList[2].Text, "a caption");
      EXPECT_EQ(f.AdList[2].Link, "");
    }
  }
}

TEST_F(AdStrip, UnreadableCacheThrowsNamingItAndLeavesTheListEmpty) {
  WriteList({LinkText("a"), PlainText("b")});
  TFrmPlay& f = Open();
  const std::string shown = Snapshot(f);

  struct Case {
    const char* name;
    void (*call)(TFrmPlay&);
  };
  const Case cases[] = {
      {"LoadAdList", [](TFrmPlay& p) { p.LoadAdList(); }},
      {"WMAdListReady", [](TFrmPlay& p) { p.WMAdListReady(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    f.LoadAdList();
    ASSERT_EQ(f.AdList.size(), 2u);
    // Held without sharing, as another program might hold it.
    const HANDLE held = ::CreateFileW(CachePath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    f.TimerAD.SetEnabled(false);
    try {
      c.call(f);
      ADD_FAILURE() << "no error for a cache that cannot be read";
    } catch (const std::exception& e) {
      EXPECT_NE(std::string(e.what()).find("Ad.his"), std::string::npos) << e.what();
    }
    ::CloseHandle(held);
    EXPECT_TRUE(f.AdList.empty());
    EXPECT_TRUE(f.TimerAD.Enabled()) << "restarted even when the read fails";
    EXPECT_EQ(Snapshot(f), shown) << "the strip keeps what it showed";
  }
}

// ---- the text slot ---------------------------------------------------------

TEST_F(AdStrip, TextEntriesFillTheirLabelDecodedAndRightAligned) {
  ASSERT_EQ(::GetACP(), 936u) << "these runs use the Chinese code page";
  const std::string longText(60, 'W');
  struct Case {
    const char* name;
    Ad ad;
    bool linkLabel;  // kind 1: the link label; kind 3: the plain label
    std::wstring caption, hint, url;
  };
  const Case cases[] = {
      {"GBK link text", LinkText(kGbkLanfu, kGbkGuanggao, "http://example.com/q?a=1|b"), true, L"岚枢",
       L"广告", L"http://example.com/q?a=1|b"},
      {"GBK plain text", PlainText(kGbkMajiang, kGbkDianji), false, L"麻将", L"点击这里", L""},
      {"long link text", LinkText(longText, "h", "http://example.com/"), true,
       std::wstring(longText.begin(), longText.end()), L"h", L"http://example.com/"},
      {"short link text", LinkText("a", "", ""), true, L"a", L"", L""},
      {"long plain text", PlainText(longText), false, std::wstring(longText.begin(), longText.end()), L"", L""},
      {"short plain text", PlainText("b"), false, L"b", L"", L""},
      {"ampersand link text", LinkText("a&b", "x&y"), true, L"a&b", L"x&y", L""},
      {"ampersands plain text", PlainText("a&&b"), false, L"a&&b", L"", L""},
  };
  std::vector<Ad> ads;
  for (const Case& c : cases) ads.push_back(c.ad);
  WriteList(ads);
  TFrmPlay& f = Open();
  ASSERT_EQ(f.AdList.size(), std::size(cases));

  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    f.RzURLLabelAD.Show();
    f.LabelAD.Show();
    const win::Label& shown = c.linkLabel ? static_cast<const win::Label&>(f.RzURLLabelAD) : f.LabelAD;
    const win::Label& other = c.linkLabel ? static_cast<const win::Label&>(f.LabelAD) : f.RzURLLabelAD;
    const std::wstring otherCaption = other.Caption();
    const std::wstring urlBefore = f.RzURLLabelAD.URL();

    f.ShowAd(i);
    EXPECT_TRUE(shown.Visible());
    EXPECT_FALSE(other.Visible());
    EXPECT_EQ(Utf8(shown.Caption()), Utf8(c.caption));
    EXPECT_EQ(Utf8(shown.Hint()), Utf8(c.hint));
    EXPECT_EQ(Utf8(other.Caption()), Utf8(otherCaption)) << "the hidden label keeps its text";
    EXPECT_EQ(Utf8(f.RzURLLabelAD.URL()), Utf8(c.linkLabel ? c.url : urlBefore));
    EXPECT_EQ(shown.Left() + shown.Width(), 658) << "right edge, at " << Describe(BoundsOf(shown));
    EXPECT_EQ(shown.Top(), 46);
    EXPECT_GT(shown.Width(), 0);
    if (c.caption.size() > 20) {
      EXPECT_GT(shown.Width(), 42) << "a long text grows to the left";
    }
  }
}

TEST_F(AdStrip, OtherKindsAndIndexesOutsideTheListChangeNothing) {
  WritePicture("p.bmp", 100, 20);
  WriteList({LinkText("t", "h", "http://example.com/"), Picture("p.bmp", "L"), {"0", "zero", "h0", "l0"},
             {"4", "four", "h4", "l4"}, {"-1", "minus", "", ""}, {"2 ", "p.bmp|http://127.0.0.1:1/p.bmp", "", "x"},
             {"", "", "", ""}});
  TFrmPlay& f = Open();
  ASSERT_EQ(f.AdList.size(), 7u);
  ASSERT_EQ(f.ImageAD.Tag, 1);
  const std::string before = Snapshot(f);
  for (const int index : {2, 3, 4, 5, 6, -1, 7, INT32_MAX, INT32_MIN}) {
    SCOPED_TRACE(index);
    f.ShowAd(index);
    EXPECT_EQ(Snapshot(f), before);
  }
}

// ---- the picture slot ------------------------------------------------------

TEST_F(AdStrip, PanelFitsEachPictureSizeAtTheRightEdge) {
  struct Case {
    const char* file;
    int w, h;
    Box panel;
  };
  const Case cases[] = {
      {"p0.bmp", 168, 46, {490, 63, 170, 48}},
      {"p1.bmp", 300, 60, {490, 63, 170, 48}},
      {"p2.bmp", 100, 20, {558, 76, 102, 22}},
      {"p3.Bmp", 10, 11, {648, 80, 12, 13}},
      {"p4.BMP", 169, 47, {490, 63, 170, 48}},
  };
  std::vector<Ad> ads;
  for (const Case& c : cases) {
    WritePicture(c.file, c.w, c.h);
    ads.push_back(Picture(c.file, std::string("http://example.com/") + c.file, std::string("hint ") + c.file));
  }
  WriteList(ads);
  TFrmPlay& f = Open();
  ASSERT_EQ(f.AdList.size(), std::size(cases));

  // Start-up shows the first picture; then each in turn.
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.file);
    if (i > 0) f.ShowAd(i);
    EXPECT_EQ(f.ImageAD.Tag, i);
    EXPECT_TRUE(f.PanelAD.Visible());
    EXPECT_EQ(Describe(BoundsOf(f.PanelAD)), Describe(c.panel));
    EXPECT_EQ(f.ImageAD.Pic().Width(), c.w);
    EXPECT_EQ(f.ImageAD.Pic().Height(), c.h);
    EXPECT_EQ(Describe(BoundsOf(f.ImageAD)), Describe({1, 1, c.panel.width - 2, c.panel.height - 2}))
        << "the picture fills the panel inside its frame";
    EXPECT_EQ(Utf8(f.ImageAD.Hint()), std::string("hint ") + c.file);
    EXPECT_EQ(f.ImageAdLink, std::string("http://example.com/") + c.file);
  }
}

TEST_F(AdStrip, PictureOnScreenIsNotReadAgain) {
  WritePicture("a.bmp", 100, 20);
  WritePicture("b.bmp", 10, 11);
  WriteList({Picture("a.bmp", "LA", "HA"), Picture("b.bmp", "LB", "HB")});
  TFrmPlay& f = Open();
  ASSERT_EQ(f.ImageAD.Tag, 0);

  WritePicture("a.bmp", 168, 46);  // a read would now give another size
  const std::string before = Snapshot(f);
  f.ShowAd(0);
  EXPECT_EQ(Snapshot(f), before);

  f.ShowAd(1);
  f.ShowAd(0);
  EXPECT_EQ(f.ImageAD.Pic().Width(), 168) << "another index on screen: read afresh";
  EXPECT_EQ(Describe(BoundsOf(f.PanelAD)), Describe({490, 63, 170, 48}));
}

struct FailingPicture {
  const char* name;
  const char* file;
  std::string bytes;
  bool holdOpen = false;
};

// Shown over nothing and over a picture, twice each: only the link changes.
void AdStrip::ExpectOnlyTheLinkTakenOver(const FailingPicture& c) {
  for (const bool anythingShown : {true, false}) {
    SCOPED_TRACE(std::string(c.name) + (anythingShown ? ", over a picture" : ", first picture"));
    RemoveTree(SupDir());
    TFrmPlay& f = Open();  // nothing to show yet
    WritePicture("good.bmp", 10, 11);
    WriteBytes(SupDir() + win::FromAnsi(c.file), c.bytes);
    WriteList({Picture(c.file, std::string("L ") + c.name, "H bad"), Picture("good.bmp", "LG", "HG")});
    f.LoadAdList();
    if (anythingShown) {
      f.ShowAd(1);
      ASSERT_EQ(f.ImageAD.Tag, 1);
    }
    const HANDLE held = c.holdOpen ? ::CreateFileW((SupDir() + win::FromAnsi(c.file)).c_str(), GENERIC_WRITE, 0,
                                                   nullptr, OPEN_EXISTING, 0, nullptr)
                                   : INVALID_HANDLE_VALUE;
    if (c.holdOpen) {
      ASSERT_NE(held, INVALID_HANDLE_VALUE);
    }
    f.ImageAdLink = "before";
    std::string want = Snapshot(f);
    want.replace(want.find("picture link 'before'"), 21, std::string("picture link 'L ") + c.name + "'");
    for (int turn = 0; turn < 2; ++turn) {
      f.ShowAd(0);
      EXPECT_EQ(Snapshot(f), want) << "turn " << turn;
    }
    if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
    EXPECT_TRUE(IsFile(SupDir() + win::FromAnsi(c.file))) << "a present file is never fetched again";
    Close();
  }
}

TEST_F(AdStrip, PictureThatFailsToLoadOnlyTakesOverTheLink) {
  const std::string good = BmpFile(100, 20);
  const FailingPicture cases[] = {
      {"no reader for .png", "x.png", good},
      {"not a picture", "junk.bmp", "this is not a picture at all"},
      {"empty file", "empty.bmp", ""},
      {"held by another opener", "held.bmp", good, true},
  };
  for (const FailingPicture& c : cases) ExpectOnlyTheLinkTakenOver(c);
}

TEST_F(AdStrip, TruncatedBitmapFailsToLoad) {
  // OleLoadPicture (under Wine) decodes a cut-off .bmp anyway, so the loader
  // checks the bitmap's length itself.
  const std::string good = BmpFile(100, 20);
  const FailingPicture cases[] = {
      {"cut inside the header", "short.bmp", good.substr(0, 20)},
      {"headers only", "head.bmp", good.substr(0, 54)},
      {"half the pixels", "half.bmp", good.substr(0, good.size() / 2)},
  };
  for (const FailingPicture& c : cases) ExpectOnlyTheLinkTakenOver(c);
}

TEST_F(AdStrip, MissingPictureMarksTheSlotAndFetchesEachTime) {
  LoopbackServer server;
  WritePicture("good.bmp", 100, 20);
  const std::string url = Utf8(server.Url("/gone.bmp"));
  WriteList({Picture("good.bmp", "LG", "HG"), Picture("gone.bmp", "LX", "HX", url),
             Picture("refused.bmp", "LR", "HR", "http://127.0.0.1:1/x.bmp")});
  TFrmPlay& f = Open();
  ASSERT_EQ(f.ImageAD.Tag, 0);
  std::string want = Snapshot(f);
  want.replace(want.find(" tag 0 "), 7, " tag -1 ");

  for (int turn = 1; turn <= 2; ++turn) {
    SCOPED_TRACE(turn);
    f.ShowAd(1);
    EXPECT_EQ(Snapshot(f), want) << "only the marker changes until the picture arrives";
    ASSERT_TRUE(WaitForAllWorkers(kWorkerTimeoutMs));
    EXPECT_EQ(server.Requests().size(), static_cast<size_t>(turn)) << "one fetch per showing";
    EXPECT_FALSE(IsFile(SupDir() + L"gone.bmp")) << "a failed fetch leaves no file";
  }
  ASSERT_FALSE(server.Requests().empty());
  EXPECT_EQ(server.Requests()[0].path, "/gone.bmp");

  f.ShowAd(2);
  EXPECT_EQ(Snapshot(f), want);
  ASSERT_TRUE(WaitForAllWorkers(kWorkerTimeoutMs));
  EXPECT_FALSE(IsFile(SupDir() + L"refused.bmp"));
  win::App().ProcessMessages();
  EXPECT_EQ(Snapshot(f), want) << "a failed fetch reports nothing";
}

TEST_F(AdStrip, FetchedPictureIsShownWhenItArrives) {
  LoopbackServer server;
  server.Serve("/new.bmp", {"HTTP/1.1 200 OK", {"Content-Type: image/bmp"}, BmpFile(100, 20)});
  WriteList({LinkText("t"), Picture("new.bmp", "LN", "HN", Utf8(server.Url("/new.bmp")))});
  TFrmPlay& f = Open();  // shows entry 1: missing, so it is fetched
  EXPECT_EQ(f.ImageAD.Tag, -1);
  EXPECT_FALSE(f.PanelAD.Visible());

  ASSERT_TRUE(WaitForAllWorkers(kWorkerTimeoutMs));
  EXPECT_TRUE(IsFile(SupDir() + L"new.bmp"));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (f.ImageAD.Tag != 1 && std::chrono::steady_clock::now() < deadline) {
    win::App().ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(f.ImageAD.Tag, 1);
  EXPECT_TRUE(f.PanelAD.Visible());
  EXPECT_EQ(Describe(BoundsOf(f.PanelAD)), Describe({558, 76, 102, 22}));
  EXPECT_EQ(f.ImageAdLink, "LN");
  EXPECT_EQ(Utf8(f.ImageAD.Hint()), "HN");
}

TEST_F(AdStrip, FileNameThatLeavesSupIsNeitherReadNorFetched) {
  LoopbackServer server;
  server.Serve("/unsafe.bmp", {"HTTP/1.1 200 OK", {}, BmpFile(10, 11)});
  const std::string url = Utf8(server.Url("/unsafe.bmp"));
  // Real pictures where the names would lead, so that a read would show.
  WriteBytes(ExeDir() + L"x.bmp", BmpFile(10, 11));
  WritePicture("good.bmp", 100, 20);
  ::CreateDirectoryW((SupDir() + L"a").c_str(), nullptr);
  WriteBytes(SupDir() + L"a\\b.bmp", BmpFile(10, 11));

  const char* names[] = {"..\\x.bmp", "a/b.bmp", "a\\b.bmp", "C:x.bmp", ""};
  std::vector<Ad> ads = {Picture("good.bmp", "LG", "HG")};
  for (const char* name : names) ads.push_back(Picture(name, std::string("link of ") + name, "H", url));
  WriteList(ads);
  TFrmPlay& f = Open();
  ASSERT_EQ(f.ImageAD.Tag, 0);
  const std::vector<std::string> supBefore = ListTree(SupDir());

  for (int i = 1; i <= static_cast<int>(std::size(names)); ++i) {
    SCOPED_TRACE(testing::PrintToString(std::string(names[i - 1])));
    f.ImageAdLink = "before";
    std::string want = Snapshot(f);
    want.replace(want.find("picture link 'before'"), 21, std::string("picture link 'link of ") + names[i - 1] + "'");
    f.ShowAd(i);
    EXPECT_EQ(Snapshot(f), want);
    ASSERT_TRUE(WaitForAllWorkers(kWorkerTimeoutMs));
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(ListTree(SupDir()), supBefore);
    EXPECT_TRUE(IsFile(ExeDir() + L"x.bmp"));
    EXPECT_FALSE(IsFile(FullPath(L"C:x.bmp")));
  }
}

// ---- rotation --------------------------------------------------------------

TEST_F(AdStrip, RotationVisitsEveryIndexAndWraps) {
  struct Case {
    const char* name;
    std::vector<Ad> ads;
    std::vector<int> indexes;  // AdIndex after each tick
  };
  const Case cases[] = {
      {"link, picture, text", {LinkText("a"), Picture("p.bmp"), PlainText("c")}, {1, 2, 0, 1, 2, 0}},
      {"empty", {}, {0, 0, 0}},
      {"one picture", {Picture("p.bmp")}, {0, 0, 0}},
      {"one text", {PlainText("c")}, {0, 0}},
      {"kinds never shown count too", {{"0", "", "", ""}, {"7", "", "", ""}, LinkText("a")}, {1, 2, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveTree(SupDir());
    WritePicture("p.bmp", 10, 11);
    WriteList(c.ads);
    TFrmPlay& f = Open();
    ASSERT_EQ(f.AdIndex, 0);
    std::vector<int> seen;
    for (size_t t = 0; t < c.indexes.size(); ++t) {
      f.TimerADTimer();
      seen.push_back(f.AdIndex);
    }
    EXPECT_EQ(seen, c.indexes);
    if (c.ads.empty()) {
      EXPECT_FALSE(f.RzURLLabelAD.Visible());
      EXPECT_FALSE(f.LabelAD.Visible());
      EXPECT_FALSE(f.PanelAD.Visible());
    }
    Close();
  }
}

TEST_F(AdStrip, RotationRefreshesOnlyTheSlotOfEachEntry) {
  WritePicture("p.bmp", 100, 20);
  WriteList({LinkText("first", "h1", "http://example.com/1"), Picture("p.bmp", "LP", "HP"),
             PlainText("third", "h3")});
  TFrmPlay& f = Open();
  // Start-up: the first text entry and the first picture entry.
  EXPECT_TRUE(f.RzURLLabelAD.Visible());
  EXPECT_EQ(Utf8(f.RzURLLabelAD.Caption()), "first");
  EXPECT_FALSE(f.LabelAD.Visible());
  EXPECT_EQ(f.ImageAD.Tag, 1);
  WritePicture("p.bmp", 10, 11);  // a read would now change the panel

  const std::string start = Snapshot(f);
  f.TimerADTimer();  // 1: the picture on screen, not read again
  std::string want = start;
  want.replace(want.find("rotation index 0"), 16, "rotation index 1");
  EXPECT_EQ(Snapshot(f), want);

  f.TimerADTimer();  // 2: the plain text replaces the link text
  EXPECT_EQ(f.AdIndex, 2);
  EXPECT_FALSE(f.RzURLLabelAD.Visible());
  EXPECT_TRUE(f.LabelAD.Visible());
  EXPECT_EQ(Utf8(f.LabelAD.Caption()), "third");
  EXPECT_EQ(Describe(BoundsOf(f.PanelAD)), Describe({558, 76, 102, 22}));

  f.LoadAdList();
  EXPECT_EQ(f.AdIndex, 2) << "a new load does not restart the rotation's place";

  f.TimerADTimer();  // 0: the link text again
  EXPECT_EQ(f.AdIndex, 0);
  EXPECT_TRUE(f.RzURLLabelAD.Visible());
  EXPECT_FALSE(f.LabelAD.Visible());
  f.TimerADTimer();
  EXPECT_EQ(f.AdIndex, 1);
  EXPECT_EQ(f.ImageAD.Pic().Width(), 100) << "still the picture read at start-up";
}

TEST_F(AdStrip, RotationTimerStartsWithTheWindowAtTenSeconds) {
  TFrmPlay& f = *new TFrmPlay;
  form_ = &f;
  EXPECT_EQ(f.TimerAD.Interval(), 10000u);
  EXPECT_FALSE(f.TimerAD.Enabled()) << "disabled until the list is loaded";
  f.Create();
  f.TimerWeb.SetEnabled(false);
  EXPECT_TRUE(f.TimerAD.Enabled());
  EXPECT_EQ(f.TimerAD.Interval(), 10000u);
  f.TimerAD.SetEnabled(false);
}

// ---- messages from the workers -------------------------------------------------

TEST_F(AdStrip, ListReadyWithoutACacheDoesNothing) {
  WriteList({LinkText("a"), PlainText("b")});
  TFrmPlay& f = Open();
  ::DeleteFileW(CachePath().c_str());
  f.TimerAD.SetEnabled(false);
  const std::string before = Snapshot(f);
  ::PostMessageW(f.Handle(), WM_ADLISTREADY, 0, 0);
  win::App().ProcessMessages();
  EXPECT_EQ(f.AdList.size(), 2u);
  EXPECT_FALSE(f.TimerAD.Enabled()) << "nothing was loaded";
  EXPECT_EQ(Snapshot(f), before);
}

TEST_F(AdStrip, ListReadyReloadsAndShowsTheFirstEntriesAgain) {
  WritePicture("p.bmp", 100, 20);
  WriteList({LinkText("old", "", "http://example.com/old"), Picture("p.bmp", "LOLD", "HOLD")});
  TFrmPlay& f = Open();
  ASSERT_EQ(f.ImageAD.Tag, 1);

  // The same index on screen, but a new picture under that name: read again.
  WritePicture("p.bmp", 10, 11);
  WriteList({PlainText("x"), Picture("p.bmp", "LNEW", "HNEW"), PlainText("new")});
  f.TimerAD.SetEnabled(false);
  ::PostMessageW(f.Handle(), WM_ADLISTREADY, 0, 0);
  win::App().ProcessMessages();
  ASSERT_EQ(f.AdList.size(), 3u);
  EXPECT_TRUE(f.TimerAD.Enabled());
  EXPECT_TRUE(f.LabelAD.Visible());
  EXPECT_EQ(Utf8(f.LabelAD.Caption()), "x");
  EXPECT_FALSE(f.RzURLLabelAD.Visible());
  EXPECT_EQ(f.ImageAD.Tag, 1);
  EXPECT_EQ(Describe(BoundsOf(f.PanelAD)), Describe({648, 80, 12, 13}));
  EXPECT_EQ(f.ImageAdLink, "LNEW");
  EXPECT_EQ(Utf8(f.ImageAD.Hint()), "HNEW");

  // Lists without pictures, or without anything, leave the picture and its link.
  struct Case {
    const char* name;
    std::vector<Ad> ads;
    const char* text;  // the plain label afterwards
  };
  const Case cases[] = {{"text only", {PlainText("only text")}, "only text"}, {"no entries", {}, "only text"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteList(c.ads);
    const std::string panel = Describe(BoundsOf(f.PanelAD));
    f.WMAdListReady();
    EXPECT_EQ(f.AdList.size(), c.ads.size());
    EXPECT_EQ(Utf8(f.LabelAD.Caption()), c.text);
    EXPECT_TRUE(f.PanelAD.Visible());
    EXPECT_EQ(Describe(BoundsOf(f.PanelAD)), panel);
    EXPECT_EQ(f.ImageAD.Pic().Width(), 10);
    EXPECT_EQ(f.ImageAD.Tag, -1) << "marked for reading again";
    EXPECT_EQ(f.ImageAdLink, "LNEW");
  }
}

TEST_F(AdStrip, ImageReadyShowsOnlyIndexesInsideTheList) {
  WritePicture("p.bmp", 100, 20);
  WriteList({PlainText("plain"), LinkText("link"), Picture("p.bmp", "L", "H")});
  TFrmPlay& f = Open();
  ASSERT_TRUE(f.LabelAD.Visible());
  const std::string before = Snapshot(f);

  for (const LPARAM index : {LPARAM{-1}, LPARAM{3}, LPARAM{INT32_MAX}, LPARAM{INT32_MIN}}) {
    SCOPED_TRACE(static_cast<long long>(index));
    ::PostMessageW(f.Handle(), WM_ADIMAGEREADY, 0, index);
    win::App().ProcessMessages();
    EXPECT_EQ(Snapshot(f), before);
  }

  ::PostMessageW(f.Handle(), WM_ADIMAGEREADY, 0, 1);  // inside: shown whatever its kind
  win::App().ProcessMessages();
  EXPECT_TRUE(f.RzURLLabelAD.Visible());
  EXPECT_EQ(Utf8(f.RzURLLabelAD.Caption()), "link");
}

TEST_F(AdStrip, ImageReadyIndexBeyond32BitsIsOutsideTheList) {
  // Narrowed before its bounds test, 2^32 + 1 would be taken as index 1.
  if (sizeof(LPARAM) <= 4) GTEST_SKIP() << "LPARAM holds 32 bits here";
  WriteList({PlainText("plain"), LinkText("link")});
  TFrmPlay& f = Open();
  const std::string before = Snapshot(f);
  for (const int64_t index : {(int64_t{1} << 32) + 1, (int64_t{1} << 32), -(int64_t{1} << 32) + 1}) {
    SCOPED_TRACE(static_cast<long long>(index));
    ::PostMessageW(f.Handle(), WM_ADIMAGEREADY, 0, static_cast<LPARAM>(index));
    win::App().ProcessMessages();
    EXPECT_EQ(Snapshot(f), before);
  }
}

// ---- opening links ---------------------------------------------------------

TEST(AdLinks, OnlyWebAddressesAreHandedToTheShell) {
  for (const wchar_t* target : {L"file:///c:/x", L"notepad.exe", L"\\\\server\\share", L"javascript:x", L"",
                                L"   ", L"C:\\windows\\notepad.exe", L"mailto:a@example.com", L"http://",
                                L"http:///x", L"ftp://example.com/"}) {
    SCOPED_TRACE(Utf8(target));
    EXPECT_FALSE(OpenWebAddress(target));
  }
}

}  // namespace
