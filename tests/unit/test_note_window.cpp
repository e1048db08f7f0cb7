// The note window: its colours and pixels, dragging, blinking and what it
// does once its record is gone.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "notes/note_window.h"
#include "res/resource.h"
#include "tests/unit/test_note_window_support.h"
#include "tests/unit/test_support.h"

namespace
{

// "■", a glyph whose middle is solid text colour whatever the smoothing.
constexpr char kBlock[] = "\x81\xA1";
constexpr COLORREF kBack = RGB(0xFF, 0xFF, 0xE1);
constexpr COLORREF kFore = RGB(0x20, 0x40, 0x60);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlackColour = RGB(0, 0, 0);

struct Painted {
    COLORREF background;
    COLORREF text;
    bool hasInk;
};

// Paints the note onto a fresh canvas; background is the top-left pixel
// (always margin), text the middle of the ink.
Painted PaintOnCanvas(const TestNote& note)
{
    RECT client;
    GetClientRect(note.window(), &client);
    Canvas canvas(client.right, client.bottom);
    PaintNote(note.window(), canvas.dc());
    Painted result{canvas.At(0, 0), Canvas::kUntouched, false};
    RECT ink = canvas.InkBounds(result.background);
    if (ink.right > ink.left) {
        result.hasInk = true;
        result.text = canvas.At((ink.left + ink.right) / 2, (ink.top + ink.bottom) / 2);
    }
    return result;
}

std::string Hex(COLORREF colour)
{
    char text[16];
    wsprintfA(text, "%06lX", colour);
    return text;
}

class NotePainting : public testing::Test
{
protected:
    void SetUp() override
    {
        state_->options.eveColour = RGB(255, 128, 0);
        state_->options.dueColour = RGB(255, 0, 128);
    }
    ScopedAppState state_;
};

} // namespace

TEST(ChooseNoteColours, FollowTheDrawStateAndTheBlackAndWhiteOption)
{
    Options options = {};
    SetDefaultOptions(&options);
    options.eveColour = RGB(1, 1, 1);
    options.dueColour = RGB(2, 2, 2);
    NoteRecord record = {};
    record.foreColour = RGB(3, 3, 3);
    record.backColour = RGB(4, 4, 4);
    struct Case {
        std::uint8_t drawState;
        std::uint8_t blackWhite;
        COLORREF text;
        COLORREF background;
    } cases[] = {
        {0, 1, RGB(3, 3, 3), RGB(4, 4, 4)},
        {1, 1, RGB(3, 3, 3), RGB(1, 1, 1)},
        {2, 1, RGB(3, 3, 3), RGB(2, 2, 2)},
        {2, 0, RGB(3, 3, 3), RGB(2, 2, 2)},
        {3, 0, RGB(3, 3, 3), RGB(2, 2, 2)},
        {3, 1, kWhite, kBlackColour},
    };
    for (const Case& c : cases) {
        record.drawState = c.drawState;
        options.blackWhite = c.blackWhite;
        COLORREF text = 0;
        COLORREF background = 0;
        ChooseNoteColours(&record, &options, &text, &background);
        EXPECT_EQ(Hex(c.text), Hex(text))
            << "text, draw state " << int(c.drawState) << ", b/w " << int(c.blackWhite);
        EXPECT_EQ(Hex(c.background), Hex(background))
            << "background, draw state " << int(c.drawState) << ", b/w " << int(c.blackWhite);
    }
}

TEST_F(NotePainting, EachDrawStatePaintsItsBackgroundAndTextColour)
{
    TestNote note(kBlock, 50, 50, 80, 40, kBack);
    note.record()->foreColour = kFore;
    const COLORREF eve = state_->options.eveColour;
    const COLORREF due = state_->options.dueColour;
    struct Case {
        std::uint8_t drawState;
        std::uint8_t blackWhite;
        COLORREF background;
        COLORREF text;
    } cases[] = {
        {0, 1, kBack, kFore},
        {1, 1, eve, kFore},
        {2, 1, due, kFore},
        {2, 0, due, kFore},
        {3, 0, due, kFore},
        {3, 1, kBlackColour, kWhite},
    };
    for (const Case& c : cases) {
        note.record()->drawState = c.drawState;
        state_->options.blackWhite = c.blackWhite;
        Painted painted = PaintOnCanvas(note);
        EXPECT_EQ(Hex(c.background), Hex(painted.background))
            << "background, draw state " << int(c.drawState) << ", b/w " << int(c.blackWhite);
        ASSERT_TRUE(painted.hasInk) << "the text is drawn, draw state " << int(c.drawState);
        EXPECT_EQ(Hex(c.text), Hex(painted.text))
            << "text colour, draw state " << int(c.drawState) << ", b/w " << int(c.blackWhite);
    }
}

