// messages.cpp - warning boxes and system error texts.
#include "shell/messages.h"

#include <cstdio>

#include "app/texts.h"

int ShowWarning(const char* text, const char* caption, HWND owner) {
    return MessageBoxA(owner, text, caption, MB_ICONWARNING | MB_OK);
}

void ShowSystemError(const char* caption, std::initializer_list<const char*> inserts) {
    DWORD error = GetLastError();

    // A system text may name more inserts than the caller knows of; the argument array
    // covers the highest one a text can name (%99), so no insert is read from beyond it.
    constexpr int kMaxInserts = 99;
    DWORD_PTR arguments[kMaxInserts];
    int count = 0;
    for (const char* insert : inserts) {
        if (count == kMaxInserts)
            break;
        arguments[count++] = reinterpret_cast<DWORD_PTR>(insert ? insert : "");
    }
    while (count < kMaxInserts)
        arguments[count++] = reinterpret_cast<DWORD_PTR>("");

    char* systemText = nullptr;
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY,
        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<char*>(&systemText), 0, reinterpret_cast<va_list*>(arguments));
    if (length != 0 && systemText != nullptr) {
        ShowWarning(systemText, caption, nullptr);
    } else {
        char ownText[96];
        std::snprintf(ownText, sizeof ownText, text::kUnknownSystemError,
                      static_cast<unsigned long>(error), static_cast<unsigned long>(error));
        ShowWarning(ownText, caption, nullptr);
    }
    // Only a text that the system allocated is freed.
    if (systemText != nullptr)
        LocalFree(systemText);
}
