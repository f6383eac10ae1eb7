#include "download/curl_client.h"

#include <windows.h>

#include <cwchar>

#include "download/file_ops.h"
#include "utils/debug_trace.h"
#include "utils/text_convert.h"

using Download::UniqueCurl;
using Download::UniqueCurlList;
using Download::UniqueFile;

namespace {

constexpr double kMinimumLength = 1048576.0;
constexpr wchar_t kPartSuffix[] = L".part";

size_t AppendToSideFile(char* data, size_t size, size_t count, void* file) {
    return std::fwrite(data, 1, size * count, static_cast<FILE*>(file));
}

// Lets a stop request end a probe as it ends a transfer.
int AbortWhenStopped(void* client, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<CurlClient*>(client)->stopRequested.load() ? 1 : 0;
}

bool StatusIsGood(long status) { return status >= 200 && status <= 399; }

}  // namespace

double TransferPercent(double fileLength, int64_t resumeOffset, curl_off_t totalToDownload, curl_off_t downloadedNow) {
    if (fileLength > kMinimumLength) {
        return static_cast<double>(resumeOffset + downloadedNow) / fileLength * 100.0;
    }
    if (totalToDownload <= 0 || downloadedNow <= 0) return 0.0;
    return static_cast<double>(downloadedNow) * 100.0 / static_cast<double>(totalToDownload);
}

CurlClient::CurlClient(const std::wstring& url_, const std::wstring& savePath_, void* owner_, ProgressFunction progressFn_,
                       const DownloadOptions& options)
    : url(url_), savePath(savePath_), owner(owner_), progressFn(progressFn_), m_Options(options) {}

CurlClient::~CurlClient() {
    Download::DeleteFileIfExists(GetFilePath(true));
    stopRequested = true;
    url.clear();
    savePath.clear();
    realUrl.clear();
}

std::wstring CurlClient::GetFilePath(bool withPartSuffix) const {
    return withPartSuffix ? savePath + kPartSuffix : savePath;
}

std::string CurlClient::UrlForCurl() const {
    const bool localFile = url.compare(0, 8, L"file:///") == 0;
    return Utils::WideToMultiByte(url, localFile ? CP_ACP : CP_UTF8);
}

int CurlClient::Start() {
    Utils::TraceAt(L"CurlClient::Start", 60, L"start download");
    const std::string curlUrl = UrlForCurl();

    ProbeIfNeeded(curlUrl);

    int result = kSizeUnknown;
    UniqueFile sideFile;
    if (fileLength >= kMinimumLength) {
        curl.reset(curl_easy_init());
        if (!curl) {
            result = kNoHandle;
        } else {
            sideFile.reset(Download::OpenFile(GetFilePath(true), L"ab+"));
            result = sideFile ? Transfer(sideFile.get()) : kSideFileUnopenable;
        }
    }

    Utils::TraceAt(L"CurlClient::Start", 207, L"error:%d:%s", result, Download::CurlErrorText(result).c_str());
    curl.reset();
    sideFile.reset();
    if (result == 0) result = MoveSideFileToSavePath();
    Utils::TraceAt(L"CurlClient::Start", 222, L"end download");
    return result;
}

void CurlClient::ProbeIfNeeded(const std::string& curlUrl) {
    if (realUrl.empty() || fileLength < kMinimumLength) {
        UniqueCurl probe = Head(curlUrl);
        if (probe) {
            realUrl = GetEffectiveUrl(probe.get());
            fileLength = GetDownloadFileLength(probe.get());
        }
    }
    if (realUrl.empty() || fileLength < kMinimumLength) {
        realUrl = GetRealUrl_Str(curlUrl);
        if (!realUrl.empty()) fileLength = GetDownloadFileLength_Str(realUrl);
    }
}

