// The download workers against a loopback server, the folder purge, and the
// stamp of the cached list header.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "LoopbackServer.h"
#include "Messages.h"
#include "UpgraderThread.h"
#include "core/AdList.h"
#include "win/StampText.h"

namespace {

using qvtest::CannedResponse;
using qvtest::LoopbackServer;
using qvtest::RecordedRequest;

constexpr DWORD kWorkerTimeoutMs = 30000;
constexpr char kListPath[] = "/AD/AD005.txt";

// A folder's plain files by name with their bytes; sub-folders as "name\".
using Folder = std::map<std::string, std::string>;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}

Folder ListFolder(const std::wstring& folder) {
  Folder found;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      found[Narrow(name) + "\\"] = "";
    } else {
      found[Narrow(name)] = ReadBytes(folder + name);
    }
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path + L"\\");
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

struct Posted {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Posted&) const = default;
};

void PrintTo(const Posted& posted, std::ostream* out) {
  *out << "{message " << posted.message << ", wParam " << posted.wParam << ", lParam " << posted.lParam << "}";
}

// A fresh Sup folder in the temp directory and a message-only window that
// stands in for the main window.
class WorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int serial = 0;
    root_ = std::wstring(temp) + L"qv-upgrader-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++serial) + L"\\";
    sup_ = root_ + L"Sup\\";
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(sup_.c_str(), nullptr));
    window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }

  void TearDown() override {
    EXPECT_TRUE(WaitForAllWorkers(kWorkerTimeoutMs));
    if (window_ != nullptr) DestroyWindow(window_);
    RemoveTree(root_);
  }

  // Messages the workers posted to the window so far.
  std::vector<Posted> TakePosted() {
    std::vector<Posted> posted;
    MSG msg;
    while (PeekMessageW(&msg, window_, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_ADLISTREADY || msg.message == WM_ADIMAGEREADY) {
        posted.push_back({msg.message, msg.wParam, msg.lParam});
      } else {
        DispatchMessageW(&msg);
      }
    }
    return posted;
  }

  std::wstring root_;
  std::wstring sup_;
  HWND window_ = nullptr;
};

// Bytes a text-mode write or a string copy would change.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

// ---------------------------------------------------------------------------
// List worker

constexpr char kOldCache[] = "7|3|2001/1/1 0:00:00\r\n*\r\n1\r\nold caption\r\n\r\n\r\n";
const Folder kOldFolder = {{"Ad.his", kOldCache}, {"old.jpg", "OLD PICTURE"}};

constexpr char kValidList[] = "12|3|\r\n*\r\n1\r\ncaption\r\ntip\r\nhttp://example.invalid/\r\n$";
constexpr char kValidRest[] = "*\r\n1\r\ncaption\r\ntip\r\nhttp://example.invalid/\r\n";

// A valid list of exactly `size` bytes: one long caption fills it up.
std::string ListOfSize(std::size_t size) {
  const std::string head = "12|3|\r\n*\r\n3\r\n";
  const std::string tail = "\r\n$";
  return head + std::string(size - head.size() - tail.size(), 'c') + tail;
}
std::string RestOfListOfSize(std::size_t size) {
  const std::string list = ListOfSize(size);
  return list.substr(7, list.size() - 7 - 1);  // without header line and "$"
}

enum class Setup { None, TempNameIsFolder, CachedListIsFolder, CachedListReadOnly, Refused };

struct ListCase {
  const char* name = "";
  CannedResponse response = {};
  std::string oldVersion = "7";
  Setup setup = Setup::None;
  // A new list stored: Ad.his alone in Sup, its line 0 this header plus the
  // stamp, then these bytes. Else (null) the folder afterwards is `left`.
  const char* storedHeader = nullptr;
  std::string storedRest = {};
  Folder left = kOldFolder;
};

void PrintTo(const ListCase& c, std::ostream* out) { *out << c.name; }

CannedResponse Ok(std::string body) { return {.body = std::move(body)}; }
CannedResponse Status(const char* statusLine, std::string body, std::vector<std::string> headers = {}) {
  return {.statusLine = statusLine, .headers = std::move(headers), .body = std::move(body)};
}

