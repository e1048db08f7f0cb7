#include "notes/note_store.h"

#include <cstring>

#include "notes/app_state.h"
#include "notes/note_events.h"
#include "platform/wide_text.h"
#include "store/extra_settings.h"
#include "store/recycle_bin.h"

namespace
{

void MarkStored(int id, bool stored)
{
    AppState* state = App();
    if (state && id >= 0 && id <= kMaxStoredId)
        state->storedIds[id] = stored ? 1 : 0;
}

} // namespace

int LoadStore(HWND owner, StoredNoteHandler handler)
{
    AppState* state = App();
    Options options;
    LOGFONTA font;
    bool keepStoredDefaultFont = false;
    ReadStoredOptions(&options, &font, &keepStoredDefaultFont);
    if (!state)
        return 1;
    {
        // A reload finds the monitor running; it reads these under the lock.
        AppLock lock;
        state->options = options;
        LoadExtraSettings(&state->extra);
    }
    if (state->defaultFont)
        DeleteObject(state->defaultFont);
    state->defaultFont = CreateNoteFontIndirect(&font);
    state->keepStoredDefaultFont = keepStoredDefaultFont;
    LoadNotesFromStore(owner, handler, font.lfHeight, state->storedIds);
    return 1;
}

int LoadStoredNote(HWND owner, int id, StoredNoteHandler handler)
{
    // An impossible stored height is mended to the default font's, as at
    // start.
    LOGFONTA font;
    SetDefaultFont(&font);
    AppState* state = App();
    if (state)
        GetNoteFont(state->defaultFont, &font);
    return LoadNoteFromStore(owner, id, handler, font.lfHeight);
}

void SaveOptions()
{
    AppState* state = App();
    if (!state)
        return;
    LOGFONTA font;
    std::memset(&font, 0, sizeof(font));
    bool writeFont = !state->keepStoredDefaultFont && GetNoteFont(state->defaultFont, &font);
    LONG error = WriteOptions(state->options, writeFont ? &font : nullptr);
    if (error != ERROR_SUCCESS)
        ReportSaveFailure(error);
}

int SaveNote(const NoteRecord* record)
{
    if (!record)
        return 0;
    LONG error = WriteNote(record);
    // A deleted note's values are gone, so its ID may be handed out again.
    // After a failed write or move the store decides: a note made in this
    // run holds its ID by its window alone, and once that closes a new note
    // would take the ID and save over what stayed behind.
    MarkStored(record->id, error == ERROR_SUCCESS ? !record->deleted : HasStoredNote(record->id));
    NotifyNotesChanged();
    // The user believes the note is safe; a failure must not pass silently.
    if (error != ERROR_SUCCESS) {
        ReportSaveFailure(error);
        return 0;
    }
    return 1;
}

void SaveNoteTopmost(const NoteRecord* record)
{
    WriteNoteTopmost(record);
}

bool BinStoredNote(int id)
{
    LONG error = MoveNoteToBin(id);
    if (error == ERROR_SUCCESS)
        MarkStored(id, false);
    else if (error != ERROR_FILE_NOT_FOUND)
        ReportSaveFailure(error);
    NotifyNotesChanged();
    return error == ERROR_SUCCESS;
}

bool RestoreNotesFromBin(const std::wstring& entry, const std::vector<int>& ids)
{
    LONG error = RestoreFromBin(entry, ids);
    // The notes are back even when their entry could not be removed.
    bool restored = !ids.empty();
    for (int id : ids) {
        bool stored = HasStoredNote(id);
        MarkStored(id, stored);
        restored = restored && stored;
    }
    // An entry gone meanwhile was not a failed save.
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND)
        ReportSaveFailure(error);
    NotifyNotesChanged();
    return restored;
}

void ReportSaveFailure(LONG error)
{
    AppState* state = App();
    if (!state || state->saveFailureReported)
        return;
    state->saveFailureReported = true;
    HWND main = MainWindow();
    if (main)
        PostMessageW(main, WM_SAVEFAILED, static_cast<WPARAM>(error), 0);
}
