#include "platform/hotkey.h"

#include <commctrl.h>

namespace
{
// Held keys must not open a stream of editors.
constexpr UINT kNoRepeat = 0x4000; // MOD_NOREPEAT, Windows 7 and later
// The page probes with its own window, so this ID never meets ours.
constexpr int kProbeHotKeyId = kNewNoteHotKeyId;

// Main thread only, like the window that holds the key.
WORD g_held = 0;
bool g_taken = false;
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
    ReleaseNewNoteHotKey(mainWindow);
    g_taken = false;
    if (!LOBYTE(hotKey))
        return true;
    if (!RegisterHotKey(mainWindow, kNewNoteHotKeyId, HotKeyModifiers(hotKey) | kNoRepeat, LOBYTE(hotKey))) {
        g_taken = true;
        return false;
    }
    g_held = hotKey;
    return true;
}

void ReleaseNewNoteHotKey(HWND mainWindow)
{
    if (g_held) {
        UnregisterHotKey(mainWindow, kNewNoteHotKeyId);
        g_held = 0;
    }
}

WORD HeldNewNoteHotKey()
{
    return g_held;
}

bool NewNoteHotKeyTaken()
{
    return g_taken;
}

bool IsHotKeyTakenElsewhere(HWND probe, WORD hotKey)
{
    if (!LOBYTE(hotKey))
        return false;
    if (g_held == hotKey)
        return false;
    if (!RegisterHotKey(probe, kProbeHotKeyId, HotKeyModifiers(hotKey), LOBYTE(hotKey)))
        return true;
    UnregisterHotKey(probe, kProbeHotKeyId);
    return false;
}
