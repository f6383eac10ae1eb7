// The downloader that hands the whole job to the system's URL download service: no
// resuming, no size probe, no MD5 check; three attempts with a pause after each failure.
// Progress comes from the service's bind-status calls on the worker.
//
// The first worker is created suspended by the constructor and resumed by the first
// `Start`; every later `Start` begins a new attempt on a new worker, after the previous one
// has ended. Destroying the downloader asks the service to stop at its next progress call
// and waits, with a bound, for the worker; a worker that was never resumed ends at once.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <atomic>
#include <memory>
#include <string>

#include "download/download_options.h"
#include "download/downloader.h"
#include "download/worker_threads.h"

// The service's entry point, replaceable by tests.
using UrlDownloadFunction = HRESULT(__stdcall*)(IUnknown* caller, LPCWSTR url, LPCWSTR fileName, DWORD reserved,
                                                IBindStatusCallback* callback);

class CWinDownloader : public CDownloader {
public:
    class CBindCallback : public IBindStatusCallbackEx {
    public:
        CBindCallback() = default;
        virtual ~CBindCallback();

        // IUnknown: the object lives inside its downloader and is never freed through these.
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
        ULONG STDMETHODCALLTYPE Release() override { return 0; }
        // IBindStatusCallback
        HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding* binding) override;
        HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                             LPCWSTR statusText) override;
        HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* bindInfo) override;
        HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return E_NOTIMPL; }
        // IBindStatusCallbackEx
        HRESULT STDMETHODCALLTYPE GetBindInfoEx(DWORD*, BINDINFO*, DWORD*, DWORD*) override { return E_NOTIMPL; }

        DownloadCallback progressCallback;
        std::atomic<bool> abort{false};
        IBinding* binding = nullptr;  // kept as the service hands it; not used further
    };

    CWinDownloader(const DownloadCallback& callback, const std::wstring& url, const std::wstring& savePath,
                   const DownloadOptions& options = DownloadOptions(), UrlDownloadFunction download = nullptr);
    ~CWinDownloader() override;

    void Start() override;

    // Everything the worker touches; it lives apart so that a worker which does not stop
    // within the bound at destruction keeps valid memory.
    struct Session;

private:
    std::unique_ptr<Session> m_Session;
};