int CurlClient::Transfer(FILE* sideFile) {
    CURL* handle = curl.get();
    const UniqueCurlList headers = Download::MakeHeaderList({"Connection: keep-alive", "Accept-Encoding: gzip, deflate"});
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(handle, CURLOPT_TCP_KEEPIDLE, 10L);
    curl_easy_setopt(handle, CURLOPT_TCP_KEEPINTVL, 10L);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, 0L);
    // Fewer, larger socket reads: each one is costly on some systems (Wine among them).
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, Download::kReceiveBufferBytes);

    int options = 0;
    options |= curl_easy_setopt(handle, CURLOPT_URL, realUrl.c_str());
    options |= curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    options |= curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &AppendToSideFile);
    options |= curl_easy_setopt(handle, CURLOPT_WRITEDATA, sideFile);
    options |= curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    options |= curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &CurlClient::ProgressCallback);
    options |= curl_easy_setopt(handle, CURLOPT_XFERINFODATA, this);
    options |= curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    options |= curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, m_Options.timings.connectTimeoutSeconds);
    options |= Download::UseCaBundle(handle, m_Options.caBundle);
    // A server or proxy that keeps the connection open without sending would otherwise
    // hold the installer forever; a stall ends with 28 and the owner's retry resumes.
    options |= curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, m_Options.timings.lowSpeedLimitBytes);
    options |= curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, m_Options.timings.lowSpeedTimeSeconds);
    resumeOffset = Download::FileSize(GetFilePath(true));
    if (resumeOffset > 0) {
        options |= curl_easy_setopt(handle, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(resumeOffset));
    }
    if (options != 0) return options;

    // A side file that already holds the whole file (an earlier transfer completed but could
    // not be moved to savePath) only needs the move; asking the server for the bytes after
    // its end would fail.
    if (resumeOffset > 0 && static_cast<double>(resumeOffset) == fileLength) {
        Utils::TraceAt(L"CurlClient::Start", __LINE__, L"side file already complete: %lld bytes",
                       static_cast<long long>(resumeOffset));
        return 0;
    }
    return curl_easy_perform(handle);
}

int CurlClient::MoveSideFileToSavePath() {
    // A savePath held open by another program (a virus scanner) or a folder in its way must
    // not pass for a finished download; the side file stays for the next attempt.
    const std::wstring sidePath = GetFilePath(true);
    if (Download::DeleteFileIfExists(savePath) && Download::RenameFile(sidePath, savePath)) return 0;
    const unsigned long error = ::GetLastError();
    Utils::TraceAt(L"CurlClient::Start", __LINE__, L"cannot move %s to %s, error %lu", sidePath.c_str(),
                   savePath.c_str(), error);
    return kCannotMoveToSavePath;
}

CURLcode CurlClient::SetProbeOptions(CURL* handle, const std::string& probeUrl) {
    int options = 0;
    options |= curl_easy_setopt(handle, CURLOPT_URL, probeUrl.c_str());
    options |= curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    options |= Download::SetBodylessProbeOptions(handle, m_Options.timings, m_Options.caBundle, &AbortWhenStopped, this);
    return static_cast<CURLcode>(options);
}

UniqueCurl CurlClient::Head(const std::string& probeUrl) {
    UniqueCurl handle(curl_easy_init());
    if (!handle) return handle;
    int code = SetProbeOptions(handle.get(), probeUrl);
    if (code == CURLE_OK) {
        code = curl_easy_perform(handle.get());
        if (code != CURLE_OK) {
            Utils::TraceExactAt(L"CurlClient::Head", 330, L"error:%d:%s", code, Download::CurlErrorText(code).c_str());
        }
    }
    Utils::TraceAt(L"CurlClient::Head", 338, L"error:%d:%s", code, Download::CurlErrorText(code).c_str());
    return handle;
}

std::string CurlClient::GetEffectiveUrl(CURL* handle) {
    const char* effective = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_EFFECTIVE_URL, &effective) != CURLE_OK || effective == nullptr) return {};
    return effective;
}

