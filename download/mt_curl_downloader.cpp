#include "download/mt_curl_downloader.h"

#include <windows.h>

#include <climits>

#include "download/curl_client.h"
#include "download/file_ops.h"
#include "download/md5_from_url.h"
#include "utils/debug_trace.h"
#include "utils/file_md5.h"
#include "utils/text_convert.h"

namespace {

constexpr int kTransferBudget = 12;
constexpr int kPartialFile = 18;  // CURLE_PARTIAL_FILE
constexpr int kPartFileUnopenable = -2;
constexpr int kCannotMakeSavePath = CurlClient::kCannotMoveToSavePath;
constexpr size_t kJoinBlock = 1024;

bool StatusIsGood(long status) { return status >= 200 && status <= 399; }

}  // namespace

// ---- the downloader: a shell that owns the session -------------------------------------

CMTCurlDownloader::CMTCurlDownloader(const DownloadCallback& callback, const std::wstring& url,
                                     const std::wstring& savePath, const DownloadOptions& options)
    : m_Session(std::make_unique<Session>(callback, url, savePath, options)) {}

CMTCurlDownloader::~CMTCurlDownloader() {
    m_Session->RequestStop();
    if (!m_Session->WaitForThreads(m_Session->StopWaitMs())) {
        Utils::TraceAt(L"CMTCurlDownloader::~CMTCurlDownloader", __LINE__, L"threads did not stop in time; left running");
        m_Session.release();  // deliberately leaked: its threads still use it
    }
}

void CMTCurlDownloader::Start() { m_Session->Start(); }

// ---- the session ---------------------------------------------------------------------

CMTCurlDownloader::Session::Session(const DownloadCallback& callback_, const std::wstring& url_,
                                    const std::wstring& savePath_, const DownloadOptions& options)
    : callback(callback_),
      savePath(savePath_),
      url(url_),
      m_Options(options),
      m_StopEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    // A new downloader never resumes what an earlier process left behind.
    Download::DeleteFileIfExists(savePath);
    DeletePartFiles();
}

CMTCurlDownloader::Session::~Session() { ReleaseParts(); }

void CMTCurlDownloader::Session::Start() {
    if (m_Stopping) return;
    // From another thread, the previous attempt has already sent its last notification (the
    // receiver starts again only after one), so its threads are about to end. Waiting for
    // all of them, not just the setup thread, keeps two attempts from sharing the parts.
    workers.JoinAllButCaller();
    if (!workers.Launch(this, L"ABDEF", [](void* session) { static_cast<Session*>(session)->Start_Down(); })) {
        Utils::TraceAt(L"CMTCurlDownloader::Start", __LINE__, L"no setup thread: %lu", ::GetLastError());
    }
}

void CMTCurlDownloader::Session::RequestStop() {
    m_Stopping = true;
    ::SetEvent(m_StopEvent.get());
}

void CMTCurlDownloader::Session::Notify(int code, double value, const wchar_t* text) {
    if (!m_Stopping) callback(code, value, text);
}

bool CMTCurlDownloader::Session::Pause(unsigned long milliseconds) {
    return ::WaitForSingleObject(m_StopEvent.get(), milliseconds) == WAIT_TIMEOUT;
}

std::wstring CMTCurlDownloader::Session::PartPath(int index) const {
    return savePath + L"_" + std::to_wstring(index);
}

void CMTCurlDownloader::Session::DeletePartFiles() {
    Download::DeleteFileIfExists(PartPath(0));
    Download::DeleteFileIfExists(PartPath(1));
}

void CMTCurlDownloader::Session::ReleaseParts() { parts.clear(); }

