// Note windows made directly in the test process, and pixels read back.
#ifndef JOTWISE_TESTS_UNIT_TEST_NOTE_WINDOW_SUPPORT_H
#define JOTWISE_TESTS_UNIT_TEST_NOTE_WINDOW_SUPPORT_H

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "notes/app_state.h"
#include "notes/note_table.h"
#include "store/records.h"

// A MemoC window with its own record (default font, black on `back`),
// created without the note table so that CloseNote leaves it alone.
class TestNote
{
public:
    TestNote(
        const char* text, int left, int top, int width, int height, COLORREF back = RGB(0xFF, 0xFF, 0xE1))
        : record_(NewNoteRecord())
    {
        record_->foreColour = RGB(0, 0, 0);
        record_->backColour = back;
        record_->left = left;
        record_->top = top;
        record_->width = width;
        record_->height = height;
        record_->id = 7;
        SetText(text);
        LOGFONTA font;
        SetDefaultFont(&font);
        record_->font = CreateFontIndirectA(&font);
        record_->brush = CreateSolidBrush(back);
        window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kNoteClassName, nullptr, WS_POPUP | WS_VISIBLE, left, top,
            width, height, nullptr, nullptr, AppInstance(), record_);
    }
    ~TestNote()
    {
        if (IsWindow(window_)) {
            SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
        }
        DeleteNoteRecord(record_);
    }
    TestNote(const TestNote&) = delete;
    TestNote& operator=(const TestNote&) = delete;

    HWND window() const { return window_; }
    NoteRecord* record() const { return record_; }

    void SetText(const char* text)
    {
        std::free(record_->text);
        record_->text = nullptr;
        if (text) {
            std::size_t size = std::strlen(text) + 1;
            record_->text = static_cast<char*>(std::malloc(size));
            std::memcpy(record_->text, text, size);
        }
    }
    // What CloseNote does to the window's user data before destroying it.
    void Detach() { SetWindowLongPtrA(window_, GWLP_USERDATA, 0); }

private:
    NoteRecord* record_;
    HWND window_ = nullptr;
};

// A 32-bit top-down DIB selected into a memory DC, pre-filled with a
// colour that no note paints, so that "nothing painted" can be seen.
class Canvas
{
public:
    static constexpr COLORREF kUntouched = RGB(1, 2, 3);

    Canvas(int width, int height)
        : width_(width)
        , height_(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<std::uint32_t*>(bits);
        previous_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i)
            bits_[i] = 0x00010203; // kUntouched as a DIB pixel
    }
    ~Canvas()
    {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }

    COLORREF At(int x, int y) const
    {
        GdiFlush();
        std::uint32_t pixel = bits_[y * width_ + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

    // Pixels inside [left, right) x [top, bottom) that differ from `background`.
    int CountInk(int left, int top, int right, int bottom, COLORREF background) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += At(x, y) != background;
        return count;
    }

    // The bounding box of the pixels that differ from `background`; empty
    // (right <= left) without any.
    RECT InkBounds(COLORREF background) const
    {
        RECT bounds = {width_, height_, -1, -1};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (At(x, y) != background) {
                    bounds.left = x < bounds.left ? x : bounds.left;
                    bounds.top = y < bounds.top ? y : bounds.top;
                    bounds.right = x + 1 > bounds.right ? x + 1 : bounds.right;
                    bounds.bottom = y + 1 > bounds.bottom ? y + 1 : bounds.bottom;
                }
        return bounds;
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

#endif
