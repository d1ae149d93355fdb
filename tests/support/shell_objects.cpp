// shell_objects.cpp - shortcut files loaded through the shell link object; COM's state.
#include "tests/support/shell_objects.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

ShortcutContent ReadShortcut(const std::filesystem::path& linkFile) {
    ShortcutContent content;
    HRESULT initialised = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(linkFile.wstring().c_str(), STGM_READ))) {
                char text[MAX_PATH * 2] = {};
                WIN32_FIND_DATAA data;
                if (link->GetPath(text, sizeof text, &data, SLGP_RAWPATH) == S_OK)
                    content.target = text;
                text[0] = 0;
                if (SUCCEEDED(link->GetArguments(text, sizeof text)))
                    content.arguments = text;
                content.loaded = true;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(initialised))
        CoUninitialize();
    return content;
}

bool ComIsUninitialised() {
    HRESULT result = CoInitialize(nullptr);
    if (SUCCEEDED(result))
        CoUninitialize();
    return result == S_OK;
}
