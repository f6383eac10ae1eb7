// The whole pipeline on the road: the product's own downloaders (CreateProductDownloader)
// fetch the fake package from nginx on loopback, behind its "/software/<name>" redirect to
// "/pkg/<md5>/<name>", and the package runner runs what arrived. The launcher
// tools/servers/with_servers.py serves the fake package (padded past 1 MiB) under the name
// below; see CMakeLists.txt.
#include <winsock2.h>  // before windows.h, which the pipeline's header brings

#include "install/download_installer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "app/installer_settings.h"
#include "install/admin_facts.h"
#include "install/previous_installation.h"
#include "tests/download/download_test_support.h"
#include "tests/install/event_recorder.h"
#include "tests/install/pipeline_sandbox.h"
#include "tests/support/temp_folder.h"
#include "tests/support/trace_capture.h"
#include "tests/utils/test_registry_key.h"
#include "tools/fakes/fake_script.h"
#include "utils/file_md5.h"
#include "utils/text_convert.h"
#include "utils/folder_helpers.h"
#include "utils/product_registry.h"

namespace {

using Codes = std::vector<int>;
using DownloadTest::Wide;
using Fakes::ToUtf8;

// The fake package as the launcher serves it (CMakeLists.txt).
constexpr char kPackage[] = "lumivox-package.exe";
constexpr char kNginxLog[] = "nginx-access.log";

// The events that end one start of the pipeline.
const Codes kEndings = {DL_CODE_FAIL, INSTALL_SUCCESS, IST_CODE_FAIL, UNIST_CODE_FAIL, UNIST_CODE_ERROR};

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool Contains(const std::string& text, const std::string& fragment) { return text.find(fragment) != std::string::npos; }

std::wstring PackageUrl(const std::string& name) { return Wide(DownloadTest::NginxUrl("/software/" + name)); }

// Where nginx serves the package without its redirect.
std::string PackagePath() { return "/pkg/" + DownloadTest::Md5Of(kPackage) + "/" + kPackage; }

// A package server that is down at first and comes back: its port refuses every connection
// until Open, and from then on answers every request with a redirect to `location`.
class LateRedirect {
public:
    explicit LateRedirect(std::string location) : m_Location(std::move(location)) {
        WSADATA data;
        m_Started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
        m_Socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        int length = sizeof(address);
        // Bound but not listening: connections are refused, and the port stays ours.
        if (m_Socket != INVALID_SOCKET && ::bind(m_Socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
            ::getsockname(m_Socket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            m_Port = ::ntohs(address.sin_port);
        }
    }
    ~LateRedirect() {
        m_Stopping = true;
        if (m_Server.joinable()) m_Server.join();
        if (m_Socket != INVALID_SOCKET) ::closesocket(m_Socket);
        if (m_Started) ::WSACleanup();
    }
    LateRedirect(const LateRedirect&) = delete;
    LateRedirect& operator=(const LateRedirect&) = delete;

    std::wstring Url(const std::string& path) const {
        return L"http://127.0.0.1:" + std::to_wstring(m_Port) + Wide(path);
    }
    bool Open() {
        if (m_Port == 0 || ::listen(m_Socket, SOMAXCONN) != 0) return false;
        m_Server = std::thread([this] { Serve(); });
        return true;
    }

private:
    // Wakes up every 100 ms to see whether the test is over.
    static bool Readable(SOCKET socket, long microseconds) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(socket, &set);
        timeval wait{0, microseconds};
        return ::select(0, &set, nullptr, nullptr, &wait) == 1;
    }
    void Serve() {
        while (!m_Stopping) {
            if (!Readable(m_Socket, 100000)) continue;
            const SOCKET client = ::accept(m_Socket, nullptr, nullptr);
            if (client == INVALID_SOCKET) continue;
            // The request's head, read within a bound; its content does not matter.
            std::string head;
            char buffer[4096];
            for (int waits = 0; head.find("\r\n\r\n") == std::string::npos && waits < 50 && !m_Stopping;) {
                if (!Readable(client, 100000)) {
                    ++waits;
                    continue;
                }
                const int got = ::recv(client, buffer, sizeof(buffer), 0);
                if (got <= 0) break;
                head.append(buffer, static_cast<size_t>(got));
            }
            const std::string answer = "HTTP/1.1 302 Found\r\nLocation: " + m_Location +
                                       "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
            ::send(client, answer.data(), static_cast<int>(answer.size()), 0);
            ::shutdown(client, SD_BOTH);
            ::closesocket(client);
        }
    }

    std::string m_Location;
    bool m_Started = false;
    SOCKET m_Socket = INVALID_SOCKET;
    int m_Port = 0;
    std::atomic<bool> m_Stopping{false};
    std::thread m_Server;
};

// One pipeline as the window drives it, with the product's downloaders, in a folder of the
// test's own: the install folder (with a blank in its path), the working temp folder and the
// product's registry key all live apart from the machine's.
class Road : public ::testing::Test {
protected:
    void SetUp() override {
        m_Sandbox.emplace(m_Folder.Path());

        m_InstallDir = m_Folder.File(L"Program Files\\lumivoxApp");
        m_PackagePath = PackagePathFor(m_InstallDir);
        // The package's folder does not exist before the download, so its script is named on
        // its command line through the settings' extra switches.
        m_PackageScript = m_Folder.File(L"package.script");
        m_PackageRecord = m_Folder.File(L"package command line.txt");
        g_InstallerSettings.m_InstCmd = L"-fakescript=\"" + m_PackageScript + L"\"";
        g_InstallerSettings.m_InsNew = false;
        g_InstallerSettings.m_DownloadType = 1;
        g_InstallerSettings.m_NetworkReady = true;
        ASSERT_TRUE(Fakes::WriteScript(m_PackageScript, "record " + ToUtf8(m_PackageRecord) +
                                                            "\nline Progress=0.5\nline State=Success\n"));
        // The package file as the download left it, before anything ran it.
        m_Recorder.SetHook([this](const RecordedEvent& event) {
            if (event.code == DL_CODE_SUCCESS) m_DownloadedMd5 = Utils::GetFileMd5W(m_PackagePath);
        });
        m_LogMark = DownloadTest::LogLines(kNginxLog, "").size();
    }