TEST_F(NotePainting, AnEmptyOrMissingTextPaintsNothing)
{
    TestNote note("", 50, 50, 80, 40);
    Canvas canvas(80, 40);
    PaintNote(note.window(), canvas.dc());
    EXPECT_EQ(0, canvas.CountInk(0, 0, 80, 40, Canvas::kUntouched)) << "empty text";
    note.SetText(nullptr);
    PaintNote(note.window(), canvas.dc());
    EXPECT_EQ(0, canvas.CountInk(0, 0, 80, 40, Canvas::kUntouched)) << "no text";
    note.SetText("x");
    note.Detach();
    PaintNote(note.window(), canvas.dc());
    EXPECT_EQ(0, canvas.CountInk(0, 0, 80, 40, Canvas::kUntouched)) << "no record";
}

TEST_F(NotePainting, AmpersandsAreDrawnNotTakenAsMnemonics)
{
    TestNote note("&&&&", 50, 50, 200, 40);
    RECT client;
    GetClientRect(note.window(), &client);
    Canvas canvas(client.right, client.bottom);
    PaintNote(note.window(), canvas.dc());
    RECT ink = canvas.InkBounds(canvas.At(0, 0));
    ASSERT_GT(ink.right, ink.left) << "ink of \"&&&&\"";

    // As a mnemonic text "&&&&" would show two ampersands; drawn as it is,
    // the fourth one reaches past the width of three.
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, note.record()->font);
    SIZE three;
    GetTextExtentPoint32A(screen, "&&&", 3, &three);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    EXPECT_GT(ink.right, 6 + three.cx) << "rightmost ink column of \"&&&&\"";

    note.SetText("&");
    Canvas single(client.right, client.bottom);
    PaintNote(note.window(), single.dc());
    EXPECT_GT(single.CountInk(0, 0, client.right, client.bottom, single.At(0, 0)), 0)
        << "a lone \"&\" leaves ink";
}

TEST_F(NotePainting, TextStaysInsideTheMarginsAndDoesNotWrap)
{
    // Long enough to run far past the right edge; a wrap would put ink on the
    // second line.
    TestNote note("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", 50, 50, 100, 60);
    RECT client;
    GetClientRect(note.window(), &client);
    const int w = client.right;
    const int h = client.bottom;
    Canvas canvas(w, h);
    PaintNote(note.window(), canvas.dc());
    const COLORREF back = canvas.At(0, 0);
    EXPECT_EQ(Hex(kBack), Hex(back));
    EXPECT_EQ(0, canvas.CountInk(0, 0, 6, h, back)) << "left margin";
    EXPECT_EQ(0, canvas.CountInk(w - 6, 0, w, h, back)) << "right margin";
    EXPECT_EQ(0, canvas.CountInk(0, 0, w, 3, back)) << "top margin";
    EXPECT_EQ(0, canvas.CountInk(0, h - 3, w, h, back)) << "bottom margin";
    EXPECT_GT(canvas.CountInk(6, 3, w - 6, h - 3, back), 0) << "the text itself";
    EXPECT_GT(canvas.CountInk(w - 12, 3, w - 6, h - 3, back), 0) << "the long line runs to the right edge";

    TEXTMETRICA metrics;
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, note.record()->font);
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(0, canvas.CountInk(0, 3 + metrics.tmHeight, w, h, back)) << "below the first line";
}

TEST_F(NotePainting, ASecondLineIsDrawnBelowTheFirst)
{
    TestNote note("W\r\nW", 50, 50, 60, 80);
    Canvas canvas(60, 80);
    PaintNote(note.window(), canvas.dc());
    RECT ink = canvas.InkBounds(canvas.At(0, 0));
    TEXTMETRICA metrics;
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, note.record()->font);
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    EXPECT_GT(ink.bottom, 3 + metrics.tmHeight) << "ink reaches the second line";
    EXPECT_LT(ink.right, 6 + 2 * metrics.tmMaxCharWidth) << "the line break is not drawn as text";
}

