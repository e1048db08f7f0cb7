#include "app/backup_dialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cwchar>

#include "app/main_window.h"
#include "app/reminder_balloon.h"
#include "editor/editor_window.h"
#include "list/note_list.h"
#include "notes/app_state.h"
#include "notes/note_store.h"
#include "notes/note_table.h"
#include "platform/error_box.h"
#include "platform/program.h"
#include "platform/system_library.h"
#include "platform/tray_icon.h"
#include "platform/wide_text.h"
#include "res/resource.h"
#include "store/backup.h"
#include "store/draft.h"
#include "store/restore.h"

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

std::wstring FolderOf(const std::wstring& fileName)
{
    std::size_t slash = fileName.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : fileName.substr(0, slash + 1);
}

UINT RefusalText(BackupProblem problem)
{
    switch (problem) {
    case BackupProblem::kForeignKey:
        return IDS_ERR_RESTORE_FOREIGN_KEY;
    case BackupProblem::kForeignValue:
        return IDS_ERR_RESTORE_FOREIGN_VALUE;
    case BackupProblem::kUnreadable:
        return IDS_ERR_RESTORE_UNREADABLE;
    default:
        return IDS_ERR_RESTORE_NOT_BACKUP;
    }
}

// The store as it is, into an automatic backup beside the chosen file, or
// in Documents when that folder takes no file (a disc, a share); its name.
bool WriteBeforeRestore(HWND owner, const std::wstring& restored, std::wstring* before)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::wstring name = BeforeRestoreName(now);
    *before = FolderOf(restored) + name;
    std::wstring problem;
    DWORD error = WriteBackupFile(*before, &problem);
    if (error != ERROR_SUCCESS && error != ERROR_INVALID_NAME) {
        *before = DocumentsFolder() + L"\\" + name;
        error = WriteBackupFile(*before, &problem);
    }
    if (error == ERROR_INVALID_NAME && !problem.empty())
        ShowError(owner, FormatText(IDS_ERR_BACKUP_NAME, problem.c_str()));
    else if (error != ERROR_SUCCESS)
        ShowFailureWithReason(owner, IDS_ERR_BEFORE_RESTORE, error, MB_ICONERROR);
    return error == ERROR_SUCCESS;
}

// The editor closes without a question: its changes become the draft, held
// in `draft` while the store is replaced. The system's code when they could
// not be kept.
LONG CloseEditorKeepingDraft(Draft* draft, bool* kept)
{
    AppState* state = App();
    HWND editor = state->editorWindow;
    *kept = false;
    if (!editor)
        return ERROR_SUCCESS;
    LONG error = SaveEditorDraft(editor);
    if (error != ERROR_SUCCESS)
        return error;
    if (state->draftStored) {
        LOGFONTA font;
        SetDefaultFont(&font);
        GetNoteFont(state->defaultFont, &font);
        if (!ReadDraft(draft, font.lfHeight))
            return ERROR_INVALID_DATA;
        *kept = true;
        // The store it was written to is about to be replaced.
        state->draftStored = false;
    }
    CloseEditorForExit(editor);
    // A box of the editor is up: the editor stays.
    return state->editorWindow.load() ? ERROR_BUSY : ERROR_SUCCESS;
}

} // namespace

std::wstring DefaultBackupName(const SYSTEMTIME& day)
{
    wchar_t name[32];
    std::swprintf(name, 32, L"Jotwise-%04u%02u%02u.reg", day.wYear, day.wMonth, day.wDay);
    return name;
}

std::wstring BeforeRestoreName(const SYSTEMTIME& moment)
{
    wchar_t name[64];
    // "復元前": before the restore.
    std::swprintf(name, 64, L"Jotwise-\u5FA9\u5143\u524D-%04u%02u%02u-%02u%02u%02u.reg", moment.wYear,
        moment.wMonth, moment.wDay, moment.wHour, moment.wMinute, moment.wSecond);
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

int RestoreStore(HWND mainWindow)
{
    std::wstring fileName;
    if (!AskFileName(mainWindow, FileDialog::kOpen, IDS_RESTORE_TITLE, &fileName))
        return 0;
    BackupImage backup;
    DWORD error = ReadBackupFile(fileName, &backup);
    if (error != ERROR_SUCCESS) {
        ShowFailureWithReason(mainWindow, IDS_ERR_RESTORE_READ, error, MB_ICONERROR);
        return 0;
    }
    if (backup.problem != BackupProblem::kNone) {
        ShowError(mainWindow, FormatText(RefusalText(backup.problem), backup.line));
        return 0;
    }
    if (MessageBoxW(mainWindow, ResourceText(IDS_ASK_RESTORE).c_str(),
            ResourceText(IDS_CONFIRM_CAPTION).c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2)
        != IDYES)
        return 0;

    // What the user sees goes into the automatic backup, moves made since
    // the last save included.
    SaveOptions();
    SaveAllNotes();
    std::wstring before;
    if (!WriteBeforeRestore(mainWindow, fileName, &before))
        return 0;
    Draft draft = {};
    bool keepDraft = false;
    if (LONG kept = CloseEditorKeepingDraft(&draft, &keepDraft); kept != ERROR_SUCCESS) {
        ShowFailureWithReason(mainWindow, IDS_ERR_RESTORE_DRAFT, static_cast<DWORD>(kept), MB_ICONERROR);
        return 0;
    }
    CloseNoteList();
    CloseAllNotes();

    LONG replaced = ReplaceStore(backup.keys);
    if (replaced != ERROR_SUCCESS) {
        BackupImage previous;
        bool putBack = ReadBackupFile(before, &previous) == ERROR_SUCCESS
            && previous.problem == BackupProblem::kNone && ReplaceStore(previous.keys) == ERROR_SUCCESS;
        if (putBack)
            ShowFailureWithReason(mainWindow, IDS_ERR_RESTORE, static_cast<DWORD>(replaced), MB_ICONERROR);
        else
            ShowError(mainWindow, FormatText(IDS_ERR_RESTORE_LOST, before.c_str()));
    }
    // The draft of the note being edited comes back as a new note: the note
    // of its ID in the restored store may be another.
    if (keepDraft) {
        draft.isNew = true;
        SaveDraft(draft);
    }
    ReloadStore(mainWindow);
    if (replaced != ERROR_SUCCESS)
        return 0;
    Announce(mainWindow, IDS_RESTORE_DONE, FormatText(IDS_RESTORE_DONE_TEXT, before.c_str()));
    return 1;
}