    void TearDown() override {
        m_Pipeline.reset();
        m_Sandbox.reset();
        // The pipeline's own account of a failed case.
        if (HasFailure()) {
            for (const std::wstring& line : m_Trace.Lines()) std::cerr << Utils::WideToUtf8(line);
        }
    }

    // One start as the window makes it (SetParams, then Start); true once the start has ended.
    bool StartAndWaitForEnd(const std::wstring& url, const std::wstring& uninstaller = L"") {
        if (!m_Pipeline) {
            m_Pipeline = std::make_unique<CDownloadInstaller>(m_Recorder.Callback(), L"", L"", L"", true, true, true);
        }
        m_Pipeline->SetParams(url, uninstaller, m_InstallDir, true, false, true, true, L"zh-CN");
        m_Pipeline->Start();
        return m_Recorder.WaitForAny(kEndings, ++m_Starts);
    }

    // Destroys the pipeline, which waits for everything it started.
    void Finish() { m_Pipeline.reset(); }

    // The previous version as the window learns it: a record naming "<test>\Old Version",
    // read back. Its uninstaller is the fake uninstaller following `script`, or missing when
    // `script` is null.
    std::wstring RecordPreviousVersion(const char* script) {
        const std::wstring oldDir = m_Folder.File(L"Old Version");
        ::CreateDirectoryW(oldDir.c_str(), nullptr);
        if (script != nullptr) {
            EXPECT_TRUE(::CopyFileW(Fakes::FakeUninstallerPath().c_str(), (oldDir + L"\\uninst.ep").c_str(), FALSE));
            // The uninstaller runs from its working copy, which reads the script beside it.
            const std::wstring copy = UninstallerCopyPathIn(Utils::GetWorkTempFolder());
            EXPECT_TRUE(Fakes::WriteScript(Fakes::ScriptPathFor(copy), script));
        }
        EXPECT_TRUE(Utils::WriteProductRegValue(L"InstallPath", oldDir));
        PreviousInstallation previous;
        previous.ReadInstallRecord();
        EXPECT_EQ(previous.m_PreviousUninstaller, oldDir + L"\\uninst.ep");
        return previous.m_PreviousUninstaller;
    }

