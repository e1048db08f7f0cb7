// Small owners for GDI objects and device contexts, so that every path out
// of a painting or measuring function releases what it made.
#pragma once

#include <windows.h>

// A memory device context, deleted on scope exit.
class MemoryDc
{
public:
    explicit MemoryDc(HDC compatibleWith)
        : dc_(CreateCompatibleDC(compatibleWith))
    {
    }
    ~MemoryDc()
    {
        if (dc_)
            DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// The screen's device context, released on scope exit.
class ScreenDc
{
public:
    ScreenDc()
        : dc_(GetDC(nullptr))
    {
    }
    ~ScreenDc()
    {
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// A GDI object (bitmap, brush, font) made here and deleted on scope exit.
template <typename Handle> class GdiOwner
{
public:
    explicit GdiOwner(Handle handle)
        : handle_(handle)
    {
    }
    ~GdiOwner()
    {
        if (handle_)
            DeleteObject(handle_);
    }
    GdiOwner(const GdiOwner&) = delete;
    GdiOwner& operator=(const GdiOwner&) = delete;
    Handle get() const { return handle_; }

private:
    Handle handle_;
};

// Selects an object into a DC and puts the previous one back on scope exit,
// so that nothing made here is still selected when it is deleted.
class ScopedSelection
{
public:
    ScopedSelection(HDC dc, HGDIOBJ object)
        : dc_(dc)
        , previous_(object ? SelectObject(dc, object) : nullptr)
    {
    }
    ~ScopedSelection()
    {
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
