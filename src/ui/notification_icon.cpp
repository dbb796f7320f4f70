#include "ui/notification_icon.h"

#include "actions/boss_settings.h"

namespace vindrel {

void NotificationIcon::Keep(std::optional<std::wstring> tip) {
    if (!tip) {
        if (tip_) owner_.RemoveTrayIcon();
        tip_.reset();
        held_ = false;
        return;
    }
    const bool changed = tip != tip_;
    tip_ = std::move(tip);
    if (changed || !held_) held_ = owner_.ShowTrayIcon(*tip_);
}

bool NotificationIcon::Try() {
    if (tip_ && !held_) held_ = owner_.ShowTrayIcon(*tip_);
    return held_;
}

std::wstring TrayTip(const HotKey& key, std::size_t hidden, bool waiting) {
    std::wstring tip = L"老板键 " + KeyText(key);
    if (hidden > 0) tip += L"：已隐藏 " + std::to_wstring(hidden) + L" 个窗口";
    if (waiting) tip += L"\n有提示等待查看：单击图标打开主窗口";
    return tip;
}

}  // namespace vindrel
