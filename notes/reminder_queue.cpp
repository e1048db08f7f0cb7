#include "notes/reminder_queue.h"

#include "platform/program.h"

namespace
{

// Filled by the monitor thread, emptied by the main thread.
SRWLOCK g_queueLock = SRWLOCK_INIT;
std::vector<HWND> g_queuedNotes;
bool g_queuedAtStart = false;
bool g_posted = false;

} // namespace

void QueueDueReminder(const std::vector<HWND>& notes, bool atStart)
{
    if (notes.empty())
        return;
    bool post = false;
    AcquireSRWLockExclusive(&g_queueLock);
    g_queuedNotes.insert(g_queuedNotes.end(), notes.begin(), notes.end());
    g_queuedAtStart = g_queuedAtStart || atStart;
    if (!g_posted)
        post = g_posted = true;
    ReleaseSRWLockExclusive(&g_queueLock);
    // Posted, never sent: the monitor must not wait for the main thread.
    if (post && !PostMessageW(MainWindow(), WM_DUEREMINDER, 0, 0)) {
        AcquireSRWLockExclusive(&g_queueLock);
        g_posted = false;
        ReleaseSRWLockExclusive(&g_queueLock);
    }
}

std::vector<HWND> TakeDueReminders(bool* atStart)
{
    std::vector<HWND> notes;
    AcquireSRWLockExclusive(&g_queueLock);
    notes.swap(g_queuedNotes);
    *atStart = g_queuedAtStart;
    g_queuedAtStart = false;
    g_posted = false;
    ReleaseSRWLockExclusive(&g_queueLock);
    return notes;
}
