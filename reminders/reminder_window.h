// The reminder window: one small modeless window, on top of the others,
// that lists every note whose due time has passed and that is not snoozed,
// and takes it to hand: show it, mark it done, or remind again later.
#ifndef JOTWISE_REMINDERS_REMINDER_WINDOW_H
#define JOTWISE_REMINDERS_REMINDER_WINDOW_H

#include <windows.h>

#include <string>

// Opens the window, or brings the open one up to date and to the top. With
// `activate` false it takes no focus from what the user is typing. Nothing
// opens while no note is due.
void ShowReminderWindow(bool activate);

// Closes the window when it is open (its place is remembered).
void CloseReminderWindow();

// The open window, or null.
HWND ReminderWindow();

// Gives the window its keys (Tab, Enter, Esc, F1) before the message loop
// dispatches; true when the message was the window's.
bool HandleReminderWindowMessage(MSG* msg);

// How long ago a due time passed, as the window says it ("3 分前").
std::wstring AgoText(const FILETIME& due, const FILETIME& now);

#endif
