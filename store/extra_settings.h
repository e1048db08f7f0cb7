// Settings that came after the options record: each in a registry value of
// its own, so the 64-byte record and its reserved bytes stay as they were and
// an older Jotwise simply ignores them.
#ifndef JOTWISE_STORE_EXTRA_SETTINGS_H
#define JOTWISE_STORE_EXTRA_SETTINGS_H

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

constexpr int kMinOpacity = 30;
constexpr int kMaxOpacity = 100;
// In the hotkey control's form: virtual key in the low byte, HOTKEYF_* above.
constexpr WORD kDefaultHotKey = MAKEWORD('M', HOTKEYF_CONTROL | HOTKEYF_ALT);

struct ExtraSettings {
    std::uint8_t remind;       // announce due notes in a tray balloon
    std::uint8_t remindWindow; // and in the reminder window as well
    std::uint8_t opacity;      // percent, kMinOpacity to kMaxOpacity
    WORD hotKey;               // 0: no hotkey
};

void SetDefaultExtraSettings(ExtraSettings* settings);

// Missing or unreadable values keep their defaults; an opacity out of range
// is brought into it.
void LoadExtraSettings(ExtraSettings* settings);
void SaveExtraSettings(const ExtraSettings& settings);

int ClampOpacity(int percent);

#endif