    // The codes in order, download progress left out (its count depends on timing), after
    // checking that every progress value is a fraction.
    Codes Phases() const {
        Codes codes;
        for (const RecordedEvent& event : m_Recorder.Events()) {
            if (event.code == DL_CODE_PROGRESS) {
                EXPECT_GT(event.progress, 0.0);
                EXPECT_LE(event.progress, 1.0);
                continue;
            }
            codes.push_back(event.code);
        }
        return codes;
    }

    std::vector<RecordedEvent> EventsWith(int code) const {
        std::vector<RecordedEvent> found;
        for (const RecordedEvent& event : m_Recorder.Events()) {
            if (event.code == code) found.push_back(event);
        }
        return found;
    }

    // Requests nginx logged since the test began that hold `fragment`, each
    // "<method> <uri> range=<Range or -> status=<code>".
    std::vector<std::string> Requests(const std::string& fragment) const {
        const std::vector<std::string> all = DownloadTest::LogLines(kNginxLog, "");
        std::vector<std::string> found;
        for (size_t i = m_LogMark; i < all.size(); ++i) {
            if (Contains(all[i], fragment)) found.push_back(all[i]);
        }
        return found;
    }

    // After Finish: the file that arrived was the served package, the package runner ran it
    // from the install folder, and it is gone again.
    void ExpectInstalledFromDownload(const std::string& name) const {
        EXPECT_EQ(m_DownloadedMd5, DownloadTest::Md5Of(name)) << "the package as downloaded";
        const std::string commandLine = Fakes::ReadBytes(m_PackageRecord);
        EXPECT_EQ(commandLine.rfind(ToUtf8(L"\"" + m_PackagePath + L"\" /S -console=show -version=1.0.0"), 0), 0u)
            << commandLine;
        EXPECT_FALSE(Exists(m_PackagePath)) << "no package file is left behind";
        EXPECT_EQ(CDownloadInstaller::LastPackagePath(), m_PackagePath);
        EXPECT_EQ(EventsWith(INSTALL_SUCCESS), (std::vector<RecordedEvent>{{2003, 0.0, L""}}));
    }

