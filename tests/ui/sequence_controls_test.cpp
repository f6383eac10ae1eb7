// The frame-sequence controls in a real window: attributes from layout markup, the frames
// each timer tick shows, and the timer that stops at the end of a sequence without loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/ui/window_driver.h"
#include "ui/sequence_controls.h"
#include "ui/toolkit/dialog_builder.h"
#include "ui/toolkit/skin_frame.h"

namespace {

// Remembers the frame shown after every tick of its frame timer.
class RecordingSequenceLabel : public CSequenceLabelUI {
public:
    void DoEvent(SkinUI::ControlEvent& event) override {
        CSequenceLabelUI::DoEvent(event);
        if (event.type == SkinUI::EventType::Timer && event.wParam == kSequenceTimerId) shown.push_back(GetBkImage());
    }
    std::vector<std::wstring> shown;
};

class SequenceWindow : public SkinUI::CSkinFrame {
public:
    SequenceWindow() : CSkinFrame(SkinUI::MakeSkinSource(L"MessageBox1Wnd.xml")) {
        Create(nullptr, L"sequence", WS_POPUP, 0, 0, 0, 200, 200);
    }
    // Replaces the tree by one built from `markup`; returns the control named "seq".
    SkinUI::CControlUI* Load(const std::string& markup) {
        SkinUI::CDialogBuilder builder;
        auto root = builder.CreateFromText("<Window>" + markup + "</Window>", this, &m_PaintManager);
        m_PaintManager.AttachDialog(std::move(root));
        return FindControl(L"seq");
    }
    std::unique_ptr<SkinUI::CControlUI> CreateControl(const wchar_t* className) override {
        if (_wcsicmp(className, L"SequenceLabel") == 0) return std::make_unique<RecordingSequenceLabel>();
        if (_wcsicmp(className, L"SequenceButton") == 0) return std::make_unique<CSequenceButtonUI>();
        return nullptr;
    }
};

std::wstring Frame(int number) {
    wchar_t name[32];
    swprintf(name, 32, L"f%.3d.png", number);
    return name;
}

void Tick(SkinUI::CControlUI* control, int times) {
    for (int i = 0; i < times; ++i) {
        SkinUI::ControlEvent event;
        event.type = SkinUI::EventType::Timer;
        event.wParam = kSequenceTimerId;
        control->Event(event);
    }
}

TEST(SequenceControls, FramesShownTickByTick) {
    const struct {
        const char* what;
        std::string attributes;
        int ticks;
        std::vector<int> frames;  // the last ones shown, in order
    } cases[] = {
        {"count 89 with loop: the 90th tick shows frame 000 again", "sequencecount=\"89\"", 91, {87, 88, 0, 1}},
        {"round trip of 4 with loop", "sequencecount=\"4\" sequenceround=\"true\"", 12,
         {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1}},
        {"round trip of 4 without loop stops after 1", "sequencecount=\"4\" sequenceround=\"true\" sequenceloop=\"false\"",
         7, {0, 1, 2, 3, 2, 1, 1}},
        {"\"False\" is not false: looping stays on", "sequencecount=\"3\" sequenceloop=\"False\"", 5, {0, 1, 2, 0, 1}},
        {"without loop the last frame stays", "sequencecount=\"3\" sequenceloop=\"false\"", 4, {0, 1, 2, 2}},
        {"a count of 0 names no frame", "sequencecount=\"0\"", 3, {-1, -1, -1}},
        {"a round trip needs two frames", "sequencecount=\"1\" sequenceround=\"true\"", 2, {-1, -1}},
    };
    SequenceWindow window;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto* label = static_cast<RecordingSequenceLabel*>(
            window.Load("<SequenceLabel name=\"seq\" sequencebkimage=\"f%.3d.png\" " + c.attributes + " />"));
        ASSERT_NE(nullptr, label);
        Tick(label, c.ticks);
        ASSERT_EQ(static_cast<size_t>(c.ticks), label->shown.size());
        std::vector<std::wstring> expected;
        for (int frame : c.frames) expected.push_back(frame < 0 ? L"" : Frame(frame));
        const std::vector<std::wstring> last(label->shown.end() - static_cast<long>(expected.size()), label->shown.end());
        EXPECT_EQ(expected, last);
    }
}

TEST(SequenceControls, AttributesAndDefaults) {
    SequenceWindow window;
    auto* label = static_cast<CSequenceLabelUI*>(window.Load("<SequenceLabel name=\"seq\" />"));
    ASSERT_NE(nullptr, label);
    EXPECT_EQ(30, label->GetSequenceSpan());
    EXPECT_TRUE(label->Sequence().loop);
    EXPECT_FALSE(label->Sequence().round);
    EXPECT_EQ(label, label->GetInterface(L"sequencelabel"));
    EXPECT_EQ(L"SequenceLabel", label->GetClass());

    auto* button = static_cast<CSequenceButtonUI*>(window.Load(
        "<SequenceButton name=\"seq\" SequenceCount=\"12\" SEQUENCESPAN=\"45\" sequenceround=\"false\" "
        "sequencebkimage=\"b%d.png\" text=\"go\" />"));
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(12, button->GetSequenceCount());
    EXPECT_EQ(45, button->GetSequenceSpan());
    EXPECT_FALSE(button->Sequence().round);
    EXPECT_EQ(L"b%d.png", button->GetSequenceFormat());
    EXPECT_EQ(L"go", button->GetText()) << "other attributes reach the button";
    EXPECT_NE(nullptr, button->GetInterface(L"Button"));

    // The format attribute's name is exact.
    auto* other = static_cast<CSequenceLabelUI*>(window.Load("<SequenceLabel name=\"seq\" SequenceBkImage=\"x\" />"));
    EXPECT_EQ(L"", other->GetSequenceFormat());
}

TEST(SequenceControls, TheTimerPlaysAutostartedSequencesAndStopsAtTheEnd) {
    SequenceWindow window;
    auto* idle = static_cast<RecordingSequenceLabel*>(
        window.Load("<SequenceLabel name=\"seq\" sequencebkimage=\"f%.3d.png\" sequencecount=\"4\" sequencespan=\"10\" />"));
    WindowDriver::PumpFor(150);
    EXPECT_TRUE(idle->shown.empty()) << "without autostart nothing plays until started";
    idle->Start();
    ASSERT_TRUE(WindowDriver::PumpUntil([&] { return idle->shown.size() >= 3; }));

    auto* once = static_cast<RecordingSequenceLabel*>(window.Load(
        "<SequenceLabel name=\"seq\" sequencebkimage=\"f%.3d.png\" sequencecount=\"4\" sequencespan=\"10\" "
        "sequenceround=\"true\" sequenceloop=\"false\" autostart=\"true\" />"));
    ASSERT_TRUE(WindowDriver::PumpUntil([&] { return once->shown.size() >= 7; }));
    WindowDriver::PumpFor(200);
    EXPECT_EQ(7u, once->shown.size()) << "six frames, then the tick that stops the timer";
    EXPECT_EQ(Frame(1), once->GetBkImage());
}

}  // namespace
