// Prints, in one run, what a skinned main window costs against a bare Win32 window of the
// same size that only fills its background:
//   create  — from nothing to a shown, painted window (for the skinned one: unpacking the
//             skin archive, building the tree and decoding the images it shows)
//   repaint — one full repaint of the 600 × 400 client area
// Goals for the skinned window: create under 150 ms, repaint under 8 ms. No figure here
// is asserted; the ratios compare the two windows measured side by side in this run.
// Both figures also go out as RESULT lines (bench/bench_result.h); the exit code is 1 when a
// window could not be made (no window, or the layout's tree is missing).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_result.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/skin_archive.h"
#include "ui/toolkit/skin_frame.h"
#include "ui/toolkit/skin_image.h"

namespace {

using namespace SkinUI;

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A full synchronous repaint of the whole client area.
double RepaintMs(HWND window, int rounds) {
    std::vector<double> samples;
    for (int i = 0; i < rounds; ++i) {
        const double start = NowMs();
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        samples.push_back(NowMs() - start);
    }
    return Median(samples);
}

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        ::FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

struct Figures {
    double createMs;
    double repaintMs;
    bool made;  // the window exists and, for the skinned one, holds its layout's tree
};

Figures MeasureBare(int round) {
    const double start = NowMs();
    const std::wstring className = L"LumivoxBenchBare" + std::to_wstring(round);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = BareProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className.c_str();
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, className.c_str(), L"bare", WS_POPUP, 100, 100, 600, 400, nullptr, nullptr,
                                    windowClass.hInstance, nullptr);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    ::UpdateWindow(window);
    const double created = NowMs() - start;
    PumpPending();
    if (window == nullptr) return Figures{created, 0.0, false};
    const double repaint = RepaintMs(window, 60);
    ::DestroyWindow(window);
    PumpPending();
    return Figures{created, repaint, true};
}

class BenchFrame : public CSkinFrame {
public:
    BenchFrame() : CSkinFrame(MakeSkinSource(L"MainWnd.xml")) {}
};

Figures MeasureSkinned() {
    const double start = NowMs();
    BenchFrame frame;
    frame.Create(nullptr, L"Lumivox", WS_POPUP, 0, 100, 100, 600, 400);
    frame.ShowWindow(true, false);
    ::UpdateWindow(frame.GetHWND());
    const double created = NowMs() - start;
    PumpPending();
    if (frame.GetHWND() == nullptr || frame.FindControl(L"closebtn") == nullptr) return Figures{created, 0.0, false};
    const double repaint = RepaintMs(frame.GetHWND(), 60);
    return Figures{created, repaint, true};
}

// Decoding every image of the archive, for scale: the window decodes only what it shows.
double DecodeAllMs(int* count) {
    SkinArchive archive;
    const double start = NowMs();
    archive.OpenResource(::GetModuleHandleW(nullptr), 147);
    *count = 0;
    for (const SkinArchive::Item& item : archive.Items()) {
        if (item.path.size() > 4 && item.path.compare(item.path.size() - 4, 4, L".png") == 0) {
            if (SkinImage::Decode(item.data, item.size)) ++*count;
        }
    }
    return NowMs() - start;
}

}  // namespace

int main() {
    // A desktop of this process's own: under Wine its window server starts from this
    // process's environment and so uses the display the run script gave it.
    const std::wstring desktopName = L"lumivox-toolkit-bench-" + std::to_wstring(::GetCurrentProcessId());
    HDESK desktop = ::CreateDesktopW(desktopName.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop != nullptr) ::SetThreadDesktop(desktop);
    // The first window of a process pays for loading GDI and the display driver; one
    // throw-away bare window takes that cost out of both measurements.
    MeasureBare(0);
    const Figures bare = MeasureBare(1);
    std::vector<Figures> skinned;
    for (int i = 0; i < 5; ++i) skinned.push_back(MeasureSkinned());
    bool made = bare.made;
    std::vector<double> creates, repaints;
    for (const Figures& f : skinned) {
        made = made && f.made;
        creates.push_back(f.createMs);
        repaints.push_back(f.repaintMs);
    }
    const double skinnedCreate = Median(creates);
    const double skinnedRepaint = Median(repaints);
    int decoded = 0;
    const double decodeAll = DecodeAllMs(&decoded);

    std::printf("toolkit benchmark (median of 5 skinned windows, 60 repaints each)\n");
    std::printf("  %-28s %10s %10s %8s %8s\n", "", "skinned", "bare", "ratio", "goal");
    std::printf("  %-28s %8.2fms %8.2fms %7.1fx %6.0fms\n", "create main window", skinnedCreate, bare.createMs,
                skinnedCreate / std::max(bare.createMs, 0.001), 150.0);
    std::printf("  %-28s %8.2fms %8.2fms %7.1fx %6.0fms\n", "full repaint 600x400", skinnedRepaint, bare.repaintMs,
                skinnedRepaint / std::max(bare.repaintMs, 0.001), 8.0);
    std::printf("  unpack archive + decode all %d images: %.2fms\n", decoded, decodeAll);
    if (!made) {
        std::printf("a window could not be made; no figures\n");
        return 1;
    }
    Bench::PrintResult("main window created (skin unpacked, images decoded)", skinnedCreate, "ms", bare.createMs,
                       "bare window", {Bench::GoalOn::Value, Bench::Bound::Below, 150.0});
    Bench::PrintResult("full repaint of the 600x400 main window", skinnedRepaint, "ms", bare.repaintMs, "bare window",
                       {Bench::GoalOn::Value, Bench::Bound::Below, 8.0});
    return 0;
}