void CurlClient::ReportBadStatus(long status) {
    wchar_t reason[200] = {};
    std::swprintf(reason, 200, L"1.获取文件大小的状态码为=%ld；", status);
    m_Options.report(L"下载失败原因", reason, ExperimentValues{{L"AB", L"IN"}}, 0.0f);
}

double CurlClient::GetDownloadFileLength(CURL* handle) {
    curl_off_t length = -1;
    const int code = curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    Utils::TraceAt(L"CurlClient::GetDownloadFileLength", 349, L"error:%d:%s", code, Download::CurlErrorText(code).c_str());
    long status = 0;
    if (curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || !StatusIsGood(status)) {
        ReportBadStatus(status);
        return -1.0;
    }
    return static_cast<double>(length);
}

std::string CurlClient::GetRealUrl_Str(const std::string& probeUrl) {
    std::string effective;
    UniqueCurl handle(curl_easy_init());
    if (handle && SetProbeOptions(handle.get(), probeUrl) == CURLE_OK) {
        const int code = curl_easy_perform(handle.get());
        if (code == CURLE_OK) {
            effective = GetEffectiveUrl(handle.get());
        } else {
            Utils::TraceExactAt(L"CurlClient::GetRealUrl_Str", 454, L"error:%d:%s", code,
                                Download::CurlErrorText(code).c_str());
        }
    }
    return effective.empty() ? probeUrl : effective;
}

double CurlClient::GetDownloadFileLength_Str(const std::string& probeUrl) {
    double length = -1.0;
    int code = 0;
    UniqueCurl handle(curl_easy_init());
    if (handle) {
        CURL* h = handle.get();
        int options = 0;
        options |= curl_easy_setopt(h, CURLOPT_URL, probeUrl.c_str());
        options |= curl_easy_setopt(h, CURLOPT_HEADER, 1L);
        options |= Download::SetBodylessProbeOptions(h, m_Options.timings, m_Options.caBundle, &AbortWhenStopped, this);
        code = options;
        if (options == CURLE_OK) {
            curl_easy_perform(h);  // a failure shows as an unknown length or a bad status
            curl_off_t reported = -1;
            curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &reported);
            length = static_cast<double>(reported);
            long status = 0;
            code = curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
            if (code != CURLE_OK || !StatusIsGood(status)) ReportBadStatus(status);
        }
    }
    Utils::TraceAt(L"CurlClient::GetDownloadFileLength_Str", 422, L"error:%d:%s", code, Download::CurlErrorText(code).c_str());
    return length;
}

int CurlClient::ProgressCallback(void* data, curl_off_t totalToDownload, curl_off_t downloadedNow, curl_off_t,
                                 curl_off_t) {
    CurlClient* client = static_cast<CurlClient*>(data);
    if (client->stopRequested) return 1;

    const int64_t now = client->m_Options.clock();
    if (now <= client->lastProgressTime) return 0;
    client->lastProgressTime = now;

    curl_off_t speedBytes = 0;
    if (!client->curl || curl_easy_getinfo(client->curl.get(), CURLINFO_SPEED_DOWNLOAD_T, &speedBytes) != CURLE_OK) {
        speedBytes = 0;
    }
    const double speed = static_cast<double>(speedBytes);
    const double percent = TransferPercent(client->fileLength, client->resumeOffset, totalToDownload, downloadedNow);
    if (percent == 0.0) return 0;

    if (client->progressFn != nullptr) client->progressFn(client->owner, speed, 0.0, percent);
    if (totalToDownload != 0) {
        Utils::TraceExactAt(L"CurlClient::ProgressCallback", 270, L" %dM %dM   progress:%f%%  speed:%f \n",
                            static_cast<int>(downloadedNow / 1048576), static_cast<int>(totalToDownload / 1048576),
                            static_cast<double>(static_cast<float>(percent)),
                            static_cast<double>(static_cast<float>(speed / 1024.0)));
    }
    return 0;
}
