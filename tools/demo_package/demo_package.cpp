// A stand-in for the maker's full installer package, used by the end-to-end runs. One
// program plays three roles, chosen by its command line:
//   "... /D=<folder>"  the package: installs the product silently into the folder given by
//                      "/D=" (always the last switch) and reports on its standard output;
//   "... _?=<folder>"  the product's uninstaller ("uninst.ep", run from a copy): removes
//                      what the package installed;
//   anything else      the installed product ("lumivoxApp.exe"): a small window.
// Extra switches (passed through the installer's "InstCmd") steer the package's report:
//   -demostate=fail   report State=Fail instead of Success
//   -demostartup=X    StartupStyle value (default UserStartup)
//   -demotopshow=N    TopShowDetention value (default 1000)
//   -democlose=N      FinsihCloseDetention value (default -1: never)
// With LUMIVOX_DEMO_LOG set, every role appends its command line to that file.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0], size, nullptr, nullptr);
    return result;
}

void Report(const std::wstring& line) {
    const std::string bytes = ToUtf8(line) + "\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void AppendToLog(const std::wstring& role) {
    wchar_t path[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"LUMIVOX_DEMO_LOG", path, MAX_PATH) == 0) return;
    FILE* log = ::_wfopen(path, L"ab");
    if (log == nullptr) return;
    const std::string line = ToUtf8(role + L" " + ::GetCommandLineW()) + "\n";
    std::fwrite(line.data(), 1, line.size(), log);
    std::fclose(log);
}

// The value of "-name=" in the command line, up to the next blank (or quote-delimited).
std::wstring SwitchValue(const std::wstring& commandLine, const std::wstring& name, const std::wstring& fallback) {
    const std::wstring key = L" " + name + L"=";
    const size_t at = commandLine.find(key);
    if (at == std::wstring::npos) return fallback;
    size_t begin = at + key.size();
    if (begin < commandLine.size() && commandLine[begin] == L'"') {
        const size_t end = commandLine.find(L'"', begin + 1);
        return commandLine.substr(begin + 1, end == std::wstring::npos ? std::wstring::npos : end - begin - 1);
    }
    const size_t end = commandLine.find(L' ', begin);
    return commandLine.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin);
}

// Everything after the last " <marker>", which the callers always put last and unquoted.
std::wstring TrailingValue(const std::wstring& commandLine, const std::wstring& marker) {
    const size_t at = commandLine.rfind(L" " + marker);
    return at == std::wstring::npos ? L"" : commandLine.substr(at + 1 + marker.size());
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path))) return L"";
    return path;
}

std::wstring QuickLaunchFolder() {
    const std::wstring appData = SpecialFolder(CSIDL_APPDATA);
    return appData.empty() ? L"" : appData + L"\\Microsoft\\Internet Explorer\\Quick Launch";
}

bool CreateShortcut(const std::wstring& linkPath, const std::wstring& target) {
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link)))) {
        return false;
    }
    link->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

bool CreateFolderTree(const std::wstring& folder) {
    const int result = ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS;
}

int RunPackage() {
    const std::wstring commandLine = ::GetCommandLineW();
    Report(L"Encode=UTF8");
    const std::wstring folder = TrailingValue(commandLine, L"/D=");
    if (folder.empty() || !CreateFolderTree(folder)) {
        Report(L"Error=no install folder: " + folder);
        return 2;
    }
    const std::wstring self = OwnPath();
    const std::wstring productExe = folder + L"\\lumivoxApp.exe";
    const std::wstring uninstaller = folder + L"\\uninst.ep";
    const double steps[] = {0.1, 0.3, 0.5, 0.7, 0.9};
    for (double step : steps) {
        Report(L"Progress=" + std::to_wstring(step));
        ::Sleep(150);
    }
    if (!::CopyFileW(self.c_str(), productExe.c_str(), FALSE) || !::CopyFileW(self.c_str(), uninstaller.c_str(), FALSE)) {
        Report(L"Error=cannot write into " + folder);
        return 3;
    }
    const std::wstring setIni = folder + L"\\set.ini";
    ::WritePrivateProfileStringW(L"Uninstall", L"IsOverride", L"true", setIni.c_str());
    ::WritePrivateProfileStringW(L"Install", L"Version", L"1.7.9", setIni.c_str());

    ::CoInitialize(nullptr);
    if (SwitchValue(commandLine, L"-dsc", L"false") == L"true") {
        CreateShortcut(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Lumivox.lnk", productExe);
    }
    if (SwitchValue(commandLine, L"-ssc", L"false") == L"true") {
        const std::wstring quickLaunch = QuickLaunchFolder();
        if (!quickLaunch.empty() && CreateFolderTree(quickLaunch)) CreateShortcut(quickLaunch + L"\\Lumivox.lnk", productExe);
    }
    ::CoUninitialize();

    Report(L"InstPath=" + folder);
    Report(L"ExePath=" + productExe);
    Report(L"UninstEp=" + uninstaller);
    Report(L"StartupStyle=" + SwitchValue(commandLine, L"-demostartup", L"UserStartup"));
    Report(L"TopShowDetention=" + SwitchValue(commandLine, L"-demotopshow", L"1000"));
    Report(L"FinsihCloseDetention=" + SwitchValue(commandLine, L"-democlose", L"-1"));
    Report(L"Progress=1.0");
    const bool fail = SwitchValue(commandLine, L"-demostate", L"success") == L"fail";
    Report(fail ? L"State=Fail" : L"State=Success");
    return fail ? 1 : 0;
}

int RunUninstaller() {
    const std::wstring folder = TrailingValue(::GetCommandLineW(), L"_?=");
    Report(L"Encode=UTF8");
    Report(L"Progress=0.2");
    if (folder.empty()) {
        Report(L"Error=no folder to remove");
        return 2;
    }
    const wchar_t* installed[] = {L"lumivoxApp.exe", L"set.ini", L"config.ini", L"uninst.ep"};
    for (const wchar_t* name : installed) ::DeleteFileW((folder + L"\\" + name).c_str());
    ::DeleteFileW((SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Lumivox.lnk").c_str());
    const std::wstring quickLaunch = QuickLaunchFolder();
    if (!quickLaunch.empty()) ::DeleteFileW((quickLaunch + L"\\Lumivox.lnk").c_str());
    ::RemoveDirectoryW(folder.c_str());  // only when nothing else is left in it
    Report(L"Progress=1.0");
    Report(L"State=Success");
    return 0;
}

LRESULT CALLBACK ProductWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        RECT client;
        ::GetClientRect(window, &client);
        ::DrawTextW(dc, L"Lumivox is installed.", -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int RunProduct(HINSTANCE instance) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ProductWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"LumivoxDemoProduct";
    ::RegisterClassW(&windowClass);
    ::CreateWindowW(L"LumivoxDemoProduct", L"Lumivox", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                    420, 240, nullptr, nullptr, instance, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const std::wstring commandLine = ::GetCommandLineW();
    if (commandLine.find(L" _?=") != std::wstring::npos) {
        AppendToLog(L"uninstaller");
        return RunUninstaller();
    }
    if (commandLine.find(L" /D=") != std::wstring::npos) {
        AppendToLog(L"package");
        return RunPackage();
    }
    AppendToLog(L"product");
    return RunProduct(instance);
}