void CMTCurlDownloader::Session::Start_Down() {
    Notify(DL_CODE_START, 1.0, L"");
    Utils::TraceAt(L"CMTCurlDownloader::Start_Down", 72, L"start download");
    if (savePath.empty()) {
        Notify(DL_CODE_FAIL, 1.0, L"");
        return;
    }
    const bool localFile = url.compare(0, 8, L"file:///") == 0;
    const std::string curlUrl = Utils::WideToMultiByte(url, localFile ? CP_ACP : CP_UTF8);

    Download::DeleteFileIfExists(savePath);
    if (lastPercent == 0.0) DeletePartFiles();
    if (realUrl.empty() || fileLength < Download::kMinimumPackage) {
        if (!getRealDownloadUrl(curlUrl)) {
            Notify(DL_CODE_FAIL, 0.0, L"LibCurl");
            return;
        }
    }

    BuildParts();
    for (const auto& part : parts) {
        if (part->state != -1) continue;
        if (m_Stopping) break;
        ++runningParts;
        const bool launched = workers.Launch(part.get(), L"", [this](void* node) {
            downloadThreadFun(static_cast<DownloadPartNode*>(node));
        });
        if (!launched) {
            --runningParts;  // the part stays pending and fails the attempt
            Utils::TraceAt(L"CMTCurlDownloader::Start_Down", __LINE__, L"no part thread: %lu", ::GetLastError());
        }
        // A second connection a moment after the first.
        if (!Pause(m_Options.timings.secondPartDelayMs)) break;
    }
    if (!workers.Launch(this, L"", [](void* session) { static_cast<Session*>(session)->waitForFinishThreadFun(); })) {
        Utils::TraceAt(L"CMTCurlDownloader::Start_Down", __LINE__, L"no completion thread: %lu", ::GetLastError());
    }
}

void CMTCurlDownloader::Session::BuildParts() {
    parts.clear();
    const std::vector<int32_t> sizes = Download::PartSizes(fileLength);
    int32_t offset = 0;
    for (size_t index = 0; index < sizes.size(); ++index) {
        auto part = std::make_unique<DownloadPartNode>();
        part->partPath = PartPath(static_cast<int>(index));
        part->url = realUrl;
        part->curl.reset(curl_easy_init());

        const int64_t existing = std::max<int64_t>(Download::FileSize(part->partPath), 0);
        part->downloaded = existing;
        part->nextOffset = static_cast<int32_t>(offset + existing);
        part->lastOffset = offset + sizes[index] - 1;
        if (part->nextOffset > part->lastOffset) {
            part->state = 0;
        } else {
            part->state = -1;
            part->file.reset(Download::OpenFile(part->partPath, L"ab+"));
            if (!part->file) part->state = kPartFileUnopenable;
        }
        parts.push_back(std::move(part));
        offset += sizes[index];
    }
}

bool CMTCurlDownloader::Session::getRealDownloadUrl(const std::string& curlUrl) {
    realUrl.clear();
    expectedMd5.clear();
    fileLength = 0;
    if (!m_Options.networkReady) return false;
    Download::UniqueCurl handle(curl_easy_init());
    if (!handle) return false;

    CURL* h = handle.get();
    const Download::UniqueCurlList headers = Download::MakeHeaderList({"Connection: keep-alive"});
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    int options = 0;
    options |= curl_easy_setopt(h, CURLOPT_URL, curlUrl.c_str());
    options |= curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    // TLS peer and host verification stay on: the package is run with administrator rights.
    options |= Download::SetBodylessProbeOptions(h, m_Options.timings, m_Options.caBundle, &Session::ProgressFunction,
                                                 this);
    if (options != CURLE_OK) return false;

    const int result = curl_easy_perform(h);
    if (result != CURLE_OK) {
        Utils::TraceAt(L"CMTCurlDownloader::getRealDownloadUrl", __LINE__, L"error:%d:%s", result,
                       Download::CurlErrorText(result).c_str());
        return false;
    }
    const std::string effective = CurlClient::GetEffectiveUrl(h);
    if (!effective.empty()) {
        realUrl = effective;
        Utils::TraceAt(L"CMTCurlDownloader::getRealDownloadUrl", 376, L"Download File real url %s",
                       Utils::MultiByteToWide(realUrl, CP_UTF8).c_str());
        expectedMd5 = Utils::GetMd5FromUrl(realUrl);
    }
    curl_off_t length = -1;
    long status = 0;
    if (curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
        curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK && StatusIsGood(status)) {
        // Offsets are 32-bit: a package of 2 GiB or more is refused like an unknown size.
        fileLength = length > INT32_MAX ? -1 : static_cast<int32_t>(length);
        Utils::TraceAt(L"CMTCurlDownloader::getRealDownloadUrl", 390, L"Download File Length %lld",
                       static_cast<long long>(fileLength));
    }
    return !realUrl.empty() && fileLength >= Download::kMinimumPackage;
}

