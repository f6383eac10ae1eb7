// One byte range of the multi-part download: its record, how a package is cut into
// ranges, and the libcurl functions that store a range's bytes in its part file.
//
// A part file holds exactly the bytes from the part's first offset up to `nextOffset` - 1.
// Only the part's own thread touches its file, handle and offsets; `downloaded` is also
// read by the progress evaluation of the other part's thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "download/curl_handles.h"

struct DownloadPartNode {
    Download::UniqueFile file;     // open for appending while the part is pending
    int32_t nextOffset = 0;        // absolute offset of the next byte to fetch
    int32_t lastOffset = -1;       // absolute offset of the part's last byte (inclusive)
    Download::UniqueCurl curl;     // reused across the part's retries
    std::string url;               // the real URL of the package
    std::wstring partPath;         // savePath + "_" + index
    int32_t state = -1;            // -1 pending, 0 complete, -2 file unopenable, else libcurl's result
    std::atomic<int64_t> downloaded{0};  // bytes of this part in its part file

    // What the current transfer's answer said about itself (its headers), so that a body
    // which is not the range asked for is refused before a byte of it is stored.
    long answerStatus = 0;          // status of the last response head; 0 when none came (file:///)
    int64_t answerRangeFirst = -1;  // first offset of its Content-Range, -1 when absent
    bool answerChecked = false;     // the first body block of this transfer has been judged
};

namespace Download {

constexpr int32_t kPartUnit = 10485760;   // one part below twice this size, two from there on
constexpr int32_t kMinimumPackage = 256;  // smaller sizes are taken for a failed probe

// Sizes of the parts of a package: at most two, the last one takes the remainder.
std::vector<int32_t> PartSizes(int32_t fileLength);

// "first-last" as libcurl's range option takes it (both inclusive, in decimal).
std::string RangeText(int32_t first, int32_t last);

// Forgets what the previous transfer's headers said; called before each transfer.
void ResetAnswer(DownloadPartNode& part);

// libcurl header function; `part` is the DownloadPartNode.
size_t ReadPartHeader(char* data, size_t size, size_t count, void* part);

// libcurl write function; `part` is the DownloadPartNode. Stores at most up to the part's
// last byte and returns what was stored, so a longer answer ends the transfer with 23. An
// HTTP answer that is not 206 for the range asked stores nothing (also 23): a server that
// ignores Range would otherwise fill the part with bytes from another offset.
size_t WritePart(char* data, size_t size, size_t count, void* part);

// Percent of the package present in the part files; 0 for a package below the minimum.
double PartsPercent(const std::vector<int64_t>& downloaded, int32_t fileLength);

}  // namespace Download
