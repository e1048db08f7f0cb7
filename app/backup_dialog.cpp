#include "app/backup_dialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cwchar>

#include "notes/note_store.h"
#include "notes/note_table.h"
#include "platform/error_box.h"
#include "platform/program.h"
#include "platform/system_library.h"
#include "platform/wide_text.h"
#include "res/resource.h"
#include "store/backup.h"

namespace
{

void ReportBackupFailure(HWND owner, DWORD error)
{
    ShowFailureWithReason(owner, IDS_ERR_BACKUP, error, MB_ICONERROR);
}

} // namespace

std::wstring DefaultBackupName(const SYSTEMTIME& day)
{
    wchar_t name[32];
    std::swprintf(name, 32, L"Jotwise-%04u%02u%02u.reg", day.wYear, day.wMonth, day.wDay);
    return name;
}

int BackupStore(HWND owner)
{
    // The file is to hold what the user sees, moves made since the last
    // save included.
    SaveOptions();
    SaveAllNotes();

    SYSTEMTIME today;
    GetLocalTime(&today);
    wchar_t fileName[MAX_PATH] = {};
    std::wstring name = DefaultBackupName(today);
    wcsncpy(fileName, name.c_str(), MAX_PATH - 1);
    wchar_t documents[MAX_PATH] = {};
    auto folderPath = SystemFunctionAs<decltype(&SHGetFolderPathW)>(L"shell32.dll", "SHGetFolderPathW");
    if (folderPath)
        folderPath(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
    // "name|pattern|name|pattern|": the resource cannot hold the NULs.
    std::wstring filter = ResourceText(IDS_BACKUP_FILTER);
    for (wchar_t& c : filter) {
        if (c == L'|')
            c = L'\0';
    }
    std::wstring title = ResourceText(IDS_BACKUP_TITLE);

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = documents[0] ? documents : nullptr;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"reg";
    dialog.Flags
        = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    auto askFile = SystemFunctionAs<decltype(&GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
    if (!askFile) {
        ReportBackupFailure(owner, ERROR_PROC_NOT_FOUND);
        return 0;
    }
    if (!askFile(&dialog))
        return 0;
    DWORD error = WriteBackupFile(fileName);
    if (error != ERROR_SUCCESS) {
        ReportBackupFailure(owner, error);
        return 0;
    }
    return 1;
}
