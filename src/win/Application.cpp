#include "Application.h"

#include <commctrl.h>
#include <ole2.h>

#include "Text.h"

namespace win {

Application& App() {
  static Application app;
  return app;
}

Application::~Application() {
  DestroyForms();
  if (handle_) ::DestroyWindow(handle_);
  if (initialized_) ::OleUninitialize();
}

void Application::EnsureCom() {
  if (!initialized_) initialized_ = SUCCEEDED(::OleInitialize(nullptr));
}

void Application::Initialize() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&icc);
  Handle();
}

HWND Application::Handle() {
  if (!handle_) {
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(inst, L"QvApplication", &wc)) {
      wc = WNDCLASSEXW{};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = ::DefWindowProcW;
      wc.hInstance = inst;
      wc.hIcon = ::LoadIconW(inst, MAKEINTRESOURCEW(1));
      wc.lpszClassName = L"QvApplication";
      ::RegisterClassExW(&wc);
    }
    // Never shown: it owns the shadows and other helper windows.
    handle_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"QvApplication", title_.c_str(),
                                WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr,
                                nullptr, inst, nullptr);
  }
  return handle_;
}

void Application::SetTitle(std::wstring title) {
  title_ = std::move(title);
  if (handle_) ::SetWindowTextW(handle_, title_.c_str());
}

void Application::Run() {
  if (mainForm_ && !terminated_) mainForm_->Show();
  while (!terminated_) HandleMessage();
  // Program end: the windows are hidden first, then destroyed, last made first.
  for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
    if ((*it)->HandleAllocated() && ::IsWindowVisible((*it)->Handle())) (*it)->Hide();
  DestroyForms();
}

void Application::DestroyForms() {
  while (!forms_.empty()) {
    std::unique_ptr<Form> form = std::move(forms_.back());
    forms_.pop_back();
    form->Destroy();
    if (form.get() == mainForm_) mainForm_ = nullptr;
  }
}

bool Application::ServeMessage(MSG& msg) {
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return false;
  }
  HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  auto* form = dynamic_cast<Form*>(WinControl::FromHandle(root));
  if (form && form->DialogKeys() && ::IsDialogMessageW(root, &msg)) return true;
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
  return true;
}

void Application::ProcessMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!ServeMessage(msg)) break;
  }
}

bool Application::HandleMessage() {
  MSG msg;
  BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    terminated_ = true;
    return false;
  }
  return ServeMessage(msg);
}

void Application::Terminate() {
  terminated_ = true;
  ::PostQuitMessage(0);  // wakes whichever loop is waiting
}

void Application::Minimize() {
  if (mainForm_ && mainForm_->HandleAllocated()) ::ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
}

void Application::Restore() {
  if (mainForm_ && mainForm_->HandleAllocated()) ::ShowWindow(mainForm_->Handle(), SW_RESTORE);
}

void Application::ShowException(const std::exception& e) {
  std::wstring text = FromUtf8(e.what());
  HWND owner = ::GetActiveWindow();
  ::MessageBoxW(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace win