void CMTCurlDownloader::Session::downloadThreadFun(DownloadPartNode* part) {
    int budget = kTransferBudget;
    int result = downloadExe(part);
    while (result != 0 && budget > 0 && !m_Stopping) {
        budget -= result == kPartialFile ? 1 : 2;
        Utils::TraceAt(L"CMTCurlDownloader::downloadThreadFun", 513, L"CurlDownLoader Code=%d", result);
        if (!Pause(m_Options.timings.partRetryPauseMs)) break;
        result = downloadExe(part);
    }
    part->file.reset();
    --runningParts;  // last act: the completion thread may go on from here
}

int CMTCurlDownloader::Session::downloadExe(DownloadPartNode* part) {
    const std::string range = Download::RangeText(part->nextOffset, part->lastOffset);
    Download::ResetAnswer(*part);

    CURL* h = part->curl.get();
    int options = 0;
    options |= curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    options |= curl_easy_setopt(h, CURLOPT_URL, part->url.c_str());
    options |= curl_easy_setopt(h, CURLOPT_TIMEOUT, 0L);
    options |= curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    options |= curl_easy_setopt(h, CURLOPT_BUFFERSIZE, Download::kReceiveBufferBytes);
    options |= curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &Download::ReadPartHeader);
    options |= curl_easy_setopt(h, CURLOPT_HEADERDATA, part);
    options |= curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &Download::WritePart);
    options |= curl_easy_setopt(h, CURLOPT_WRITEDATA, part);
    options |= curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    options |= curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &Session::ProgressFunction);
    options |= curl_easy_setopt(h, CURLOPT_XFERINFODATA, this);
    options |= curl_easy_setopt(h, CURLOPT_FAILONERROR, 1L);
    options |= curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, m_Options.timings.connectTimeoutSeconds);
    options |= Download::UseCaBundle(h, m_Options.caBundle);
    // TLS peer and host verification stay on (libcurl's default), as for the single stream.
    options |= curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    options |= curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, m_Options.timings.partLowSpeedTimeSeconds);
    options |= curl_easy_setopt(h, CURLOPT_RANGE, range.c_str());
    if (options != CURLE_OK) return options;

    const int result = curl_easy_perform(h);
    if (result == CURLE_OK) {
        Utils::TraceAt(L"CMTCurlDownloader::downloadExe", 467, L"curl_easy_cleanup");
    } else {
        Utils::TraceAt(L"CMTCurlDownloader::downloadExe", 463, L"error:%d:%s", result,
                       Download::CurlErrorText(result).c_str());
    }
    curl_easy_reset(h);  // keeps the connection for the next retry
    if (result == CURLE_OK) part->file.reset();
    part->state = result;
    return result;
}

int CMTCurlDownloader::Session::ProgressFunction(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    Session& session = *static_cast<Session*>(data);
    if (session.m_Stopping) return 1;

    std::lock_guard<std::mutex> guard(session.lock);
    const int64_t now = session.m_Options.clock();
    if (now <= session.lastProgressTime) return 0;
    session.lastProgressTime = now;

    std::vector<int64_t> downloaded;
    for (const auto& part : session.parts) downloaded.push_back(part->downloaded.load());
    const double percent = Download::PartsPercent(downloaded, session.fileLength);
    if (percent > 100.0) return 0;
    if (percent - session.lastPercent >= 1.0) {
        session.lastPercent = percent;
        session.Notify(DL_CODE_PROGRESS, percent / 100.0, L"");
    }
    return 0;
}

