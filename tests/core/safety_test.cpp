// Checks on what the untrusted ad list names: links, picture file names, the
// picture readers, the .HTM fallback's extension, blank targets.
#include "Safety.h"

#include <gtest/gtest.h>

namespace core {
namespace {

TEST(IsWebAddress, AcceptsHttpAndHttpsInAnyCase) {
  for (const wchar_t* a : {L"http://a", L"https://www.example.com/x?y=1#z", L"HTTP://EXAMPLE.COM",
                           L"HtTpS://127.0.0.1:8080/AD/AD005.txt", L"http://[::1]:80/",
                           L"https://例子.测试/页", L"http://xn--fsqu00a.xn--0zwm56d/",
                           L"http://a.b/c d"})
    EXPECT_TRUE(IsWebAddress(a)) << ::testing::PrintToString(std::wstring(a));
}

TEST(IsWebAddress, RejectsEverythingElse) {
  for (const wchar_t* a :
       {L"", L"http://", L"https://", L"http:/x", L"http:x", L"http//x", L"ftp://x", L"file:///C:/x",
        L"file://server/share", L"javascript:alert(1)", L"mailto:a@b", L" http://x", L"httpx://a",
        L"http:///x", L"http://?x", L"http://#x", L"http://:80/", L"http://\\x", L"http://@x",
        L"C:\\evil.exe", L"\\\\server\\share\\x.exe", L"evil.exe", L"http://x\ny", L"http://x\ty",
        L"http://x\x7f", L"http:// x", L"res://x", L"shell:startup", L"ms-settings:"})
    EXPECT_FALSE(IsWebAddress(a)) << ::testing::PrintToString(std::wstring(a));
}

TEST(IsBareFileName, AcceptsPlainNames) {
  for (const wchar_t* n : {L"pic1.jpg", L"a b.gif", L"岚枢.jpg", L"ünïcode.BMP", L".hidden", L"..a",
                           L"a..b.jpg", L"CONSOLE.jpg", L"COM10.jpg", L"nul_.jpg", L"x", L"con-tact.gif",
                           L"LPT.gif", L"a$b.jpg", L"~1.jpg", L"(1).jpeg", L" lead.jpg"})
    EXPECT_TRUE(IsBareFileName(n)) << ::testing::PrintToString(std::wstring(n));
}

TEST(IsBareFileName, RejectsNamesThatLeaveTheFolder) {
  for (const wchar_t* n :
       {L"", L".", L"..", L"../x.jpg", L"..\\x.jpg", L"..\\..\\launcher.exe", L"a/b", L"a\\b",
        L"/x.jpg", L"\\x.jpg", L"c:x", L"C:\\x.jpg", L"x.jpg:evil", L"x.jpg::$DATA",
        L"\\\\server\\share\\x.jpg"})
    EXPECT_FALSE(IsBareFileName(n)) << ::testing::PrintToString(std::wstring(n));
}

TEST(IsBareFileName, RejectsReservedDeviceNames) {
  for (const wchar_t* n : {L"CON", L"con", L"Con.jpg", L"PRN", L"AUX.gif", L"NUL", L"nul.jpg",
                           L"NUL.tar.gz", L"COM1", L"com9.bmp", L"COM0", L"LPT1", L"lpt9.gif",
                           L"AUX .jpg", L"CONIN$", L"conout$.txt", L"COM\u00B9.jpg", L"LPT\u00B3"})
    EXPECT_FALSE(IsBareFileName(n)) << ::testing::PrintToString(std::wstring(n));
}

TEST(IsBareFileName, RejectsBadCharactersAndTrailingDotOrBlank) {
  for (const wchar_t* n : {L"x.jpg.", L"x.jpg ", L"x. ", L"a*b", L"a?b", L"a\"b", L"a<b", L"a>b",
                           L"a|b", L"a\tb", L"a\x01" L"b", L"a\rb", L"a\nb", L"a\x7f" L"b", L"...",
                           L" "})
    EXPECT_FALSE(IsBareFileName(n)) << ::testing::PrintToString(std::wstring(n));
  const std::wstring withNul(L"a\0b.jpg", 7);
  EXPECT_FALSE(IsBareFileName(withNul));
}

TEST(HasPictureReader, TheSevenExtensionsInAnyCase) {
  for (const wchar_t* n : {L"a.bmp", L"A.BMP", L"x.ico", L"x.emf", L"x.WMF", L"x.jpg", L"X.Jpg",
                           L"x.jpeg", L"x.JPEG", L"x.gif", L"x.GiF", L"岚.jpg", L".jpg", L"a.b.gif"})
    EXPECT_TRUE(HasPictureReader(n)) << ::testing::PrintToString(std::wstring(n));
  for (const wchar_t* n : {L"x.png", L"x.jpe", L"x.tif", L"bmp", L"x.", L"", L"x.jpg.exe",
                           L"x.bmp\\y", L"x.gif ", L"x.jpgx", L"x.svg"})
    EXPECT_FALSE(HasPictureReader(n)) << ::testing::PrintToString(std::wstring(n));
}

TEST(UpperExtension, FromTheLastDotAfterTheLastBackslashAndColon) {
  EXPECT_EQ(UpperExtension(L"a\\b.htm"), L".HTM");
  EXPECT_EQ(UpperExtension(L"b.htm"), L".HTM");
  EXPECT_EQ(UpperExtension(L"B.HTM"), L".HTM");
  EXPECT_EQ(UpperExtension(L"b.HtM"), L".HTM");
  EXPECT_EQ(UpperExtension(L"page.html"), L".HTML");
  EXPECT_EQ(UpperExtension(L"a.b\\c"), L"");          // the dot stands before the last backslash
  EXPECT_EQ(UpperExtension(L"C:\\dir.d\\file"), L"");
  EXPECT_EQ(UpperExtension(L"x:y.htm"), L".HTM");
  EXPECT_EQ(UpperExtension(L"a.b:c"), L"");           // the dot stands before the colon
  EXPECT_EQ(UpperExtension(L"noext"), L"");
  EXPECT_EQ(UpperExtension(L""), L"");
  EXPECT_EQ(UpperExtension(L"file."), L".");
  EXPECT_EQ(UpperExtension(L"a.tar.gz"), L".GZ");
  EXPECT_EQ(UpperExtension(L"http://host/a.htm"), L".HTM");
  EXPECT_EQ(UpperExtension(L"http://host/a.htm?x=1"), L".HTM?X=1");  // only '\' and ':' delimit
  EXPECT_EQ(UpperExtension(L"x.\u00e4"), L".\u00e4");                // ASCII letters only
  EXPECT_NE(UpperExtension(L"x.html"), L".HTM");
}

TEST(IsBlankText, OnlyCharactersAtOrBelowBlank) {
  EXPECT_TRUE(IsBlankText(L""));
  EXPECT_TRUE(IsBlankText(L" "));
  EXPECT_TRUE(IsBlankText(L" \t\r\n\x01"));
  EXPECT_TRUE(IsBlankText(std::wstring(L"\0 ", 2)));
  EXPECT_FALSE(IsBlankText(L" a "));
  EXPECT_FALSE(IsBlankText(L"!"));
  EXPECT_FALSE(IsBlankText(L"\u3000"));  // ideographic space lies above ' '
  EXPECT_FALSE(IsBlankText(L"\x7f"));
}

}  // namespace
}  // namespace core
