#include "store/draft.h"

#include <cstring>
#include <vector>

#include "store/registry_key.h"
#include "store/store.h"

namespace
{

constexpr wchar_t kDraftNote[] = L"DraftNote";
constexpr wchar_t kDraftFont[] = L"DraftFont";
constexpr wchar_t kDraftText[] = L"DraftText";
// The repeat kind in the low byte, its day above; absent: no repeat.
constexpr wchar_t kDraftRepeat[] = L"DraftRepeat";
// Written last and read first: without it the rest is an interrupted write.
constexpr wchar_t kDraftNew[] = L"DraftNew";
constexpr const wchar_t* kDraftValues[] = {kDraftNew, kDraftNote, kDraftFont, kDraftText, kDraftRepeat};

LONG Write(HKEY key, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    return RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
}

// The value's bytes when it has the type and, when `size` is given, exactly
// that size.
bool Read(HKEY key, const wchar_t* name, DWORD type, std::vector<BYTE>* data, DWORD size = 0)
{
    DWORD storedType = 0;
    DWORD storedSize = 0;
    if (RegQueryValueExW(key, name, nullptr, &storedType, nullptr, &storedSize) != ERROR_SUCCESS
        || storedType != type || (size && storedSize != size))
        return false;
    data->resize(storedSize);
    return RegQueryValueExW(key, name, nullptr, nullptr, data->data(), &storedSize) == ERROR_SUCCESS
        && storedSize == data->size();
}

} // namespace

LONG SaveDraft(const Draft& draft)
{
    RegistryKey key(kStoreBase, kStoreKey);
    HKEY handle = key.Handle();
    if (!handle)
        return key.LastError();
    DeleteDraft();
    const DWORD isNew = draft.isNew ? 1 : 0;
    const auto textSize = static_cast<DWORD>((draft.text.size() + 1) * sizeof(wchar_t));
    const DWORD repeat = MAKEWORD(draft.note.repeat, draft.note.repeatDay);
    LONG error = Write(handle, kDraftNote, REG_BINARY, &draft.note, kNoteImageSize);
    if (error == ERROR_SUCCESS)
        error = Write(handle, kDraftFont, REG_BINARY, &draft.font, sizeof(draft.font));
    if (error == ERROR_SUCCESS)
        error = Write(handle, kDraftText, REG_SZ, draft.text.c_str(), textSize);
    if (error == ERROR_SUCCESS && repeat)
        error = Write(handle, kDraftRepeat, REG_DWORD, &repeat, sizeof(repeat));
    if (error == ERROR_SUCCESS)
        error = Write(handle, kDraftNew, REG_DWORD, &isNew, sizeof(isNew));
    return error;
}

bool ReadDraft(Draft* draft, LONG defaultHeight)
{
    RegistryKey key(kStoreBase, kStoreKey);
    HKEY handle = key.Handle();
    std::vector<BYTE> isNew;
    std::vector<BYTE> note;
    std::vector<BYTE> font;
    std::vector<BYTE> text;
    if (!handle || !Read(handle, kDraftNew, REG_DWORD, &isNew, sizeof(DWORD))
        || !Read(handle, kDraftNote, REG_BINARY, &note, kNoteImageSize)
        || !Read(handle, kDraftFont, REG_BINARY, &font, sizeof(LOGFONTA))
        || !Read(handle, kDraftText, REG_SZ, &text))
        return false;
    // A text is whole UTF-16 units ending in the terminator this program
    // writes; anything else was not written by it.
    if (text.size() < sizeof(wchar_t) || text.size() % sizeof(wchar_t) != 0 || text[text.size() - 1] != 0
        || text[text.size() - 2] != 0)
        return false;
    std::memset(&draft->note, 0, sizeof(draft->note));
    CopyNoteImage(&draft->note, reinterpret_cast<const NoteRecord*>(note.data()));
    std::memcpy(&draft->font, font.data(), sizeof(draft->font));
    draft->font.lfFaceName[LF_FACESIZE - 1] = '\0';
    MendFontHeight(&draft->font, defaultHeight);
    draft->text.assign(reinterpret_cast<const wchar_t*>(text.data()), text.size() / sizeof(wchar_t) - 1);
    DWORD flag = 0;
    std::memcpy(&flag, isNew.data(), sizeof(flag));
    draft->isNew = flag != 0;
    std::vector<BYTE> repeat;
    if (Read(handle, kDraftRepeat, REG_DWORD, &repeat, sizeof(DWORD)) && repeat[0] < kRepeatKindCount) {
        draft->note.repeat = repeat[0];
        draft->note.repeatDay = repeat[1];
    }
    return true;
}

void DeleteDraft()
{
    RegistryKey key(kStoreBase, kStoreKey);
    if (!key.Handle())
        return;
    for (const wchar_t* name : kDraftValues)
        RegDeleteValueW(key.Handle(), name);
}
