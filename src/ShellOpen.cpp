#include "ShellOpen.h"

#include <windows.h>
#include <shellapi.h>

#include "Application.h"
#include "Safety.h"

bool OpenDocumentSucceeded(const std::wstring& target) {
  if (core::IsBlankText(target)) return false;
  win::App().EnsureCom();  // the shell's handlers may need it
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_FLAG_DDEWAIT;
  info.lpVerb = L"Open";
  info.lpFile = target.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (::ShellExecuteExW(&info)) return true;
  if (core::UpperExtension(target) == L".HTM")
    ::WinExec("RunDLL32.exe Shell32.dll,OpenAs_RunDLL *.htm", SW_SHOWNORMAL);
  return false;
}

void OpenDocument(const std::wstring& target) { OpenDocumentSucceeded(target); }

bool OpenWebAddress(const std::wstring& address) {
  return core::IsWebAddress(address) && OpenDocumentSucceeded(address);
}
