#include "platform/stand_in_font.h"

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <vector>

#include "platform/gdi_owners.h"

namespace
{

// Faces that hold Japanese, the nearest to the program's own look first.
// MS Gothic also under its Japanese name, which is the one some systems
// list it by.
constexpr const wchar_t* kJapaneseFaces[] = {
    L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic", L"MS Gothic", L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF"};

struct StandIn {
    HFONT font;
    LOGFONTW asked;
    LOGFONTW made;
};

std::mutex g_lock;
// Entries of deleted fonts go when the next font is made; a handle that a
// font made elsewhere has taken over fails the comparison with `made`.
std::vector<StandIn> g_standIns;

int CALLBACK MarkFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool SameFont(const LOGFONTW& a, const LOGFONTW& b)
{
    return std::memcmp(&a, &b, offsetof(LOGFONTW, lfFaceName)) == 0
        && std::wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

// The face and character set that stand in for missing faces. Looked up
// once: the system's fonts seldom change while the program runs.
const LOGFONTW& StandInFace()
{
    static const LOGFONTW face = [] {
        LOGFONTW chosen{};
        for (const wchar_t* name : kJapaneseFaces) {
            if (IsFaceInstalled(name)) {
                std::wcsncpy(chosen.lfFaceName, name, LF_FACESIZE - 1);
                chosen.lfCharSet = SHIFTJIS_CHARSET;
                return chosen;
            }
        }
        // The system's own choice for its windows, in whatever language
        // it is set up for.
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(chosen), &chosen);
        return chosen;
    }();
    return face;
}

} // namespace

bool IsFaceInstalled(const wchar_t* face)
{
    if (!face || !face[0])
        return false;
    ScreenDc screen;
    if (!screen.get())
        return true;
    LOGFONTW family{};
    family.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(family.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(screen.get(), &family, MarkFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

HFONT CreateFontOrStandIn(const LOGFONTW& wanted)
{
    LOGFONTW made = wanted;
    const bool standIn = !IsFaceInstalled(wanted.lfFaceName);
    if (standIn) {
        const LOGFONTW& face = StandInFace();
        std::memcpy(made.lfFaceName, face.lfFaceName, sizeof(made.lfFaceName));
        made.lfCharSet = face.lfCharSet;
    }
    HFONT font = CreateFontIndirectW(&made);
    if (!font)
        return nullptr;
    std::lock_guard<std::mutex> lock(g_lock);
    std::erase_if(g_standIns,
        [font](const StandIn& entry) { return entry.font == font || GetObjectType(entry.font) != OBJ_FONT; });
    if (standIn)
        g_standIns.push_back({font, wanted, made});
    return font;
}

bool AskedFont(HFONT font, LOGFONTW* wanted)
{
    LOGFONTW current{};
    if (!font || !wanted || GetObjectW(font, sizeof(current), &current) != sizeof(current))
        return false;
    *wanted = current;
    std::lock_guard<std::mutex> lock(g_lock);
    for (const StandIn& entry : g_standIns) {
        if (entry.font == font && SameFont(entry.made, current)) {
            *wanted = entry.asked;
            break;
        }
    }
    return true;
}