TEST_F(NotePainting, RealWindowShowsItsColoursAndEmptyNoteShowsWhite)
{
    TestNote note(kBlock, 60, 60, 90, 50, kBack);
    TestNote empty("", 200, 60, 90, 50, kBack);
    note.record()->foreColour = kFore;
    PumpMessages(100);
    UpdateWindow(note.window());
    UpdateWindow(empty.window());

    HDC dc = GetDC(note.window());
    EXPECT_EQ(Hex(kBack), Hex(GetPixel(dc, 2, 2))) << "note background on screen";
    ReleaseDC(note.window(), dc);

    dc = GetDC(empty.window());
    EXPECT_EQ(Hex(kWhite), Hex(GetPixel(dc, 2, 2))) << "an empty note keeps its class background";
    EXPECT_EQ(Hex(kWhite), Hex(GetPixel(dc, 45, 25)));
    ReleaseDC(empty.window(), dc);

    // The monitor's repaint request: no erase, the whole note recomposed.
    note.record()->drawState = kDrawOverdue;
    state_->options.blackWhite = 1;
    InvalidateRect(note.window(), nullptr, FALSE);
    UpdateWindow(note.window());
    dc = GetDC(note.window());
    EXPECT_EQ(Hex(kBlackColour), Hex(GetPixel(dc, 2, 2))) << "overdue, black and white";
    ReleaseDC(note.window(), dc);
}

TEST(NoteWindow, CreationWithoutARecordFails)
{
    ScopedAppState state;
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kNoteClassName, nullptr, WS_POPUP, 0, 0, 50, 50, nullptr,
        nullptr, AppInstance(), nullptr);
    EXPECT_EQ(nullptr, window);
    if (window)
        DestroyWindow(window);
}

TEST(NoteWindow, KeepsItsRecordInTheUserData)
{
    ScopedAppState state;
    TestNote note("x", 10, 10, 50, 50);
    ASSERT_NE(nullptr, note.window());
    EXPECT_EQ(note.record(), NoteRecordOf(note.window()));
}

