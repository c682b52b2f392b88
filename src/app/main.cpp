#include <QApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/shell/app_look.h"
#include "app/shell/klv_app.h"
#include "platform/windows/focus_return.h"
#include "services/user_action.h"
#include "uictl/bars/ux_registry.h"
#include "uictl/frames/frames_library.h"

int main(int argc, char** argv) {
  // The control library's pop-ups, drop-downs and floating frames are placed at global screen
  // positions, which a native Wayland surface does not give: under an X server, ask for it.
  if (!std::getenv("QT_QPA_PLATFORM") && std::getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "xcb", 1);
  QApplication application(argc, argv);
  setUpApplicationLook();
  waitForBusyDatabaseOncePerAction();
  platform::returnFocusToOpeners();
  const UxFramesLibrary controlLibrary;
  UxSetRegistryNames(L"Tarvo Presents", L"KLV7");
  std::vector<std::wstring> arguments;
  for (const QString& argument : QCoreApplication::arguments()) arguments.push_back(argument.toStdWString());
  KlvApp app;
  app.InitInstance(arguments);
  return app.ExitInstance();
}
