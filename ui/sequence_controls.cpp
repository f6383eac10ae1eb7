#include "ui/sequence_controls.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "ui/toolkit/markup_values.h"

namespace {

// Only the exact text "false" turns an option off.
bool SequenceFlag(const std::wstring& value) { return value != L"false"; }

}  // namespace

template <typename Base>
void SequenceControl<Base>::SetAttribute(const std::wstring& name, const std::wstring& value) {
    using SkinUI::EqualsNoCase;
    if (name == L"sequencebkimage") {
        SetSequenceFormat(value);
    } else if (EqualsNoCase(name, L"sequencecount")) {
        SetSequenceCount(static_cast<int>(std::wcstol(value.c_str(), nullptr, 10)));
    } else if (EqualsNoCase(name, L"sequencespan")) {
        SetSequenceSpan(static_cast<int>(std::wcstol(value.c_str(), nullptr, 10)));
    } else if (EqualsNoCase(name, L"sequenceloop")) {
        m_Sequence.loop = SequenceFlag(value);
    } else if (EqualsNoCase(name, L"autostart")) {
        m_AutoStart = SequenceFlag(value);
    } else if (EqualsNoCase(name, L"sequenceround")) {
        m_Sequence.round = SequenceFlag(value);
    } else {
        Base::SetAttribute(name, value);
    }
}

template <typename Base>
void SequenceControl<Base>::DoEvent(SkinUI::ControlEvent& event) {
    Base::DoEvent(event);
    if (event.type == SkinUI::EventType::Timer && event.wParam == kSequenceTimerId) Tick();
}

template <typename Base>
void SequenceControl<Base>::Tick() {
    if (m_Format.empty()) return;
    const FrameStep step = NextFrame(m_Sequence);
    if (step.stopTimer) Base::KillTimer(kSequenceTimerId);
    if (!step.frame) return;
    wchar_t frame[MAX_PATH] = {};
    // The format comes from the window's own layout and carries one integer conversion.
    std::swprintf(frame, MAX_PATH, m_Format.c_str(), static_cast<int>(*step.frame));
    Base::SetBkImage(frame);
    Base::Invalidate();
}

template class SequenceControl<SkinUI::CLabelUI>;
template class SequenceControl<SkinUI::CButtonUI>;

void* CSequenceLabelUI::GetInterface(const std::wstring& name) {
    if (SkinUI::EqualsNoCase(name, L"SequenceLabel")) return this;
    return SequenceControl::GetInterface(name);
}

void* CSequenceButtonUI::GetInterface(const std::wstring& name) {
    if (SkinUI::EqualsNoCase(name, L"SequenceButton")) return this;
    return SequenceControl::GetInterface(name);
}
