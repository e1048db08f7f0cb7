// The tray's backup and restore commands: the file dialogs, the questions,
// the messages and the balloons around the store's backup file.
#ifndef JOTWISE_APP_BACKUP_DIALOG_H
#define JOTWISE_APP_BACKUP_DIALOG_H

#include <windows.h>

#include <string>

// "Jotwise-YYYYMMDD.reg" for the given day.
std::wstring DefaultBackupName(const SYSTEMTIME& day);

// "Jotwise-復元前-YYYYMMDD-HHMMSS.reg" for the given moment.
std::wstring BeforeRestoreName(const SYSTEMTIME& moment);

// Saves what is on the desktop, asks with the Save dialog and writes the
// backup; a failure is reported, a success told in a balloon. 1 when a
// file was written.
int BackupStore(HWND mainWindow);

// Asks for a backup file and checks that Jotwise wrote it; writes the store
// as it is into an automatic backup beside it; closes the editor (its
// changes become the draft), the list and every note; replaces the store
// with the file's content and loads it as at start. A refused file or a
// failure is reported and leaves the store as it was. 1 when restored.
int RestoreStore(HWND mainWindow);

#endif
