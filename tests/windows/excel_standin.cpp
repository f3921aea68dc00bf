// A stand-in for Excel.exe in the window's smoke test: writes the command line it was
// started with, as UTF-8, to excel-arguments.txt in the folder KESTRAVA_SMOKE_DIR names.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t folder[32768];
    const DWORD length = GetEnvironmentVariableW(L"KESTRAVA_SMOKE_DIR", folder, 32768);
    if (length == 0 || length >= 32768)
        return 2;
    const std::wstring path = std::wstring(folder) + L"\\excel-arguments.txt";
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
