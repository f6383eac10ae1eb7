// Built only while the build has no downloader library (see CMakeLists.txt): every
// download attempt fails at once with code -1, on a worker as a real attempt would.
#include <memory>
#include <string>

#include "download/downloader.h"
#include "utils/thread.h"

namespace {

class PendingDownloader : public CDownloader {
public:
    explicit PendingDownloader(DownloadCallback callback) : m_Callback(std::move(callback)) {}
    ~PendingDownloader() override { m_Worker.reset(); }

    void Start() override {
        m_Worker.reset();
        m_Worker = std::make_unique<Utils::Thread>(this, L"PendingDownload", [](void* self) {
            auto* downloader = static_cast<PendingDownloader*>(self);
            downloader->m_Callback(DL_CODE_START, 1.0, L"");
            downloader->m_Callback(DL_CODE_FAIL, -1.0, L"no downloader in this build");
        });
        m_Worker->Resume();
    }

private:
    DownloadCallback m_Callback;
    std::unique_ptr<Utils::Thread> m_Worker;
};

}  // namespace

std::unique_ptr<CDownloader> CreateDownloader(int, const DownloadCallback& callback, const std::wstring&,
                                              const std::wstring&) {
    return std::make_unique<PendingDownloader>(callback);
}
