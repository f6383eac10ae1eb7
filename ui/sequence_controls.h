// The frame-sequence controls: a label (CSequenceLabelUI) and a button (CSequenceButtonUI)
// that play numbered frames ("res\...\%.3d.png") as their background image on the control
// timer 2100. The frame arithmetic is ui/frame_sequence.h; a count too small to name a real
// frame does nothing. Window thread only.
#pragma once

#include <string>

#include "ui/frame_sequence.h"
#include "ui/toolkit/button_ui.h"
#include "ui/toolkit/label_ui.h"

constexpr unsigned int kSequenceTimerId = 2100;

// The members and behaviour both controls share, over their toolkit base.
template <typename Base>
class SequenceControl : public Base {
public:
    ~SequenceControl() override { Base::KillTimer(kSequenceTimerId); }

    void SetSequenceFormat(const std::wstring& format) { m_Format = format; }
    const std::wstring& GetSequenceFormat() const { return m_Format; }
    // Neither restarts a running timer; the span takes effect at the next start.
    void SetSequenceCount(int count) { m_Sequence.count = count; }
    int GetSequenceCount() const { return m_Sequence.count; }
    void SetSequenceSpan(int span) { m_Span = span; }
    int GetSequenceSpan() const { return m_Span; }

    // From frame 0, in the present direction.
    void Start() {
        m_Sequence.index = 0;
        Base::SetTimer(kSequenceTimerId, static_cast<unsigned int>(m_Span));
    }
    void Stop() { Base::KillTimer(kSequenceTimerId); }

    bool IsAutoStart() const { return m_AutoStart; }
    const FrameSequence& Sequence() const { return m_Sequence; }

    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void DoEvent(SkinUI::ControlEvent& event) override;

protected:
    SequenceControl(bool round, int span) : m_Span(span) { m_Sequence.round = round; }
    void DoInit() override {
        Base::DoInit();
        if (m_AutoStart) Base::SetTimer(kSequenceTimerId, static_cast<unsigned int>(m_Span));
    }

private:
    void Tick();

    std::wstring m_Format;
    bool m_AutoStart = false;
    FrameSequence m_Sequence;  // loop, forward, round, index, count
    int m_Span;
};

class CSequenceLabelUI : public SequenceControl<SkinUI::CLabelUI> {
public:
    CSequenceLabelUI() : SequenceControl(false, 30) {}
    std::wstring GetClass() const override { return L"SequenceLabel"; }
    void* GetInterface(const std::wstring& name) override;
};

class CSequenceButtonUI : public SequenceControl<SkinUI::CButtonUI> {
public:
    CSequenceButtonUI() : SequenceControl(true, 60) {}
    std::wstring GetClass() const override { return L"SequenceButton"; }
    void* GetInterface(const std::wstring& name) override;
};

extern template class SequenceControl<SkinUI::CLabelUI>;
extern template class SequenceControl<SkinUI::CButtonUI>;