void CMTCurlDownloader::Session::waitForFinishThreadFun() {
    while (runningParts > 0) {
        if (!Pause(m_Options.timings.finishPollMs)) return;  // stopping: the owner waits for the parts
    }
    if (m_Stopping) return;

    for (const auto& part : parts) {
        if (part->state != 0) {
            EndAttempt(part->state);
            return;
        }
    }

    lastPercent = 0.0;
    if (!JoinParts()) {
        DeletePartFiles();
        EndAttempt(kCannotMakeSavePath);
        return;
    }

    if (expectedMd5.size() != 32) {
        Notify(DL_CODE_REPORT, 0.0, L"mtcurl获取url-md5失败");
    } else {
        const std::string actualMd5 = Utils::GetFileMd5W(savePath);
        if (actualMd5.size() == 32 && actualMd5 != expectedMd5) {
            Notify(DL_CODE_REPORT, 0.0, L"mtcurl文件md5校验失败");
            Download::DeleteFileIfExists(savePath);
            ReleaseParts();
            if (!md5Retried) {
                md5Retried = true;
                Utils::TraceAt(L"CMTCurlDownloader::waitForFinishThreadFun", 263, L"finish recv, md5 chaek failed retry once.");
                Notify(DL_CODE_RETRY, 0.0, L"LibCurl");
            } else {
                Utils::TraceAt(L"CMTCurlDownloader::waitForFinishThreadFun", 268,
                               L"finish recv, md5 chaek failed and retry failed.");
                Notify(DL_CODE_FAIL, 0.0, L"LibCurl");
            }
            return;
        }
    }
    Utils::TraceAt(L"CMTCurlDownloader::waitForFinishThreadFun", 280, L"finish recv");
    ReleaseParts();
    Notify(DL_CODE_SUCCESS, 0.0, L"LibCurl");
}

void CMTCurlDownloader::Session::EndAttempt(int failCode) {
    ReleaseParts();
    // Part files are kept for the retry only when the attempt got somewhere.
    if (lastPercent == 0.0) DeletePartFiles();
    if (!md5Retried) {
        md5Retried = true;
        Notify(DL_CODE_RETRY, failCode, L"LibCurl");
    } else {
        lastPercent = 0.0;
        Notify(DL_CODE_FAIL, failCode, L"LibCurl");
    }
}

bool CMTCurlDownloader::Session::JoinParts() {
    {
        Download::UniqueFile joined(Download::OpenFile(PartPath(0), L"ab+"));
        for (size_t index = 1; index < parts.size(); ++index) {
            Download::UniqueFile source(Download::OpenFile(parts[index]->partPath, L"rb"));
            if (!source) continue;  // the joined file is then short and its digest rejects it
            char block[kJoinBlock];
            size_t read = 0;
            while (joined && (read = std::fread(block, 1, sizeof(block), source.get())) > 0) {
                std::fwrite(block, 1, read, joined.get());
            }
            source.reset();
            Utils::TraceAt(L"CMTCurlDownloader::waitForFinishThreadFun", 236, L"partPath::%s",
                           parts[index]->partPath.c_str());
        }
    }
    // savePath must really hold the package afterwards; a file that cannot be replaced
    // (held open by another program) or a folder in the way fails the attempt.
    const bool made = Download::DeleteFileIfExists(savePath) && Download::RenameFile(PartPath(0), savePath);
    if (!made) {
        Utils::TraceAt(L"CMTCurlDownloader::waitForFinishThreadFun", __LINE__, L"cannot move %s to %s, error %lu",
                       PartPath(0).c_str(), savePath.c_str(), ::GetLastError());
    }
    DeletePartFiles();
    return made;
}
