// The program's main routine.
#include <windows.h>

#include "Application.h"
#include "Texts.h"
#include "UnitPlay.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  win::Application& app = win::App();
  app.Initialize();
  app.SetTitle(std::wstring(core::kApplicationTitle));
  app.CreateForm<TFrmPlay>();
  app.Run();
  return 0;
}
