// lxv.cpp - the Lexivane demo program: one small window, and a marker file that shows it started.
//
// The setup starts this program when it closes after a successful installation. To make that
// start checkable, the program writes "lxv-started.txt" beside its own file, holding its command
// line and its current directory, and shows a window titled "Lexivane" until it is closed.
#include <windows.h>

#include <cstring>

namespace {

const char kClassName[] = "LexivaneDemoWindow";
const char kTitle[] = "Lexivane";
const char kGreeting[] = "Lexivane document converter (demo)";
const char kMarkerName[] = "lxv-started.txt";

bool WriteText(HANDLE file, const char* text) {
    DWORD length = static_cast<DWORD>(std::strlen(text));
    DWORD written = 0;
    return WriteFile(file, text, length, &written, nullptr) && written == length;
}

// Writes the marker file into the directory of this program. A path that does not fit in
// MAX_PATH is refused rather than cut, so the marker never lands anywhere else.
bool WriteStartMarker() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return false;
    char* slash = std::strrchr(path, '\\');
    if (slash == nullptr)
        return false;
    size_t dirLength = static_cast<size_t>(slash + 1 - path);
    if (dirLength + sizeof kMarkerName > sizeof path)
        return false;
    std::memcpy(slash + 1, kMarkerName, sizeof kMarkerName);

    char currentDir[MAX_PATH];
    DWORD dirResult = GetCurrentDirectoryA(sizeof currentDir, currentDir);
    if (dirResult == 0 || dirResult >= sizeof currentDir)
        currentDir[0] = '\0';

    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = WriteText(file, "command line: ") && WriteText(file, GetCommandLineA()) &&
              WriteText(file, "\r\ncurrent directory: ") && WriteText(file, currentDir) &&
              WriteText(file, "\r\n");
    return CloseHandle(file) && ok;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, kGreeting, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass))
        return 1;
    HWND window = CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 420, 140, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    // Written once the window exists, so that a marker always means a visible program.
    // Without it the program still runs; only the proof of its start is missing.
    WriteStartMarker();

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
