// win_app.h - CWinApp, the one application object: start-up, message loop and exit.
#pragma once

#include <windows.h>

#include "framework/wnd.h"

// The program defines exactly one object of a class derived from CWinApp, with static
// storage. The entry point (WinMain in win_app.cpp) runs InitInstance, then the message
// loop while start-up succeeded, and returns ExitInstance's result as the exit code.
class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    // Dispatches messages until WM_QUIT, then returns ExitInstance().
    int Run();

    static CWinApp* Instance() { return instance; }

    // The main window; its dialog's keyboard navigation is handled by the loop.
    CWnd* mainWindow = nullptr;

  private:
    static CWinApp* instance;
};
