// A stand-in for a program the window starts (Excel.exe, MSINFO32.EXE) in the window's
// smoke test: writes the command line it was started with, as UTF-8, to
// NAME-arguments.txt (NAME: its own file name without ".exe") in the folder that
// KESTRAVA_SMOKE_DIR names.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    static wchar_t folder[32768];
    static wchar_t self[32768];
    const DWORD length = GetEnvironmentVariableW(L"KESTRAVA_SMOKE_DIR", folder, 32768);
    const DWORD selfLength = GetModuleFileNameW(nullptr, self, 32768);
    if (length == 0 || length >= 32768 || selfLength == 0 || selfLength >= 32768)
        return 2;
    std::wstring name(self, selfLength);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    name = name.substr(0, name.rfind(L'.'));
    const std::wstring path = std::wstring(folder) + L"\\" + name + L"-arguments.txt";
    const wchar_t* line = GetCommandLineW();
    const int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string text(std::size_t(size > 0 ? size - 1 : 0), '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, line, -1, text.data(), size, nullptr, nullptr);
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size() ? 0 : 1;
}
