// The About box: its texts, the bold title and closing it.
#include <gtest/gtest.h>

#include <string>

#include "help/about_box.h"
#include "platform/program.h"
#include "res/resource.h"
#include "tests/unit/test_support.h"

namespace
{

struct AboutSeen {
    WPARAM closeKey;
    bool found = false;
    std::string title;
    std::string version;
    std::string name;
    HFONT titleFont = nullptr;
    LOGFONTA font = {};
    RECT titleClient = {};
    bool gone = false;
};

void LookAndClose(void* context)
{
    auto* seen = static_cast<AboutSeen*>(context);
    HWND box = WaitForThreadWindow("#32770", 5000);
    if (!box)
        return;
    seen->found = true;
    char text[128] = {};
    GetWindowTextA(box, text, sizeof(text));
    seen->title = text;
    GetDlgItemTextA(box, IDC_ABOUT_VERSION, text, sizeof(text));
    seen->version = text;
    GetDlgItemTextA(box, IDC_ABOUT_TITLE, text, sizeof(text));
    seen->name = text;
    HWND title = GetDlgItem(box, IDC_ABOUT_TITLE);
    seen->titleFont = reinterpret_cast<HFONT>(SendMessageA(title, WM_GETFONT, 0, 0));
    GetObjectA(seen->titleFont, sizeof(seen->font), &seen->font);
    GetClientRect(title, &seen->titleClient);
    if (seen->closeKey) {
        // Through the dialog's own keyboard handling, as a key press would go.
        PostMessageA(box, WM_KEYDOWN, seen->closeKey, 0);
    } else {
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    for (int i = 0; i < 250 && IsWindow(box); ++i)
        Sleep(20);
    seen->gone = !IsWindow(box);
    if (!seen->gone)
        PostMessageA(box, WM_COMMAND, IDOK, 0);
}

AboutSeen ShowAbout(WPARAM closeKey)
{
    AboutSeen seen;
    seen.closeKey = closeKey;
    {
        DeferredAction user(50, LookAndClose, &seen);
        ShowAboutBox(nullptr);
    }
    return seen;
}

} // namespace

TEST(AboutBox, ShowsTheNameInBoldAndTheVersion)
{
    AboutSeen seen = ShowAbout(0);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(Sjis("バージョン情報"), seen.title);
    EXPECT_EQ("Version 0.10", seen.version);
    EXPECT_EQ(Sjis("ジョット・ワイズ"), seen.name);
    ASSERT_TRUE(seen.titleFont) << "control 102 has a font of its own";
    EXPECT_EQ(FW_BOLD, seen.font.lfWeight);
    EXPECT_EQ(seen.titleClient.top - seen.titleClient.bottom + 1, seen.font.lfHeight)
        << "one character as tall as the control, less a pixel";
    EXPECT_TRUE(seen.gone) << "OK closes the box";
    EXPECT_EQ(0u, GetObjectType(seen.titleFont)) << "the bold font is deleted on closing";
}

TEST(AboutBox, EscapeClosesItLikeOk)
{
    // A first showing loads what stays loaded (the icon, the dialog font).
    ShowAbout(VK_ESCAPE);
    DWORD gdiBefore = CountGdiObjects();
    AboutSeen seen = ShowAbout(VK_ESCAPE);
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.gone) << "Esc closes the box";
    EXPECT_EQ(0u, GetObjectType(seen.titleFont)) << "and deletes the bold font";
    EXPECT_EQ(gdiBefore, CountGdiObjects()) << "GDI objects left behind";
}

TEST(AboutBox, EnterClosesItToo)
{
    AboutSeen seen = ShowAbout(VK_RETURN);
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.gone);
    EXPECT_EQ(0u, GetObjectType(seen.titleFont));
}
