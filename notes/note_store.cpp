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
    state->options = options;
    LoadExtraSettings(&state->extra);
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
    // The note's values are gone, so its ID may be handed out again.
    if (record->deleted)
        MarkStored(record->id, false);
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
    if (!MoveNoteToBin(id))
        return false;
    MarkStored(id, false);
    return true;
}

bool RestoreNoteFromBin(int entry, int id)
{
    // The values are back in the main key even when the entry stays behind.
    bool restored = RestoreFromBin(entry, id);
    if (HasStoredNote(id))
        MarkStored(id, true);
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
