// Due reminders on their way from the monitor thread, which notices that
// notes reached their due time, to the main thread, which announces them.
#ifndef JOTWISE_NOTES_REMINDER_QUEUE_H
#define JOTWISE_NOTES_REMINDER_QUEUE_H

#include <windows.h>

#include <vector>

// Posted to the main window when notes reached their due time (or, at the
// monitor's first pass, were already past it); the main thread takes them
// from the queue and announces them.
constexpr UINT WM_DUEREMINDER = WM_APP + 340;

// Monitor thread: notes that reached their due time in one pass, or, with
// `atStart`, the notes already past it when the program started. Posts one
// WM_DUEREMINDER to the main window unless one is still pending.
void QueueDueReminder(const std::vector<HWND>& notes, bool atStart);

// Main thread, WM_DUEREMINDER: everything queued since, and whether the
// notes already overdue at start are among it. The queue is left empty.
std::vector<HWND> TakeDueReminders(bool* atStart);

#endif
