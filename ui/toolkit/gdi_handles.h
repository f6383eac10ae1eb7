// Owning wrappers for the GDI objects the toolkit creates, built on the project's
// UniqueResource template, plus guards that undo a DC selection or a saved DC state.
#pragma once

#include <windows.h>

#include "utils/win_handle.h"

namespace SkinUI {

template <typename Handle>
struct GdiObjectTraits {
    using Type = Handle;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { ::DeleteObject(value); }
};

struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { ::DeleteDC(value); }
};

struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { ::DestroyIcon(value); }
};

using UniqueBitmap = Utils::UniqueResource<GdiObjectTraits<HBITMAP>>;
using UniqueFont = Utils::UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBrush = Utils::UniqueResource<GdiObjectTraits<HBRUSH>>;
using UniquePen = Utils::UniqueResource<GdiObjectTraits<HPEN>>;
using UniqueRegion = Utils::UniqueResource<GdiObjectTraits<HRGN>>;
using UniqueMemoryDc = Utils::UniqueResource<MemoryDcTraits>;
using UniqueIcon = Utils::UniqueResource<IconTraits>;

// Selects an object into a DC for the guard's lifetime.
class SelectionGuard {
public:
    SelectionGuard(HDC dc, HGDIOBJ object) : m_Dc(dc), m_Previous(::SelectObject(dc, object)) {}
    ~SelectionGuard() {
        if (m_Previous != nullptr && m_Previous != HGDI_ERROR) ::SelectObject(m_Dc, m_Previous);
    }
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;

private:
    HDC m_Dc;
    HGDIOBJ m_Previous;
};

// Saves the DC's state (clip region, selections, colours) and restores it at the end.
class SavedDcState {
public:
    explicit SavedDcState(HDC dc) : m_Dc(dc), m_Saved(::SaveDC(dc)) {}
    ~SavedDcState() {
        if (m_Saved != 0) ::RestoreDC(m_Dc, m_Saved);
    }
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;

private:
    HDC m_Dc;
    int m_Saved;
};

}  // namespace SkinUI
