#include "editor/pickers.h"

#include <commdlg.h>

#include <cstdio>

#include "platform/error_box.h"
#include "platform/gdi_owners.h"
#include "platform/system_library.h"
#include "platform/wide_text.h"
#include "res/resource.h"

namespace
{

constexpr int kCustomColourCount = 16;
constexpr DWORD kFontChooserFlags = CF_SCREENFONTS | CF_PRINTERFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS
    | CF_FORCEFONTEXIST; // 0x00010143
static_assert(kFontChooserFlags == 0x00010143);

// Never stored: every run starts from the same table, and what the user
// adds in one chooser is offered by every later one.
COLORREF g_customColours[kCustomColourCount];
bool g_customColoursFilled = false;

void FillCustomColours()
{
    if (g_customColoursFilled)
        return;
    g_customColours[0] = GetSysColor(COLOR_INFOBK);
    g_customColours[1] = 0x00C0DCC0;
    g_customColours[2] = 0x00F0CCA8;
    for (int i = 3; i < kCustomColourCount; ++i)
        g_customColours[i] = 0xFFFFFFFF;
    g_customColoursFilled = true;
}

} // namespace

COLORREF* CustomColours()
{
    return g_customColours;
}

void ResetCustomColours()
{
    g_customColoursFilled = false;
}

int PickColour(HWND owner, COLORREF* colour)
{
    if (!colour)
        return 0;
    FillCustomColours();

    CHOOSECOLORW chooser{};
    chooser.lStructSize = sizeof(chooser);
    chooser.hwndOwner = owner;
    chooser.rgbResult = *colour;
    chooser.lpCustColors = g_customColours;
    chooser.Flags = CC_RGBINIT;
    auto choose = SystemFunctionAs<decltype(&ChooseColorW)>(L"comdlg32.dll", "ChooseColorW");
    if (!choose || !choose(&chooser))
        return 0;
    *colour = chooser.rgbResult;
    return 1;
}

int PickFont(HWND owner, LOGFONTA* font, COLORREF* colour)
{
    if (!font)
        return 0;
    // The chooser fills its record while the user browses, cancelled or not;
    // work on a copy so that a cancel leaves the caller's font as it was.
    LOGFONTW choice = WideFont(*font);

    CHOOSEFONTW chooser{};
    chooser.lStructSize = sizeof(chooser);
    chooser.hwndOwner = owner;
    chooser.hDC = nullptr;
    chooser.lpLogFont = &choice;
    chooser.Flags = kFontChooserFlags;
    chooser.rgbColors = colour ? *colour : 0;
    chooser.nFontType = SCREEN_FONTTYPE;
    chooser.nSizeMin = 20;
    chooser.nSizeMax = 20;
    auto choose = SystemFunctionAs<decltype(&ChooseFontW)>(L"comdlg32.dll", "ChooseFontW");
    if (!choose || !choose(&chooser))
        return 0;
    bool lossy = false;
    LOGFONTA chosen = NoteFont(choice, &lossy);
    // A face named in another script cannot be stored; taking it would
    // bring the note back in some other font at the next start.
    if (lossy) {
        ReportError(owner, IDS_ERR_FACE_NAME, nullptr);
        return 0;
    }
    *font = chosen;
    if (colour)
        *colour = chooser.rgbColors;
    return 1;
}
