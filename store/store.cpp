// Placeholder until the registry store is built.
#include "store/store.h"
#include "app/app_state.h"

int LoadStore(HWND)
{
    AppState* state = App();
    SetDefaultOptions(&state->options);
    LOGFONTA font;
    SetDefaultFont(&font);
    state->defaultFont = CreateFontIndirectA(&font);
    return 1;
}
void SaveOptions() {}
int SaveNote(const NoteRecord* record) { return record != nullptr; }
void FormatValueName(char* buffer, int size, const char* base, int id) { (void)size; wsprintfA(buffer, "%s%d", base, id); }
