// setup_app.h - SetupApp, the application object of the setup program.
#pragma once

#include "framework/win_app.h"

class SetupApp : public CWinApp {
  public:
    BOOL InitInstance() override;
    int ExitInstance() override;

  private:
    // Starts the installed product program, lxv.exe in the install directory.
    void StartProduct();
};
