// Due reminders announced: the notes the monitor queued, in one tray
// balloon and the reminder window, and what a click on the balloon does.
#ifndef JOTWISE_APP_REMINDER_BALLOON_H
#define JOTWISE_APP_REMINDER_BALLOON_H

#include <windows.h>

#include <string>
#include <vector>

// Main thread, WM_DUEREMINDER: shows the balloon for everything queued and,
// unless the options say the balloon alone, the reminder window (nothing
// when reminders are switched off). Without a tray icon to show it from,
// the balloon waits for ShowPendingReminder.
void OnDueReminder(HWND mainWindow);

// Main thread: the tray icon is back; shows the balloon that could not be
// shown without it, if there is one.
void ShowPendingReminder(HWND mainWindow);

// Main thread: the user clicked the balloon; the reminder window opens on
// the notes that are due.
void OnReminderBalloonClick();

// Another balloon took the place of the due balloon: a click on it opens
// no reminder window.
void ForgetReminderBalloon();

// The first line of a note's text that is not blank, at most `limit`
// characters.
std::wstring FirstLineOf(const char* text, std::size_t limit);

// The balloon text for notes that reached their due time: each note's first
// line, and the count of those that did not fit.
std::wstring ReminderText(const std::vector<std::wstring>& firstLines);

#endif
