#include "store/extra_settings.h"

#include "store/registry_key.h"
#include "store/store.h"

namespace
{
constexpr const char kRemindValue[] = "Remind";
constexpr const char kRemindWindowValue[] = "RemindWindow";
constexpr const char kOpacityValue[] = "Opacity";
constexpr const char kHotKeyValue[] = "HotKey";
} // namespace

void SetDefaultExtraSettings(ExtraSettings* settings)
{
    settings->remind = 1;
    settings->remindWindow = 1;
    settings->opacity = kMaxOpacity;
    settings->hotKey = kDefaultHotKey;
}

int ClampOpacity(int percent)
{
    return percent < kMinOpacity ? kMinOpacity : percent > kMaxOpacity ? kMaxOpacity : percent;
}

void LoadExtraSettings(ExtraSettings* settings)
{
    SetDefaultExtraSettings(settings);
    RegistryKey key(kStoreBase, kStoreKey);
    DWORD value = 0;
    if (key.ReadDword(kRemindValue, &value))
        settings->remind = value ? 1 : 0;
    if (key.ReadDword(kRemindWindowValue, &value))
        settings->remindWindow = value ? 1 : 0;
    if (key.ReadDword(kOpacityValue, &value))
        settings->opacity
            = static_cast<std::uint8_t>(ClampOpacity(value > 255 ? kMaxOpacity : static_cast<int>(value)));
    if (key.ReadDword(kHotKeyValue, &value))
        settings->hotKey = static_cast<WORD>(value);
}

void SaveExtraSettings(const ExtraSettings& settings)
{
    RegistryKey key(kStoreBase, kStoreKey);
    key.WriteDword(kRemindValue, settings.remind);
    key.WriteDword(kRemindWindowValue, settings.remindWindow);
    key.WriteDword(kOpacityValue, settings.opacity);
    key.WriteDword(kHotKeyValue, settings.hotKey);
}
