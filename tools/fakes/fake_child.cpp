// A scriptable stand-in for the product's full installer package and for the previous
// version's uninstaller: a console program that does what a small script tells it, so that
// tests can run the real package runner and uninstall runner against any behaviour.
//
// The script is the file named by a "-fakescript=<path>" argument, otherwise the file beside
// the program with its extension replaced by ".script" (so a copy named
// "__Package_lumivoxApp.exe" reads "__Package_lumivoxApp.script"). Without a script the
// program writes nothing and exits with 0. The script is UTF-8, one directive a line:
//
//   # comment
//   encoding utf8|ansi|<code page>  how later "write" and "line" text is encoded (utf8 first)
//   write <text>     one write of <text> to standard output; escapes \n \r \t \\ and \xHH
//                    (a raw byte, not encoded)
//   line <text>      as write, followed by a line feed, in the same write
//   sleep <ms>
//   waitfile <path>  waits (at most 60 s) until the file exists
//   record <path>    writes this program's exact command line to the file, as UTF-8
//   hold <path>      opens the file without delete sharing and keeps it open until exit
//                    (as the system does with a running program's own file)
//   stderr <bytes>   writes that many bytes to standard error, 4 KiB at a time
//   readstdin        reads standard input until its end
//   exit <code>      ends now with that exit code (the end of the script exits with 0)
//   crash            ends through an access violation
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::wstring Utf8ToWide(const std::string& text) {
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string Encode(const std::string& utf8, UINT codePage) {
    if (codePage == CP_UTF8 || utf8.empty()) return utf8;
    const std::wstring wide = Utf8ToWide(utf8);
    const int length =
        ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string encoded(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &encoded[0], length, nullptr,
                              nullptr);
    }
    return encoded;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Text runs are encoded; escaped raw bytes go out as they are.
std::string Render(const std::string& text, UINT codePage) {
    std::string out;
    std::string run;
    auto flush = [&] {
        out += Encode(run, codePage);
        run.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            run += text[i];
            continue;
        }
        const char next = text[++i];
        if (next == 'n') run += '\n';
        else if (next == 'r') run += '\r';
        else if (next == 't') run += '\t';
        else if (next == '\\') run += '\\';
        else if (next == 'x' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            flush();
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            run += '\\';
            run += next;
        }
    }
    flush();
    return out;
}

void WriteAll(HANDLE handle, const std::string& bytes) {
    DWORD written = 0;
    ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring ScriptPath() {
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::wstring path;
    const std::wstring key = L"-fakescript=";
    for (int i = 1; arguments != nullptr && i < count; ++i) {
        const std::wstring argument = arguments[i];
        if (argument.compare(0, key.size(), key) == 0) path = argument.substr(key.size());
    }
    if (arguments != nullptr) ::LocalFree(arguments);
    if (!path.empty()) return path;

    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    path = own;
    const size_t dot = path.find_last_of(L'.');
    const size_t slash = path.find_last_of(L"\\/");
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) path.erase(dot);
    return path + L".script";
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    FILE* file = ::_wfopen(path.c_str(), L"rb");
    if (file == nullptr) return lines;
    std::string content;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) content.append(buffer, got);
    std::fclose(file);
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

int wmain() {
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    UINT codePage = CP_UTF8;
    std::vector<HANDLE> held;

    for (const std::string& line : ReadLines(ScriptPath())) {
        const size_t blank = line.find(' ');
        const std::string directive = line.substr(0, blank);
        const std::string argument = blank == std::string::npos ? std::string() : line.substr(blank + 1);
        if (directive.empty() || directive[0] == '#') continue;

        if (directive == "encoding") {
            if (argument == "utf8") codePage = CP_UTF8;
            else if (argument == "ansi") codePage = CP_ACP;
            else codePage = static_cast<UINT>(std::strtoul(argument.c_str(), nullptr, 10));
        } else if (directive == "write") {
            WriteAll(output, Render(argument, codePage));
        } else if (directive == "line") {
            WriteAll(output, Render(argument, codePage) + "\n");
        } else if (directive == "sleep") {
            ::Sleep(static_cast<DWORD>(std::strtoul(argument.c_str(), nullptr, 10)));
        } else if (directive == "waitfile") {
            const std::wstring path = Utf8ToWide(argument);
            for (int i = 0; i < 600 && ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(100);
        } else if (directive == "record") {
            FILE* file = ::_wfopen(Utf8ToWide(argument).c_str(), L"wb");
            if (file != nullptr) {
                const std::wstring commandLine = ::GetCommandLineW();
                const int length = ::WideCharToMultiByte(CP_UTF8, 0, commandLine.c_str(),
                                                         static_cast<int>(commandLine.size()), nullptr, 0, nullptr, nullptr);
                std::string bytes(static_cast<size_t>(length > 0 ? length : 0), '\0');
                if (length > 0) {
                    ::WideCharToMultiByte(CP_UTF8, 0, commandLine.c_str(), static_cast<int>(commandLine.size()),
                                          &bytes[0], length, nullptr, nullptr);
                }
                std::fwrite(bytes.data(), 1, bytes.size(), file);
                std::fclose(file);
            }
        } else if (directive == "hold") {
            held.push_back(::CreateFileW(Utf8ToWide(argument).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
        } else if (directive == "stderr") {
            unsigned long remaining = std::strtoul(argument.c_str(), nullptr, 10);
            const std::string block(4096, 'E');
            while (remaining > 0) {
                const unsigned long size = remaining < block.size() ? remaining : static_cast<unsigned long>(block.size());
                WriteAll(error, block.substr(0, size));
                remaining -= size;
            }
        } else if (directive == "readstdin") {
            const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
            char buffer[4096];
            DWORD got = 0;
            while (::ReadFile(input, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
            }
        } else if (directive == "exit") {
            return static_cast<int>(std::strtol(argument.c_str(), nullptr, 10));
        } else if (directive == "crash") {
            volatile int* nowhere = nullptr;
            *nowhere = 1;
        }
    }
    return 0;
}