    std::optional<PipelineSandbox> m_Sandbox;
    TestSupport::TempFolder m_Folder;
    TestSupport::TestRegistryKey m_Registry;
    TestSupport::TraceCapture m_Trace;
    std::wstring m_InstallDir;
    std::wstring m_PackagePath;
    std::wstring m_PackageScript;
    std::wstring m_PackageRecord;
    EventRecorder m_Recorder;
    std::string m_DownloadedMd5;
    size_t m_LogMark = 0;
    size_t m_Starts = 0;
    std::unique_ptr<CDownloadInstaller> m_Pipeline;
};

// --- A first install and the previous version's uninstall in front of the download ---------

struct PreviousVersionCase {
    const char* name;
    enum Previous { kNone, kWithUninstaller, kUninstallerGone } previous;
    const char* uninstallerScript;
    Codes phases;  // without download progress
    bool downloads;
};
void PrintTo(const PreviousVersionCase& scenario, std::ostream* out) { *out << scenario.name; }

class PreviousVersion : public Road, public ::testing::WithParamInterface<PreviousVersionCase> {};

TEST_P(PreviousVersion, UninstallsWhenAskedThenDownloadsAndInstalls) {
    const PreviousVersionCase& scenario = GetParam();
    const std::wstring uninstaller = scenario.previous == PreviousVersionCase::kNone
                                         ? std::wstring()
                                         : RecordPreviousVersion(scenario.uninstallerScript);
    ASSERT_TRUE(StartAndWaitForEnd(PackageUrl(kPackage), uninstaller));
    Finish();

    EXPECT_EQ(Phases(), scenario.phases);
    if (!scenario.downloads) {
        EXPECT_TRUE(Requests("").empty()) << "nothing is downloaded";
        EXPECT_FALSE(Exists(m_InstallDir));
        EXPECT_FALSE(Exists(m_PackageRecord)) << "no package ran";
        return;
    }
    ExpectInstalledFromDownload(kPackage);
    EXPECT_FALSE(Requests(" /software/" + std::string(kPackage) + " range=- status=302").empty()) << "redirected";
    EXPECT_EQ(Requests("GET " + PackagePath() + " range=- status=200").size(), 1u);
    EXPECT_EQ(EventsWith(DL_CODE_START), (std::vector<RecordedEvent>{{1001, 1.0, L""}}));
    EXPECT_EQ(EventsWith(DL_CODE_SUCCESS), (std::vector<RecordedEvent>{{1003, 0.0, L"LibCurl"}}));
}

INSTANTIATE_TEST_SUITE_P(
    Road, PreviousVersion,
    ::testing::Values(
        PreviousVersionCase{"FirstInstall", PreviousVersionCase::kNone, nullptr,
                            {1001, 1003, 2001, 2002, 2002, 2003}, true},
        PreviousVersionCase{"PreviousVersionIsUninstalledFirst", PreviousVersionCase::kWithUninstaller,
                            "line Progress=0.5\nline State=Success\n",
                            {5002, 5002, 5003, 1001, 1003, 2001, 2002, 2002, 2003}, true},
        PreviousVersionCase{"PreviousVersionWithoutItsUninstaller", PreviousVersionCase::kUninstallerGone, nullptr,
                            {1001, 1003, 2001, 2002, 2002, 2003}, true},
        PreviousVersionCase{"FailedUninstallStopsBeforeTheDownload", PreviousVersionCase::kWithUninstaller,
                            "line Progress=0.5\nline State=Fail\n", {5002, 5002, 5005}, false}),
    [](const ::testing::TestParamInfo<PreviousVersionCase>& info) { return std::string(info.param.name); });

// --- Which downloader each download type gets, each installing the same package ------------

enum class Downloader { kSingleStream, kSystem, kMultiPart };

struct DownloadTypeCase {
    int type;
    Downloader expected;
};
void PrintTo(const DownloadTypeCase& scenario, std::ostream* out) { *out << "type " << scenario.type; }

class DownloadTypes : public Road, public ::testing::WithParamInterface<DownloadTypeCase> {};

TEST_P(DownloadTypes, EachTypeInstallsTheSamePackageWithItsOwnDownloader) {
    const DownloadTypeCase& scenario = GetParam();
    g_InstallerSettings.m_DownloadType = scenario.type;
    ASSERT_TRUE(StartAndWaitForEnd(PackageUrl(kPackage)));
    Finish();

    EXPECT_EQ(Phases(), (Codes{1001, 1003, 2001, 2002, 2002, 2003}));
    ExpectInstalledFromDownload(kPackage);
    EXPECT_EQ(m_Trace.LinesContaining(L"(CDownloadInstaller::Start)<0189>: DL_TYPE=" + std::to_wstring(scenario.type) +
                                      L"\r\n").size(), 1u);

    // Each downloader leaves its own marks: the libcurl ones their traces, the multi-part one
    // byte ranges, the system service its own name and no size probe.
    const bool singleStream = scenario.expected == Downloader::kSingleStream;
    const bool multiPart = scenario.expected == Downloader::kMultiPart;
    const bool system = scenario.expected == Downloader::kSystem;
    EXPECT_EQ(!m_Trace.LinesContaining(L"(CurlClient::Start)<0060>: start download").empty(), singleStream);
    EXPECT_EQ(!m_Trace.LinesContaining(L"(CMTCurlDownloader::Start_Down)<0072>: start download").empty(), multiPart);
    EXPECT_EQ(EventsWith(DL_CODE_SUCCESS),
              (std::vector<RecordedEvent>{{1003, 0.0, system ? L"URLDownloadToFile" : L"LibCurl"}}));
    const std::vector<std::string> gets = Requests("GET " + PackagePath());
    ASSERT_FALSE(gets.empty());
    for (const std::string& get : gets) EXPECT_EQ(Contains(get, "range=bytes="), multiPart) << get;
    EXPECT_EQ(Requests("HEAD ").empty(), system);
}

INSTANTIATE_TEST_SUITE_P(Road, DownloadTypes,
                         ::testing::Values(DownloadTypeCase{0, Downloader::kSingleStream},
                                           DownloadTypeCase{1, Downloader::kSingleStream},
                                           DownloadTypeCase{7, Downloader::kSingleStream},
                                           DownloadTypeCase{2, Downloader::kSystem},
                                           DownloadTypeCase{3, Downloader::kMultiPart}),
                         [](const ::testing::TestParamInfo<DownloadTypeCase>& info) {
                             return "Type" + std::to_string(info.param.type);
                         });

// --- What the package makes of the install --------------------------------------------------

struct PackageOutcomeCase {
    const char* name;
    const char* script;  // "{package}" stands for the package file's path
    RecordedEvent ending;
};
void PrintTo(const PackageOutcomeCase& scenario, std::ostream* out) { *out << scenario.name; }

class PackageOutcome : public Road, public ::testing::WithParamInterface<PackageOutcomeCase> {};

// However the package ends, its file goes: at the end of the attempt, or once the package has
// ended when it still ran then.
TEST_P(PackageOutcome, EndsTheStartAndTakesThePackageFileAway) {
    const PackageOutcomeCase& scenario = GetParam();
    std::string script = scenario.script;
    const size_t placeholder = script.find("{package}");
    if (placeholder != std::string::npos) script.replace(placeholder, 9, ToUtf8(m_PackagePath));
    ASSERT_TRUE(Fakes::WriteScript(m_PackageScript, script));
    ASSERT_TRUE(StartAndWaitForEnd(PackageUrl(kPackage)));
    Finish();

    EXPECT_EQ(Phases(), (Codes{1001, 1003, 2001, 2002, scenario.ending.code}));
    EXPECT_EQ(m_Recorder.Events().back(), scenario.ending);
    EXPECT_FALSE(Exists(m_PackagePath));
    EXPECT_EQ(CDownloadInstaller::LastPackagePath(), m_PackagePath);
}

INSTANTIATE_TEST_SUITE_P(
    Road, PackageOutcome,
    ::testing::Values(
        PackageOutcomeCase{"ReportsFailure", "line State=Fail\n", {2004, 0.0, L"安装包安装失败"}},
        PackageOutcomeCase{"ReportsAnErrorInUtf8", "line Encode=UTF8\nline Error=磁盘空间不足\n",
                           {2004, 1000.0, L"磁盘空间不足"}},
        PackageOutcomeCase{"FailsAndRunsOnHoldingItsFile", "hold {package}\nline State=Fail\nsleep 1500\n",
                           {2004, 0.0, L"安装包安装失败"}},
        PackageOutcomeCase{"EndsWithoutAState", "exit 3\n", {2003, 1.0, L""}}),
    [](const ::testing::TestParamInfo<PackageOutcomeCase>& info) { return std::string(info.param.name); });

// --- A bad file, a refusing server, and the window's retry ---------------------------------

// The first body has bytes too many, so its digest does not match the folder it came from;
// the downloader asks for another attempt, which the pipeline starts at once.
TEST_F(Road, ADigestMismatchIsDownloadedAgainAndInstalled) {
    const std::string path = "/f/" + DownloadTest::UniqueToken() + "/g.extra4096.ok/" + DownloadTest::Md5Of(kPackage) +
                             "/" + kPackage;
    ASSERT_TRUE(StartAndWaitForEnd(Wide(DownloadTest::FaultUrl("/chain/1" + path))));
    Finish();

    EXPECT_EQ(Phases(), (Codes{1001, 1006, 1005, 1001, 1003, 2001, 2002, 2002, 2003}));
    EXPECT_EQ(EventsWith(DL_CODE_REPORT), (std::vector<RecordedEvent>{{1006, 0.0, L"curl文件md5校验失败"}}));
    EXPECT_EQ(EventsWith(DL_CODE_RETRY), (std::vector<RecordedEvent>{{1005, 0.0, L"LibCurl"}}));
    ExpectInstalledFromDownload(kPackage);
    EXPECT_EQ(DownloadTest::LogLines("fault-requests.log", "GET " + path + " ").size(), 2u);
    EXPECT_EQ(m_Trace.LinesContaining(L"(CDownloadInstaller::Start::DownloadHandler)<0101>: DL_CODE_RETRY\r\n").size(),
              1u);
}

enum class Refusal { kNotFound, kConnectionRefused };

struct FailureCase {
    const char* name;
    int type;
    Refusal refusal;
    // The 1004's text; null where the system service decides what the refusal is (under
    // Wine it takes an error page for the file, which the package runner cannot start).
    const wchar_t* text;
};
void PrintTo(const FailureCase& scenario, std::ostream* out) { *out << scenario.name; }

class DownloadFailure : public Road, public ::testing::WithParamInterface<FailureCase> {};

// A package file an earlier run left in the folder goes too: no failed start leaves one.
TEST_P(DownloadFailure, EndsTheStartWithoutAnInstallOrAPackageFile) {
    const FailureCase& scenario = GetParam();
    g_InstallerSettings.m_DownloadType = scenario.type;
    ASSERT_TRUE(Utils::CreateDirectoryTree(m_InstallDir));
    m_Folder.Write(L"Program Files\\lumivoxApp\\__Package_lumivoxApp.exe", "left by an earlier run");
    LateRedirect down(DownloadTest::NginxUrl(PackagePath()));  // never opened
    const std::wstring url = scenario.refusal == Refusal::kNotFound ? PackageUrl("not-served.exe")
                                                                    : down.Url("/software/" + std::string(kPackage));
    ASSERT_TRUE(StartAndWaitForEnd(url));
    Finish();

    EXPECT_FALSE(Exists(m_PackagePath));
    EXPECT_EQ(CDownloadInstaller::LastPackagePath(), m_PackagePath);
    EXPECT_TRUE(EventsWith(INSTALL_SUCCESS).empty());
    EXPECT_FALSE(Exists(m_PackageRecord)) << "no package ran";
    if (scenario.text == nullptr) return;
    EXPECT_EQ(Phases(), (Codes{1001, 1004}));
    const std::vector<RecordedEvent> failures = EventsWith(DL_CODE_FAIL);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].text, scenario.text);
}

