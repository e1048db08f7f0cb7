// Due reminders: the monitor thread notices that notes reached their due
// time, the main thread announces them in one tray balloon.
#ifndef JOTWISE_DUE_REMINDER_H
#define JOTWISE_DUE_REMINDER_H

#include <windows.h>

#include <string>
#include <vector>

// Monitor thread: notes that reached their due time in one pass, or, with
// `atStart`, the notes already past it when the program started. Posts one
// WM_DUEREMINDER to the main window unless one is still pending.
void QueueDueReminder(const std::vector<HWND>& notes, bool atStart);

// Main thread, WM_DUEREMINDER: shows the balloon for everything queued
// (nothing when reminders are switched off).
void OnDueReminder(HWND mainWindow);

// Main thread: the user clicked the balloon; the notes it spoke of are
// shown if hidden and brought to the front.
void OnReminderBalloonClick();

// The first line of a note's text that is not blank, at most `limit`
// characters.
std::wstring FirstLineOf(const char* text, std::size_t limit);

// The balloon text for notes that reached their due time: each note's first
// line, and the count of those that did not fit.
std::wstring ReminderText(const std::vector<std::wstring>& firstLines);

#endif
