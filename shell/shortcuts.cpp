// shortcuts.cpp - shortcut files through the shell link object; special folder paths.
#include "shell/shortcuts.h"

#include <objidl.h>
#include <shlobj.h>

#include "app/install_state.h"
#include "shell/ansi_paths.h"

HRESULT CreateShortcut(const char* target, const char* arguments, const char* linkPath) {
    // S_FALSE means that this thread's apartment was initialised already; it is just as
    // usable, and the call still owes one uninitialisation.
    HRESULT result = CoInitialize(nullptr);
    if (FAILED(result))
        return result;

    IShellLinkA* link = nullptr;
    result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link));
    if (result != S_OK) {
        CoUninitialize();
        return result;
    }
    link->SetPath(target);
    link->SetArguments(arguments);

    IPersistFile* file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (result != S_OK) {
        link->Release();
        CoUninitialize();
        return result;
    }

    // The length -1 includes the terminator; a path that does not fit is refused whole
    // rather than saved under a truncated name.
    WCHAR widePath[kPathSize];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, kPathSize) == 0)
        result = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    else
        result = file->Save(widePath, TRUE);

    file->Release();
    link->Release();
    CoUninitialize();
    return result;
}

int GetSpecialFolderPath(int csidl, char* buffer) {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)))
        return 0;
    LPITEMIDLIST items = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, csidl, &items) != S_OK) {
        allocator->Release();
        return 0;
    }
    // Asked in UTF-16 and converted exactly: the 8-bit form that the shell would give has
    // '?' for every character outside the code page, and names no folder.
    wchar_t wide[kPathSize];
    int result = SHGetPathFromIDListW(items, wide) && ToAnsiPath(wide, buffer);
    allocator->Free(items);
    allocator->Release();
    return result;
}

int GetProgramsFolderPath(char* buffer) {
    return GetSpecialFolderPath(CSIDL_PROGRAMS, buffer);
}
