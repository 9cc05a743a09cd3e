// The program's main routine.
#include <windows.h>

#include <exception>

#include "Application.h"
#include "Texts.h"
#include "UnitPlay.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  win::Application& app = win::App();
  try {
    app.Initialize();
    app.SetTitle(std::wstring(core::kApplicationTitle));
    app.CreateForm<TFrmPlay>();
    app.Run();
  } catch (const std::exception& e) {
    // Only a failure to make the windows at all gets here.
    app.ShowException(e);
    return 1;
  }
  return 0;
}