const ListCase kListCases[] = {
    {.name = "Ok200", .response = Ok(kValidList), .storedHeader = "12|3|", .storedRest = kValidRest},
    {.name = "Accepted202MixedBreaksFinalBreak",
     .response = Status("HTTP/1.1 202 Accepted", "12|3|\n*\r2\rpic.jpg|http://h/p.jpg\ntip\r\n\r\n$\r\n"),
     .storedHeader = "12|3|",
     .storedRest = "*\r\n2\r\npic.jpg|http://h/p.jpg\r\ntip\r\n\r\n"},
    {.name = "HeaderWithoutFinalBar", .response = Ok("12|3\r\n*\r\n$"), .storedHeader = "12|3|", .storedRest = "*\r\n"},
    {.name = "HeaderWithoutInterval", .response = Ok("12|\r\n$"), .storedHeader = "12|", .storedRest = ""},
    {.name = "VersionDiffersInCaseOnly", .response = Ok("v1|3|\r\n$"), .oldVersion = "V1", .storedHeader = "v1|3|"},
    {.name = "EmptyVersionOverCachedOne", .response = Ok("|3|\r\n$"), .storedHeader = "|3|"},
    {.name = "EmptyVersionWithoutCachedOne", .response = Ok("|3|\r\n$"), .oldVersion = ""},
    {.name = "SameVersion", .response = Ok("7|5|\r\n*\r\n1\r\nnew\r\n$")},
    {.name = "NulByteEndsTheText", .response = Ok(Bytes("12|3|\r\n$\r\n\0junk\r\n")), .storedHeader = "12|3|"},
    {.name = "ExactlyTheSizeLimit",
     .response = Ok(ListOfSize(core::kMaxListBytes)),
     .storedHeader = "12|3|",
     .storedRest = RestOfListOfSize(core::kMaxListBytes)},
    {.name = "OverSizeLimitAnnounced", .response = Ok(ListOfSize(core::kMaxListBytes + 1))},
    {.name = "OverSizeLimitUnannounced",
     .response = {.body = ListOfSize(core::kMaxListBytes + 1), .sendContentLength = false}},
    {.name = "ShorterThanAnnounced", .response = {.body = kValidList, .announcedLength = 1000}},
    {.name = "NotFound404", .response = Status("HTTP/1.1 404 Not Found", kValidList)},
    {.name = "ServerError500", .response = Status("HTTP/1.1 500 Internal Server Error", kValidList)},
    {.name = "Redirect301NotFollowed",
     .response = Status("HTTP/1.1 301 Moved Permanently", kValidList, {"Location: /AD/moved.txt"})},
    {.name = "NoEndMarker", .response = Ok("12|3|\r\n*\r\n1\r\ncaption\r\n")},
    {.name = "EndMarkerWithBlank", .response = Ok("12|3|\r\n$ ")},
    {.name = "EmptyLineAfterEndMarker", .response = Ok(std::string(kValidList) + "\r\n\r\n")},
    {.name = "HeaderWithoutBar", .response = Ok("12\r\n*\r\n1\r\ncaption\r\n$")},
    {.name = "EmptyBody", .response = Ok("")},
    {.name = "HangUpWithoutAnswer", .response = {.hangUp = true}},
    {.name = "ConnectionRefused", .response = Ok(kValidList), .setup = Setup::Refused},
    // The purge has run when the store fails: what it deleted stays deleted,
    // but no temporary file and never a partial list is left.
    {.name = "TempNameTakenByFolder",
     .response = Ok(kValidList),
     .setup = Setup::TempNameIsFolder,
     .left = {{"Ad.his.tmp\\", ""}}},
    {.name = "CachedListNameTakenByFolder",
     .response = Ok(kValidList),
     .setup = Setup::CachedListIsFolder,
     .left = {{"Ad.his\\", ""}}},
    // The purge cannot delete a read-only list; it is replaced anyway.
    {.name = "CachedListReadOnly",
     .response = Ok(kValidList),
     .setup = Setup::CachedListReadOnly,
     .storedHeader = "12|3|",
     .storedRest = kValidRest},
};

class ListWorkerTest : public WorkerTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(ListWorkerTest, StoresOnlyACompleteNewList) {
  const ListCase& c = GetParam();
  LoopbackServer server;
  server.Serve(kListPath, c.response);
  server.Serve("/AD/moved.txt", Ok(kValidList));
  for (const auto& [name, bytes] : kOldFolder) WriteBytes(sup_ + Widen(name), bytes);
  const std::wstring fileName = sup_ + L"Ad.his";
  std::wstring url = server.Url(kListPath);
  switch (c.setup) {
    case Setup::None:
      break;
    case Setup::TempNameIsFolder:
      ASSERT_TRUE(CreateDirectoryW((fileName + L".tmp").c_str(), nullptr));
      break;
    case Setup::CachedListIsFolder:
      ASSERT_TRUE(DeleteFileW(fileName.c_str()));
      ASSERT_TRUE(CreateDirectoryW(fileName.c_str(), nullptr));
      break;
    case Setup::CachedListReadOnly:
      ASSERT_TRUE(SetFileAttributesW(fileName.c_str(), FILE_ATTRIBUTE_READONLY));
      break;
    case Setup::Refused:
      url = L"http://127.0.0.1:" + std::to_wstring(LoopbackServer::UnusedPort()) + Widen(kListPath);
      break;
  }

