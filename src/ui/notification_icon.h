// The program's icon in the notification area, kept while a boss key is
// set: its tip says the key, what the key hid and whether something waits
// to be told; an icon the shell does not hold (none started yet, or one
// started again) is added at the next try.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/controls.h"
#include "platform/hot_key.h"

namespace vindrel {

class NotificationIcon {
public:
    explicit NotificationIcon(Form& owner) : owner_(owner) {}
    ~NotificationIcon() { Keep(std::nullopt); }
    NotificationIcon(const NotificationIcon&) = delete;
    NotificationIcon& operator=(const NotificationIcon&) = delete;

    // The icon with this tip; none: no icon.
    void Keep(std::optional<std::wstring> tip);
    // The shell started again without it: added again at the next try.
    void Lost() { held_ = false; }
    // Adds the icon wanted and not held yet; whether it is held now.
    bool Try();
    bool Held() const { return held_; }
    bool Wanted() const { return tip_.has_value(); }

private:
    Form& owner_;
    std::optional<std::wstring> tip_;
    bool held_ = false;
};

// "老板键 Ctrl+Alt+B：已隐藏 3 个窗口", or "老板键 Ctrl+Alt+B" with nothing
// hidden; then, when something waits to be told, a line that says so.
std::wstring TrayTip(const HotKey& key, std::size_t hidden, bool waiting);

}  // namespace vindrel
