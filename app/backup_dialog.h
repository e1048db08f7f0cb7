// The tray's backup command: the file dialog, the messages and the balloon
// around the store's backup file.
#ifndef JOTWISE_APP_BACKUP_DIALOG_H
#define JOTWISE_APP_BACKUP_DIALOG_H

#include <windows.h>

#include <string>

// "Jotwise-YYYYMMDD.reg" for the given day.
std::wstring DefaultBackupName(const SYSTEMTIME& day);

// Saves what is on the desktop, asks with the Save dialog and writes the
// backup; a failure is reported, a success told in a balloon. 1 when a
// file was written.
int BackupStore(HWND mainWindow);

#endif