  const std::int64_t before = win::NowLocalSeconds();
  new TADThread(false, window_, c.oldVersion, url, fileName);
  ASSERT_TRUE(WaitForAllWorkers(kWorkerTimeoutMs));
  const std::int64_t after = win::NowLocalSeconds();

  const Folder folder = ListFolder(sup_);
  if (c.storedHeader != nullptr) {
    ASSERT_EQ(folder.size(), 1u) << "old files purged, no temporary file left";
    ASSERT_TRUE(folder.contains("Ad.his"));
    const std::string& stored = folder.at("Ad.his");
    const std::string header = c.storedHeader;
    const std::size_t lineEnd = stored.find("\r\n");
    ASSERT_NE(lineEnd, std::string::npos);
    ASSERT_EQ(stored.substr(0, header.size()), header);
    const std::string stamp = stored.substr(header.size(), lineEnd - header.size());
    const std::optional<std::int64_t> stampSeconds = win::ReadStampSeconds(stamp);
    ASSERT_TRUE(stampSeconds.has_value()) << "stamp '" << stamp << "'";
    EXPECT_GE(*stampSeconds, before);
    EXPECT_LE(*stampSeconds, after);
    EXPECT_EQ(stored.substr(lineEnd + 2), c.storedRest);
    EXPECT_EQ(TakePosted(), (std::vector<Posted>{{WM_ADLISTREADY, 0, 0}}));
  } else {
    EXPECT_EQ(folder, c.left);
    EXPECT_EQ(TakePosted(), std::vector<Posted>{});
  }
  if (c.setup != Setup::Refused) {
    const std::vector<RecordedRequest> requests = server.Requests();
    EXPECT_FALSE(requests.empty());
    for (const RecordedRequest& request : requests) {
      EXPECT_EQ(request, (RecordedRequest{"GET", kListPath})) << "a redirection is never followed";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, ListWorkerTest, ::testing::ValuesIn(kListCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkerTest, ProgramEndDoesNotWaitForAListDownload) {
  EXPECT_TRUE(WaitForListWorkerToSettle(0)) << "no list worker at all";
  LoopbackServer server;
  CannedResponse held = Ok(kValidList);
  held.holdBody = true;
  server.Serve(kListPath, held);
  new TADThread(false, window_, "7", server.Url(kListPath), sup_ + L"Ad.his");
  ASSERT_TRUE(server.WaitForRequests(1, kWorkerTimeoutMs));
  EXPECT_TRUE(WaitForListWorkerToSettle(0)) << "downloading is not purging or writing";
  EXPECT_FALSE(WaitForAllWorkers(0));
  server.ReleaseHeld();
  ASSERT_TRUE(WaitForAllWorkers(kWorkerTimeoutMs));
  EXPECT_TRUE(WaitForListWorkerToSettle(0));
  EXPECT_EQ(TakePosted(), (std::vector<Posted>{{WM_ADLISTREADY, 0, 0}}));
}

// ---------------------------------------------------------------------------
// Picture worker

const std::string kPicture = Bytes("GIF89a\0\r\n\x1a\n\xff\xfe\r\rtail");
constexpr char kPicturePath[] = "/pics/p.gif";
constexpr std::int32_t kEntryIndex = 5;

struct PictureCase {
  const char* name = "";
  CannedResponse response = {};
  // "{port}" stands for the server's port, "{refused}" for one nobody serves.
  std::wstring url = L"http://127.0.0.1:{port}/pics/p.gif";
  bool oldFilePresent = false;
  bool stored = false;
};

void PrintTo(const PictureCase& c, std::ostream* out) { *out << c.name; }

const PictureCase kPictureCases[] = {
    {.name = "Ok", .response = Ok(kPicture), .stored = true},
    {.name = "OkReplacingOldFile", .response = Ok(kPicture), .oldFilePresent = true, .stored = true},
    {.name = "UnannouncedLength", .response = {.body = kPicture, .sendContentLength = false}, .stored = true},
    {.name = "NotFound404", .response = Status("HTTP/1.1 404 Not Found", kPicture)},
    {.name = "NotFound404OldFileGone", .response = Status("HTTP/1.1 404 Not Found", kPicture), .oldFilePresent = true},
    {.name = "Redirect302NotFollowed",
     .response = Status("HTTP/1.1 302 Found", kPicture, {"Location: /pics/moved.gif"})},
    {.name = "HangUpWithoutAnswer", .response = {.hangUp = true}},
    {.name = "ShorterThanAnnounced", .response = {.body = kPicture, .announcedLength = 1000}},
    {.name = "OverSizeLimitAnnounced", .response = {.fillerBytes = core::kMaxPictureBytes + 1}},
    {.name = "OverSizeLimitUnannounced",
     .response = {.fillerBytes = core::kMaxPictureBytes + 1, .sendContentLength = false}},
    {.name = "ConnectionRefused", .response = Ok(kPicture), .url = L"http://127.0.0.1:{refused}/pics/p.gif"},
    {.name = "FtpAddress", .response = Ok(kPicture), .url = L"ftp://127.0.0.1:{port}/pics/p.gif"},
    {.name = "FileAddress", .response = Ok(kPicture), .url = L"file:///C:/windows/win.ini"},
    {.name = "NoScheme", .response = Ok(kPicture), .url = L"127.0.0.1:{port}/pics/p.gif"},
    {.name = "EmptyAddress", .response = Ok(kPicture), .url = L""},
};

class PictureWorkerTest : public WorkerTest, public ::testing::WithParamInterface<PictureCase> {};

std::wstring Replace(std::wstring text, const std::wstring& what, const std::wstring& with) {
  if (const auto at = text.find(what); at != std::wstring::npos) text.replace(at, what.size(), with);
  return text;
}

TEST_P(PictureWorkerTest, LeavesACompletePictureOrNothing) {
  const PictureCase& c = GetParam();
  LoopbackServer server;
  server.Serve(kPicturePath, c.response);
  server.Serve("/pics/moved.gif", Ok(kPicture));
  const std::wstring fileName = sup_ + L"p.gif";
  if (c.oldFilePresent) WriteBytes(fileName, "OLD PICTURE");
  std::wstring url = Replace(c.url, L"{port}", std::to_wstring(server.Port()));
  url = Replace(url, L"{refused}", std::to_wstring(LoopbackServer::UnusedPort()));

  new TGetPicThread(false, window_, url, fileName, kEntryIndex);
  ASSERT_TRUE(WaitForAllWorkers(kWorkerTimeoutMs));

  if (c.stored) {
    EXPECT_EQ(ListFolder(sup_), (Folder{{"p.gif", kPicture}}));
    EXPECT_EQ(TakePosted(), (std::vector<Posted>{{WM_ADIMAGEREADY, 0, kEntryIndex}}));
  } else {
    EXPECT_EQ(ListFolder(sup_), Folder{});
    EXPECT_EQ(TakePosted(), std::vector<Posted>{});
  }
  for (const RecordedRequest& request : server.Requests()) {
    EXPECT_EQ(request, (RecordedRequest{"GET", kPicturePath})) << "only web addresses, no redirections";
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, PictureWorkerTest, ::testing::ValuesIn(kPictureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkerTest, SecondPictureWorkerForTheSameFileEndsSilently) {
  LoopbackServer server;
  CannedResponse held = Ok(kPicture);
  held.holdBody = true;
  server.Serve(kPicturePath, held);
  const std::wstring fileName = sup_ + L"p.gif";

  new TGetPicThread(false, window_, server.Url(kPicturePath), fileName, 1);
  // Once its request is in, the first worker holds the file exclusively.
  ASSERT_TRUE(server.WaitForRequests(1, kWorkerTimeoutMs));
  new TGetPicThread(false, window_, server.Url(kPicturePath), fileName, 2);
  ASSERT_TRUE(win::Thread::WaitUntilRunningAtMost(1, kWorkerTimeoutMs)) << "the second worker ends on its own";
  server.ReleaseHeld();
  ASSERT_TRUE(WaitForAllWorkers(kWorkerTimeoutMs));

  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(ListFolder(sup_), (Folder{{"p.gif", kPicture}}));
  EXPECT_EQ(TakePosted(), (std::vector<Posted>{{WM_ADIMAGEREADY, 0, 1}}));
}

// ---------------------------------------------------------------------------
// PurgeFolder

class PurgeFolderTest : public WorkerTest, public ::testing::WithParamInterface<bool> {};

// Read-only files survive: DeleteFileW refuses them and the purge ignores the
// failure. Hidden and system files go; sub-folders and their files stay.
// (Files with attribute bits beyond the classic six are skipped too, but Wine
// reports every plain file as archive, so that rule is not visible here.)
TEST_P(PurgeFolderTest, DeletesPlainFilesOnly) {
  const bool trailingBackslash = GetParam();
  const struct {
    const char* name;
    DWORD attributes;
  } files[] = {
      {"plain.txt", 0},  // as created
      {"Ad.his.tmp", FILE_ATTRIBUTE_ARCHIVE},
      {"hidden.jpg", FILE_ATTRIBUTE_HIDDEN},
      {"system.bin", FILE_ATTRIBUTE_SYSTEM},
      {"both.dat", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
      {"readonly.txt", FILE_ATTRIBUTE_READONLY},
  };
  for (const auto& file : files) {
    const std::wstring path = sup_ + Widen(file.name);
    WriteBytes(path, file.name);
    if (file.attributes != 0) {
      ASSERT_TRUE(SetFileAttributesW(path.c_str(), file.attributes)) << file.name;
    }
  }
  ASSERT_TRUE(CreateDirectoryW((sup_ + L"keep").c_str(), nullptr));
  WriteBytes(sup_ + L"keep\\inner.txt", "inner");

  PurgeFolder(trailingBackslash ? sup_ : sup_.substr(0, sup_.size() - 1));

  EXPECT_EQ(ListFolder(sup_), (Folder{{"keep\\", ""}, {"readonly.txt", "readonly.txt"}}));
  EXPECT_EQ(ListFolder(sup_ + L"keep\\"), (Folder{{"inner.txt", "inner"}}));
}

INSTANTIATE_TEST_SUITE_P(FolderSpelling, PurgeFolderTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "WithBackslash" : "WithoutBackslash"; });

TEST_F(WorkerTest, PurgeOfAMissingFolderDoesNothing) {
  WriteBytes(sup_ + L"plain.txt", "x");
  PurgeFolder(sup_ + L"missing\\");
  EXPECT_EQ(ListFolder(sup_), (Folder{{"plain.txt", "x"}}));
}

// ---------------------------------------------------------------------------
// Stamp text

TEST(StampText, NowReadsBackToTheSecond) {
  const std::int64_t before = win::NowLocalSeconds();
  const std::string stamp = win::FormatStampNow();
  const std::int64_t after = win::NowLocalSeconds();
  const std::optional<std::int64_t> read = win::ReadStampSeconds(stamp);
  ASSERT_TRUE(read.has_value()) << "stamp '" << stamp << "'";
  EXPECT_GE(*read, before);
  EXPECT_LE(*read, after);
}

TEST(StampText, MomentsReadBackExactly) {
  const SYSTEMTIME moments[] = {
      // year, month, day of week (unused), day, hour, minute, second, ms
      {2024, 1, 0, 5, 0, 0, 0, 0},        // midnight, one-digit month and day
      {2024, 1, 0, 5, 12, 0, 0, 0},       // noon
      {2024, 1, 0, 5, 12, 30, 45, 0},     // after noon, before one
      {2024, 1, 0, 5, 0, 59, 59, 0},      // after midnight, before one
      {2028, 2, 0, 29, 13, 7, 9, 0},      // leap day
      {2029, 12, 0, 31, 23, 59, 59, 999}, // milliseconds are not kept
      {2000, 10, 0, 10, 9, 9, 9, 0},
  };
  for (const SYSTEMTIME& moment : moments) {
    const std::string stamp = win::FormatStamp(moment);
    EXPECT_EQ(win::ReadStampSeconds(stamp), win::LocalSeconds(moment)) << "stamp '" << stamp << "'";
  }
}

TEST(StampText, UnreadableTextIsNoStamp) {
  const char* const texts[] = {"", " ", "not a date", "||", "\x01\x02", "12:99:99 99/99/99"};
  for (const char* text : texts) {
    EXPECT_EQ(win::ReadStampSeconds(text), std::nullopt) << "text '" << text << "'";
  }
}

TEST(StampText, ScaleCountsPlainSeconds) {
  const SYSTEMTIME start{2024, 2, 0, 28, 22, 0, 0, 0};
  const SYSTEMTIME later{2024, 3, 0, 1, 21, 0, 1, 0};
  EXPECT_EQ(win::LocalSeconds(later) - win::LocalSeconds(start), 2 * 86400 - 3600 + 1);
}

}  // namespace
