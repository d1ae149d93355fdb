// win_app.cpp - the application object's registration, the message loop and the entry point.
#include "framework/win_app.h"

#include <cstring>

CWinApp* CWinApp::instance = nullptr;

CWinApp::CWinApp() {
    instance = this;
}

CWinApp::~CWinApp() {
    if (instance == this)
        instance = nullptr;
}

// True for a window of the platform's dialog class, whose keys (Tab, Enter, Escape, mnemonics)
// IsDialogMessage translates.
static bool IsDialogWindow(HWND window) {
    char name[8];
    return window != nullptr && ::GetClassNameA(window, name, sizeof name) > 0 &&
           std::strcmp(name, "#32770") == 0;
}

int CWinApp::Run() {
    MSG message;
    // GetMessage returns 0 for WM_QUIT and -1 for an error; both end the loop.
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
        if (IsDialogWindow(root) && ::IsDialogMessageA(root, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return ExitInstance();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CWinApp* app = CWinApp::Instance();
    if (app == nullptr)
        return 0;
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
