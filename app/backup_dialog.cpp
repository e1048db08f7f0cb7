#include "app/backup_dialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cwchar>

#include "app/reminder_balloon.h"
#include "notes/note_store.h"
#include "notes/note_table.h"
#include "platform/error_box.h"
#include "platform/program.h"
#include "platform/system_library.h"
#include "platform/tray_icon.h"
#include "platform/wide_text.h"
#include "res/resource.h"
#include "store/backup.h"

namespace
{

enum class FileDialog { kSave, kOpen };

// A text with one %d or %ls filled in.
template <typename Value> std::wstring FormatText(UINT formatId, Value value)
{
    wchar_t text[1024] = {};
    std::swprintf(text, sizeof(text) / sizeof(text[0]), ResourceText(formatId).c_str(), value);
    return text;
}

void ShowError(HWND owner, const std::wstring& text)
{
    MessageBeep(0);
    MessageBoxW(owner, text.c_str(), ResourceText(IDS_DISPLAY_NAME).c_str(), MB_ICONERROR);
}

std::wstring DocumentsFolder()
{
    wchar_t documents[MAX_PATH] = {};
    auto folderPath = SystemFunctionAs<decltype(&SHGetFolderPathW)>(L"shell32.dll", "SHGetFolderPathW");
    if (folderPath)
        folderPath(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
    return documents;
}

// Asks for a file in Documents, offering `fileName`; false when the user
// cancelled or the dialog failed, which is reported.
bool AskFileName(HWND owner, FileDialog kind, UINT titleId, std::wstring* fileName)
{
    wchar_t buffer[MAX_PATH] = {};
    wcsncpy(buffer, fileName->c_str(), MAX_PATH - 1);
    std::wstring documents = DocumentsFolder();
    // "name|pattern|name|pattern|": the resource cannot hold the NULs.
    std::wstring filter = ResourceText(IDS_BACKUP_FILTER);
    for (wchar_t& c : filter) {
        if (c == L'|')
            c = L'\0';
    }
    std::wstring title = ResourceText(titleId);

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = buffer;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = documents.empty() ? nullptr : documents.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"reg";
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER
        | (kind == FileDialog::kSave ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    auto ask = SystemFunctionAs<decltype(&GetSaveFileNameW)>(
        L"comdlg32.dll", kind == FileDialog::kSave ? "GetSaveFileNameW" : "GetOpenFileNameW");
    auto extendedError
        = SystemFunctionAs<decltype(&CommDlgExtendedError)>(L"comdlg32.dll", "CommDlgExtendedError");
    if (ask && ask(&dialog)) {
        *fileName = buffer;
        return true;
    }
    // A dialog that could not do its work is no cancel.
    DWORD code = ask && extendedError ? extendedError() : 0xFFFF;
    if (code != 0)
        ShowError(owner, FormatText(IDS_ERR_FILE_DIALOG, static_cast<unsigned>(code)));
    return false;
}

// Writes the store into `fileName`; a failure is reported.
bool WriteBackup(HWND owner, const std::wstring& fileName)
{
    std::wstring problem;
    DWORD error = WriteBackupFile(fileName, &problem);
    if (error == ERROR_INVALID_NAME && !problem.empty())
        ShowError(owner, FormatText(IDS_ERR_BACKUP_NAME, problem.c_str()));
    else if (error != ERROR_SUCCESS)
        ShowFailureWithReason(owner, IDS_ERR_BACKUP, error, MB_ICONERROR);
    return error == ERROR_SUCCESS;
}

// A balloon says where the file went; a click on it does nothing.
void Announce(HWND mainWindow, UINT titleId, const std::wstring& text)
{
    if (ShowTrayBalloon(mainWindow, ResourceText(titleId), text))
        ForgetReminderBalloon();
}

} // namespace

std::wstring DefaultBackupName(const SYSTEMTIME& day)
{
    wchar_t name[32];
    std::swprintf(name, 32, L"Jotwise-%04u%02u%02u.reg", day.wYear, day.wMonth, day.wDay);
    return name;
}

int BackupStore(HWND mainWindow)
{
    // The file is to hold what the user sees, moves made since the last
    // save included.
    SaveOptions();
    SaveAllNotes();

    SYSTEMTIME today;
    GetLocalTime(&today);
    std::wstring fileName = DefaultBackupName(today);
    if (!AskFileName(mainWindow, FileDialog::kSave, IDS_BACKUP_TITLE, &fileName)
        || !WriteBackup(mainWindow, fileName))
        return 0;
    Announce(mainWindow, IDS_BACKUP_DONE, fileName);
    return 1;
}
