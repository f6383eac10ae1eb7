#include "download/download_part.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "utils/debug_trace.h"

namespace Download {

namespace {

bool StartsWithNoCase(const char* data, size_t length, const char* prefix) {
    const size_t prefixLength = std::strlen(prefix);
    return length >= prefixLength && ::_strnicmp(data, prefix, prefixLength) == 0;
}

// The answer may fill the part: file:/// reads the range itself (no status), HTTP must
// answer 206 starting where the part continues.
bool AnswerFitsPart(const DownloadPartNode& part) {
    if (part.answerStatus == 0) return true;
    return part.answerStatus == 206 && part.answerRangeFirst == part.nextOffset;
}

}  // namespace

std::vector<int32_t> PartSizes(int32_t fileLength) {
    int32_t count = fileLength / kPartUnit;
    if (count < 1) count = 1;
    if (count > 2) count = 2;
    std::vector<int32_t> sizes(count, fileLength / count);
    sizes.back() += fileLength % count;
    return sizes;
}

std::string RangeText(int32_t first, int32_t last) {
    char text[64] = {};
    std::snprintf(text, sizeof(text), "%ld-%ld", static_cast<long>(first), static_cast<long>(last));
    return text;
}

void ResetAnswer(DownloadPartNode& part) {
    part.answerStatus = 0;
    part.answerRangeFirst = -1;
    part.answerChecked = false;
}

size_t ReadPartHeader(char* data, size_t size, size_t count, void* partData) {
    DownloadPartNode& part = *static_cast<DownloadPartNode*>(partData);
    const size_t length = size * count;
    const std::string line(data, length);
    if (StartsWithNoCase(data, length, "HTTP/")) {
        // A new response head (after a redirect, for example): judge only the last one.
        part.answerRangeFirst = -1;
        const size_t blank = line.find(' ');
        part.answerStatus = blank == std::string::npos ? -1 : std::strtol(line.c_str() + blank + 1, nullptr, 10);
    } else if (StartsWithNoCase(data, length, "Content-Range:")) {
        const size_t bytes = line.find("bytes");
        const size_t digits = line.find_first_of("0123456789", bytes == std::string::npos ? 14 : bytes + 5);
        if (digits != std::string::npos && line.find('*') == std::string::npos) {
            part.answerRangeFirst = std::strtoll(line.c_str() + digits, nullptr, 10);
        }
    }
    return length;
}

size_t WritePart(char* data, size_t size, size_t count, void* partData) {
    DownloadPartNode& part = *static_cast<DownloadPartNode*>(partData);
    if (!part.file || part.nextOffset > part.lastOffset) return 0;
    if (!part.answerChecked) {
        if (!AnswerFitsPart(part)) {
            Utils::TraceAt(L"CMTCurlDownloader::WritePart", __LINE__,
                           L"refused answer %ld starting at %lld for range %ld-%ld", part.answerStatus,
                           static_cast<long long>(part.answerRangeFirst), static_cast<long>(part.nextOffset),
                           static_cast<long>(part.lastOffset));
            return 0;
        }
        part.answerChecked = true;
    }

    const int64_t received = static_cast<int64_t>(size) * static_cast<int64_t>(count);
    const int64_t room = static_cast<int64_t>(part.lastOffset) - part.nextOffset + 1;
    const size_t wanted = static_cast<size_t>(received <= room ? received : room);
    const size_t stored = std::fwrite(data, 1, wanted, part.file.get());
    part.nextOffset += static_cast<int32_t>(stored);
    part.downloaded += static_cast<int64_t>(stored);
    return stored;
}

double PartsPercent(const std::vector<int64_t>& downloaded, int32_t fileLength) {
    double percent = 0.0;
    if (fileLength < kMinimumPackage) return percent;
    for (int64_t bytes : downloaded) {
        if (bytes > 0) percent += static_cast<double>(bytes) * 100.0 / static_cast<double>(fileLength);
    }
    return percent;
}

}  // namespace Download
