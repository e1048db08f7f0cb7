// The tray's backup command: asks for a file and writes the store into it.
#ifndef JOTWISE_APP_BACKUP_DIALOG_H
#define JOTWISE_APP_BACKUP_DIALOG_H

#include <windows.h>

#include <string>

// "Jotwise-YYYYMMDD.reg" for the given day.
std::wstring DefaultBackupName(const SYSTEMTIME& day);

// Saves what is on the desktop, asks with the Save dialog and writes the
// backup; a failure is reported. 1 when a file was written.
int BackupStore(HWND owner);

#endif
