#include "store/records.h"

#include <cstdint>
#include <cstring>

void CopyNoteImage(NoteRecord* dst, const NoteRecord* src)
{
    std::memcpy(dst, src, kNoteImageSize);
}

bool IsFontHeightPossible(LONG height, int pixelsPerInch)
{
    const std::int64_t limit
        = static_cast<std::int64_t>(kMaxFontPoints) * (pixelsPerInch > 0 ? pixelsPerInch : 96) / 72;
    const std::int64_t size = height < 0 ? -static_cast<std::int64_t>(height) : height;
    return size <= limit;
}

int SetDefaultOptions(Options* options)
{
    if (!options)
        return 0;
    options->foreColour = RGB(0, 0, 0);
    options->backColour = GetSysColor(COLOR_INFOBK);
    options->eveColour = RGB(255, 128, 0);
    options->dueColour = RGB(255, 0, 128);
    options->imeOn = 1;
    options->cutTrailingNewline = 1;
    options->tabIndex = 1;
    options->border = 0;
    options->dueAmount = 2;
    options->dueUnit = 1;
    options->eveColourOn = 1;
    options->dueColourOn = 1;
    options->blink = 0;
    options->blackWhite = 1;
    return 1;
}

int SetDefaultFont(LOGFONTA* font)
{
    if (!font)
        return 0;
    std::memset(font, 0, sizeof(*font));
    font->lfHeight = 17;
    font->lfWeight = FW_NORMAL;
    font->lfCharSet = SHIFTJIS_CHARSET;
    font->lfOutPrecision = OUT_DEFAULT_PRECIS;
    font->lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font->lfQuality = DEFAULT_QUALITY;
    font->lfPitchAndFamily = FIXED_PITCH | FF_DONTCARE;
    // "ＭＳ 明朝" in code page 932
    static const char kFace[] = "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";
    std::memcpy(font->lfFaceName, kFace, sizeof(kFace));
    return 1;
}
