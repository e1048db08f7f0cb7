#include "app/hotkey.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "res/resource.h"

namespace
{
// Held keys must not open a stream of editors.
constexpr UINT kNoRepeat = 0x4000; // MOD_NOREPEAT, Windows 7 and later
// The page probes with its own window, so this ID never meets ours.
constexpr int kProbeHotKeyId = kNewNoteHotKeyId;
} // namespace

UINT HotKeyModifiers(WORD hotKey)
{
    BYTE flags = HIBYTE(hotKey);
    UINT modifiers = 0;
    if (flags & HOTKEYF_ALT)
        modifiers |= MOD_ALT;
    if (flags & HOTKEYF_CONTROL)
        modifiers |= MOD_CONTROL;
    if (flags & HOTKEYF_SHIFT)
        modifiers |= MOD_SHIFT;
    return modifiers;
}

bool TakeNewNoteHotKey(HWND mainWindow, WORD hotKey)
{
    AppState* state = App();
    if (!state)
        return false;
    ReleaseNewNoteHotKey(mainWindow);
    state->hotKeyTaken = 0;
    if (!LOBYTE(hotKey))
        return true;
    if (!RegisterHotKey(mainWindow, kNewNoteHotKeyId, HotKeyModifiers(hotKey) | kNoRepeat, LOBYTE(hotKey))) {
        state->hotKeyTaken = 1;
        return false;
    }
    state->hotKeyRegistered = hotKey;
    return true;
}

void ReleaseNewNoteHotKey(HWND mainWindow)
{
    AppState* state = App();
    if (state && state->hotKeyRegistered) {
        UnregisterHotKey(mainWindow, kNewNoteHotKeyId);
        state->hotKeyRegistered = 0;
    }
}

bool IsHotKeyTakenElsewhere(HWND probe, WORD hotKey)
{
    if (!LOBYTE(hotKey))
        return false;
    const AppState* state = App();
    if (state && state->hotKeyRegistered == hotKey)
        return false;
    if (!RegisterHotKey(probe, kProbeHotKeyId, HotKeyModifiers(hotKey), LOBYTE(hotKey)))
        return true;
    UnregisterHotKey(probe, kProbeHotKeyId);
    return false;
}

void OnNewNoteHotKey(HWND mainWindow)
{
    AppState* state = App();
    if (!state)
        return;
    HWND editor = state->editorWindow;
    if (!editor) {
        // A dialog or question of ours is up; a new editor would slip under it.
        if (state->optionsOpen || state->aboutOpen || state->mainCommandBusy || state->noteCommandBusy)
            return;
        SendMessageW(mainWindow, WM_COMMAND, IDM_NEW_NOTE, 0);
        editor = state->editorWindow;
    }
    if (editor)
        SetForegroundWindow(editor);
}