TEST(NoteWindow, DoubleClickPostsTheEditCommand)
{
    ScopedAppState state;
    TestNote note("x", 10, 10, 50, 50);
    SendMessageA(note.window(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, note.window(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(static_cast<WPARAM>(IDM_NOTE_EDIT), msg.wParam);
    EXPECT_EQ(0, msg.lParam);
    EXPECT_EQ(0, state->dragging) << "a double-click starts no drag";
}

namespace
{

LPARAM Point(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

class NoteDragging : public testing::Test
{
protected:
    ScopedAppState state_;
    TestNote note_{"drag me", 300, 200, 120, 60};

    void Send(UINT message, int x, int y) { SendMessageA(note_.window(), message, 0, Point(x, y)); }
    RECT Rect() const
    {
        RECT rect;
        GetWindowRect(note_.window(), &rect);
        return rect;
    }
};

} // namespace

TEST_F(NoteDragging, MovesByThePointersTravelAndRecordsOnlyAtButtonUp)
{
    Send(WM_LBUTTONDOWN, 10, 20);
    EXPECT_EQ(1, state_->dragging);
    EXPECT_EQ(note_.window(), GetCapture()) << "the note holds the mouse while dragging";
    Send(WM_MOUSEMOVE, 40, 25);
    RECT rect = Rect();
    EXPECT_EQ(330, rect.left);
    EXPECT_EQ(205, rect.top);
    EXPECT_EQ(120, rect.right - rect.left) << "dragging does not resize";
    EXPECT_EQ(60, rect.bottom - rect.top);
    // The pointer is again over the grabbed point, whose client coordinates
    // are the origin's; another step from there.
    Send(WM_MOUSEMOVE, 15, 10);
    rect = Rect();
    EXPECT_EQ(335, rect.left);
    EXPECT_EQ(195, rect.top);
    EXPECT_EQ(300, note_.record()->left) << "the record waits for the button-up";
    EXPECT_EQ(200, note_.record()->top);

    Send(WM_LBUTTONUP, 10, 20);
    EXPECT_EQ(0, state_->dragging);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(335, note_.record()->left);
    EXPECT_EQ(195, note_.record()->top);
    EXPECT_EQ(120, note_.record()->width);
    EXPECT_EQ(60, note_.record()->height);
}

TEST_F(NoteDragging, APointerLeftOfTheNoteMovesItLeft)
{
    Send(WM_LBUTTONDOWN, 10, 10);
    Send(WM_MOUSEMOVE, -30, -5);
    RECT rect = Rect();
    EXPECT_EQ(260, rect.left) << "negative client x";
    EXPECT_EQ(185, rect.top) << "negative client y";
    Send(WM_LBUTTONUP, -30, -5);
    EXPECT_EQ(260, note_.record()->left);
    EXPECT_EQ(185, note_.record()->top);
}

TEST_F(NoteDragging, MouseMovesWithoutADragDoNothing)
{
    Send(WM_MOUSEMOVE, 50, 50);
    Send(WM_LBUTTONUP, 50, 50);
    RECT rect = Rect();
    EXPECT_EQ(300, rect.left);
    EXPECT_EQ(200, rect.top);
    EXPECT_EQ(300, note_.record()->left);
}

TEST_F(NoteDragging, LosingTheCaptureEndsTheDrag)
{
    Send(WM_LBUTTONDOWN, 10, 10);
    Send(WM_MOUSEMOVE, 30, 10);
    ReleaseCapture();
    EXPECT_EQ(0, state_->dragging);
    EXPECT_EQ(320, note_.record()->left) << "the place reached is kept";
    Send(WM_MOUSEMOVE, 90, 90);
    EXPECT_EQ(320, Rect().left) << "no drag without the capture";
}

TEST_F(NoteDragging, ResizingReachesTheRecordOnlyAtTheNextDragEnd)
{
    SetWindowPos(note_.window(), nullptr, 0, 0, 200, 90, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(120, note_.record()->width) << "a size change alone";
    EXPECT_EQ(60, note_.record()->height);
    Send(WM_LBUTTONDOWN, 5, 5);
    Send(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(200, note_.record()->width);
    EXPECT_EQ(90, note_.record()->height);
    EXPECT_EQ(300, note_.record()->left);
}

TEST_F(NoteDragging, RememberNoteRectSkipsAMinimisedNote)
{
    SetWindowPos(note_.window(), nullptr, 0, 0, 200, 90, SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(note_.window(), SW_MINIMIZE);
    if (!IsIconic(note_.window()))
        GTEST_SKIP() << "this window manager does not minimise popup windows";
    RememberNoteRect(note_.window(), nullptr);
    EXPECT_EQ(120, note_.record()->width);
    EXPECT_EQ(300, note_.record()->left);
}

TEST_F(NoteDragging, RememberNoteRectWritesTheGivenRecord)
{
    NoteRecord other = {};
    RememberNoteRect(note_.window(), &other);
    EXPECT_EQ(300, other.left);
    EXPECT_EQ(200, other.top);
    EXPECT_EQ(120, other.width);
    EXPECT_EQ(60, other.height);
}

TEST(NoteBlink, HideThenShowRestoresTheNote)
{
    ScopedAppState state;
    TestNote note("blink", 10, 10, 60, 40);
    SendMessageA(note.window(), WM_NOTEBLINK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(note.window()));
    SendMessageA(note.window(), WM_NOTEBLINK, 1, 0);
    EXPECT_TRUE(IsWindowVisible(note.window()));
}

TEST(NoteBlink, ShowLeavesANoteTheUserHidHidden)
{
    ScopedAppState state;
    TestNote note("blink", 10, 10, 60, 40);
    SendMessageA(note.window(), WM_NOTEBLINK, 0, 0);
    note.record()->hidden = 1;
    SendMessageA(note.window(), WM_NOTEBLINK, 1, 0);
    EXPECT_FALSE(IsWindowVisible(note.window())) << "hidden flag set";
    note.record()->hidden = 0;
    note.Detach();
    SendMessageA(note.window(), WM_NOTEBLINK, 1, 0);
    EXPECT_FALSE(IsWindowVisible(note.window())) << "no record";
}

TEST(NoteWindow, MessagesAfterTheRecordIsGoneAreHarmless)
{
    ScopedAppState state;
    TestNote note("gone", 100, 100, 80, 40);
    note.Detach();
    InvalidateRect(note.window(), nullptr, TRUE);
    UpdateWindow(note.window());
    HDC dc = GetDC(note.window());
    EXPECT_EQ(Hex(kWhite), Hex(GetPixel(dc, 40, 20))) << "painted nothing but the class background";
    ReleaseDC(note.window(), dc);

    SendMessageA(note.window(), WM_LBUTTONDOWN, 0, Point(5, 5));
    SendMessageA(note.window(), WM_MOUSEMOVE, 0, Point(25, 5));
    SendMessageA(note.window(), WM_LBUTTONUP, 0, Point(25, 5));
    EXPECT_EQ(0, state->dragging);

    // None of these may open a box or touch a record.
    bool boxSeen = false;
    {
        DeferredAction watch(
            600,
            [](void* seen) {
                if (HWND box = WaitForThreadWindow("#32770", 10)) {
                    *static_cast<bool*>(seen) = true;
                    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
                    PostMessageA(box, WM_COMMAND, IDNO, 0);
                }
            },
            &boxSeen);
        for (int command : {IDM_NOTE_PEEL, IDM_NOTE_DELETE, IDM_NOTE_EDIT, IDM_NOTE_DUPLICATE,
                 IDM_NOTE_PROPERTIES, IDM_OPTIMIZE, IDM_NOTE_HIDE, 4242})
            SendMessageA(note.window(), WM_COMMAND, static_cast<WPARAM>(command), 0);
    }
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(0, state->noteCommandBusy);
    EXPECT_EQ(nullptr, state->editorWindow.load()) << "no editor for a note without a record";
    EXPECT_FALSE(IsWindowVisible(note.window())) << "hide still hides the window";
}
