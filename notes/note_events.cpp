#include "notes/note_events.h"

#include <algorithm>
#include <vector>

namespace
{
std::vector<HWND> g_listeners;
} // namespace

void ListenToNoteChanges(HWND window)
{
    if (window && std::find(g_listeners.begin(), g_listeners.end(), window) == g_listeners.end())
        g_listeners.push_back(window);
}

void StopListeningToNoteChanges(HWND window)
{
    g_listeners.erase(std::remove(g_listeners.begin(), g_listeners.end(), window), g_listeners.end());
}

void NotifyNotesChanged()
{
    for (HWND window : g_listeners)
        PostMessageW(window, WM_NOTESCHANGED, 0, 0);
}
