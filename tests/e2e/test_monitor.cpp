// The due monitor seen from outside: what colour notes show and when they
// blink, with due times set relative to the machine's clock.
#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

using namespace e2e;

namespace
{

// What the note shows on the screen, away from its text.
COLORREF ShownColour(HWND note)
{
    HDC dc = GetDC(note);
    RECT client;
    GetClientRect(note, &client);
    COLORREF colour = GetPixel(dc, client.right - 2, client.bottom - 2);
    ReleaseDC(note, dc);
    return colour;
}

void SeedOptions(bool blink)
{
    Options options = {};
    SetDefaultOptions(&options);
    options.blink = blink;
    options.blackWhite = 0;
    store::WriteBinary("Option", &options, sizeof(options));
}

class MonitorSeen : public testing::Test
{
protected:
    void SetUp() override { store::Clear(); }
    void TearDown() override { store::Clear(); }

    // Waits until the note shows the colour; false after timeoutMs.
    static bool WaitForColour(HWND note, COLORREF colour, DWORD timeoutMs = 3000)
    {
        DWORD start = GetTickCount();
        do {
            if (ShownColour(note) == colour)
                return true;
            Sleep(50);
        } while (GetTickCount() - start < timeoutMs);
        return false;
    }
};

} // namespace

TEST_F(MonitorSeen, NotesTakeTheEveAndDueColoursSoonAfterStart)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wHour == 23 && now.wMinute >= 50)
        GTEST_SKIP() << "too close to midnight for a due time later today";
    SeedOptions(false);
    const COLORREF own = RGB(0x40, 0xA0, 0x60);
    const long long dues[] = {kMinutesPerDay + 5, 5, -kMinutesPerDay};
    for (int i = 0; i < 3; ++i) {
        NoteRecord record = MakeNote(i + 1, 40 + 120 * i, 40, 100, 60);
        record.backColour = own;
        record.due = LocalTimeFromNow(dues[i]);
        store::SeedNote(record, "due", DefaultFont());
    }
    Jotwise app;
    ASSERT_TRUE(app.Start());
    std::vector<HWND> notes = app.Notes(true);
    ASSERT_EQ(3u, notes.size());
    Options defaults = {};
    SetDefaultOptions(&defaults);
    for (HWND note : notes) {
        RECT rect = WindowRect(note);
        COLORREF expected = rect.left < 150 ? defaults.eveColour : defaults.dueColour;
        EXPECT_TRUE(WaitForColour(note, expected))
            << "note at x " << rect.left << " shows " << std::hex << ShownColour(note);
    }
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}

TEST_F(MonitorSeen, NoBlinkWhileThePeelQuestionIsUp)
{
    SeedOptions(true);
    NoteRecord record = MakeNote(1, 200, 200, 120, 60);
    record.due = LocalTimeFromNow(-60);
    store::SeedNote(record, "late", DefaultFont());
    Jotwise app;
    ASSERT_TRUE(app.Start());
    HWND note = app.Notes().at(0);

    auto hiddenWithin = [&](DWORD ms) {
        DWORD start = GetTickCount();
        do {
            if (!IsWindowVisible(note))
                return true;
            Sleep(10);
        } while (GetTickCount() - start < ms);
        return false;
    };
    EXPECT_TRUE(hiddenWithin(3000)) << "an overdue note blinks when blink is on";

    // Wait for the note to be shown again before the question, so that the
    // question does not find it in the middle of a blink.
    for (int i = 0; i < 100 && !IsWindowVisible(note); ++i)
        Sleep(10);
    app.PostCommand(note, 1101);
    HWND box = app.WaitForDialog(5000);
    ASSERT_TRUE(box);
    Sleep(400);
    EXPECT_FALSE(hiddenWithin(1500)) << "the note stays put while its question is up";
    PressButton(box, IDCANCEL);
    ASSERT_TRUE(app.WaitForNoDialog(5000));
    EXPECT_TRUE(hiddenWithin(3000)) << "blinking resumes after the question";
    EXPECT_EQ(std::optional<DWORD>(0), app.Exit());
}
