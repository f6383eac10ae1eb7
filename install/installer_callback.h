// The one receiver of every event of the download-and-install pipeline, and the event
// codes it receives. Codes 1001 to 1006 come from the downloaders (download/downloader.h).
#pragma once

#include <functional>

// (code, progress, text). The text is valid only during the call; a receiver that keeps it
// copies it. Called on the pipeline's worker threads, never on the window thread.
using InstallerCallback = std::function<void(int code, double progress, const wchar_t* text)>;

enum InstallerCode : int {
    IST_CODE_START = 2001,
    IST_CODE_PROGRESS = 2002,
    INSTALL_SUCCESS = 2003,
    IST_CODE_FAIL = 2004,

    // Facts the package reports about the installed product.
    IST_INFO_INSTALL_PATH = 3000,     // "InstPath="
    IST_INFO_EXE_PATH = 3001,         // "ExePath=" or "StartExe="
    IST_INFO_UNINSTALL_EXE = 3002,    // "UninstExePath=" or "UninstExe="
    IST_INFO_UNINSTALL_EP = 3003,     // "UninstEp="
    IST_INFO_START_URL = 3004,        // "StartUrl="
    IST_INFO_STARTUP_STYLE = 3005,    // "StartupStyle=": 0 none, 1 at once, 2 when the user leaves
    IST_INFO_TOP_SHOW_DELAY = 3007,   // "TopShowDetention=", milliseconds
    IST_INFO_CLOSE_DELAY = 3008,      // "FinsihCloseDetention=", milliseconds
    IST_INFO_MESSAGE = 3009,          // "Message="

    UNIST_CODE_PROGRESS = 5002,
    UNIST_CODE_SUCCESS = 5003,
    UNIST_CODE_FAIL = 5004,
    UNIST_CODE_ERROR = 5005,
};

// What a status stream's parser reports about final states.
enum StatusParseResult : int {
    STATUS_NO_FINAL_STATE = 0,
    STATUS_SUCCESS = 1,
    STATUS_FAILURE = 1000,
};
