#include "notes/note_layers.h"

#include "notes/app_state.h"
#include "notes/note_store.h"

namespace
{

constexpr UINT kRestackFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;

// The note under the pointer; it shows fully opaque until the pointer leaves.
HWND g_hoveredNote = nullptr;

int CurrentOpacity()
{
    const AppState* state = App();
    return state ? state->extra.opacity : kMaxOpacity;
}

// Zero is an opacity nobody chose (a record never filled): treat as opaque.
bool SeeThrough(int percent)
{
    return percent > 0 && percent < kMaxOpacity;
}

} // namespace

DWORD NoteExStyle(DWORD base, bool topmost)
{
    DWORD style = base;
    if (topmost)
        style |= WS_EX_TOPMOST;
    if (SeeThrough(CurrentOpacity()))
        style |= WS_EX_LAYERED;
    return style;
}

void SetNoteTopmost(HWND note, bool topmost)
{
    NoteRecord* record = NoteRecordOf(note);
    if (!record)
        return;
    record->topmost = topmost ? 1 : 0;
    SetWindowPos(note, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, kRestackFlags);
    // Written at once: a topmost note should come back so even after a crash.
    SaveNoteTopmost(record);
}

HWND NoteZOrderAnchor(HWND note)
{
    const NoteRecord* record = NoteRecordOf(note);
    return record && record->topmost ? HWND_TOPMOST : HWND_TOP;
}

void ApplyNoteOpacity(HWND note, bool hovered)
{
    int percent = CurrentOpacity();
    LONG_PTR exStyle = GetWindowLongPtrW(note, GWL_EXSTYLE);
    if (!SeeThrough(percent)) {
        if (exStyle & WS_EX_LAYERED) {
            SetWindowLongPtrW(note, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
            // What the layer showed is gone; the window must paint itself again.
            RedrawWindow(note, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME);
        }
        return;
    }
    if (!(exStyle & WS_EX_LAYERED))
        SetWindowLongPtrW(note, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    BYTE alpha = hovered ? 255 : static_cast<BYTE>(percent * 255 / 100);
    SetLayeredWindowAttributes(note, 0, alpha, LWA_ALPHA);
}

void ApplyOpacityToAllNotes()
{
    AppState* state = App();
    if (!state)
        return;
    for (HWND note : state->noteWindows) {
        if (note)
            ApplyNoteOpacity(note, note == g_hoveredNote);
    }
}

void OnNoteHover(HWND note, bool inside)
{
    if (inside) {
        if (g_hoveredNote == note)
            return;
        if (g_hoveredNote && IsWindow(g_hoveredNote))
            ApplyNoteOpacity(g_hoveredNote, false);
        g_hoveredNote = nullptr;
        if (!SeeThrough(CurrentOpacity()))
            return;
        g_hoveredNote = note;
        // Armed before the note turns opaque: a pointer that has already
        // moved on by then still ends the hover.
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, note, 0};
        TrackMouseEvent(&track);
        ApplyNoteOpacity(note, true);
        return;
    }
    if (g_hoveredNote != note)
        return;
    g_hoveredNote = nullptr;
    // A drag holds the capture: the pointer may leave the window for a moment.
    if (GetCapture() == note)
        return;
    ApplyNoteOpacity(note, false);
}