INSTANTIATE_TEST_SUITE_P(
    Road, DownloadFailure,
    ::testing::Values(FailureCase{"SingleStreamNotFound", 1, Refusal::kNotFound, L"LibCurl"},
                      FailureCase{"SingleStreamConnectionRefused", 1, Refusal::kConnectionRefused, L"LibCurl"},
                      FailureCase{"MultiPartNotFound", 3, Refusal::kNotFound, L"LibCurl"},
                      FailureCase{"MultiPartConnectionRefused", 3, Refusal::kConnectionRefused, L"LibCurl"},
                      FailureCase{"SystemNotFound", 2, Refusal::kNotFound, nullptr},
                      FailureCase{"SystemConnectionRefused", 2, Refusal::kConnectionRefused, L"URLDownloadToFile"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

class WindowRetry : public Road, public ::testing::WithParamInterface<int> {};

// After 1004 the window offers a retry: SetParams and Start again on the same pipeline, which
// keeps its downloader, and the downloader its URL. A server that was down and is back then
// serves the package.
TEST_P(WindowRetry, ARetryAfterAFailedDownloadInstallsOnceTheServerIsBack) {
    g_InstallerSettings.m_DownloadType = GetParam();
    LateRedirect server(DownloadTest::NginxUrl(PackagePath()));
    const std::wstring url = server.Url("/software/" + std::string(kPackage));
    ASSERT_TRUE(StartAndWaitForEnd(url));
    EXPECT_EQ(Phases(), (Codes{1001, 1004}));
    EXPECT_FALSE(Exists(m_PackagePath));

    ASSERT_TRUE(server.Open());
    ASSERT_TRUE(StartAndWaitForEnd(url));
    Finish();
    EXPECT_EQ(Phases(), (Codes{1001, 1004, 1001, 1003, 2001, 2002, 2002, 2003}));
    ExpectInstalledFromDownload(kPackage);
}

INSTANTIATE_TEST_SUITE_P(Road, WindowRetry, ::testing::Values(1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info) { return "Type" + std::to_string(info.param); });

// The multi-part downloader asks nothing of a network the installer found unusable at start.
TEST_F(Road, TheNetworkStateReachesTheDownloader) {
    g_InstallerSettings.m_DownloadType = 3;
    g_InstallerSettings.m_NetworkReady = false;
    ASSERT_TRUE(StartAndWaitForEnd(PackageUrl(kPackage)));
    Finish();
    EXPECT_EQ(Phases(), (Codes{1001, 1004}));
    EXPECT_EQ(EventsWith(DL_CODE_FAIL), (std::vector<RecordedEvent>{{1004, 0.0, L"LibCurl"}}));
    EXPECT_TRUE(Requests("").empty());
}

}  // namespace
