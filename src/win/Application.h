// The application object: title, a hidden owner window, the forms it owns,
// the message loop and the standard error box. UI thread only.
#pragma once
#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "Form.h"

namespace win {

class Application {
 public:
  Application() = default;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  ~Application();

  void Initialize();
  // COM for picture loading and the shell, made on first need so that a
  // start without pictures does not pay for it. UI thread only.
  void EnsureCom();
  HWND Handle();  // hidden window that owns the shadows and tool windows

  const std::wstring& Title() const { return title_; }
  void SetTitle(std::wstring title);

  // Creates a form owned by the application; the first one is the main form.
  template <class T, class... Args>
  T* CreateForm(Args&&... args) {
    auto form = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = form.get();
    forms_.push_back(std::move(form));
    if (!mainForm_) mainForm_ = raw;
    raw->Create();
    return raw;
  }
  Form* MainForm() const { return mainForm_; }

  // Shows the main form (unless already told to terminate), serves messages
  // until told to terminate, then hides and destroys the forms, last first.
  void Run();
  // Serves every message already queued, then returns.
  void ProcessMessages();
  // Waits for and serves one message; false once WM_QUIT has arrived.
  bool HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }
  void Minimize();
  void Restore();

  // The standard error box: the exception's text, the application's title.
  void ShowException(const std::exception& e);

 private:
  bool ServeMessage(MSG& msg);
  void DestroyForms();

  HWND handle_ = nullptr;
  std::wstring title_;
  std::vector<std::unique_ptr<Form>> forms_;
  Form* mainForm_ = nullptr;
  bool terminated_ = false;
  bool initialized_ = false;
};

// The process's one application object.
Application& App();

}  // namespace win
