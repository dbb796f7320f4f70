#include "ui/waiting_boxes.h"

namespace vindrel {

void WaitingBoxes::MsgBox(const std::wstring& prompt, const std::optional<std::wstring>& title) {
    if (!held_) {
        boxes_.MsgBox(prompt, title);
        return;
    }
    waiting_.emplace_back(prompt, title);
    if (Queued) Queued();
}

void WaitingBoxes::Hold(bool held) {
    held_ = held;
    // One at a time: a box shown may hold them again (the window hidden
    // from inside it).
    while (!held_ && !waiting_.empty()) {
        auto [prompt, title] = std::move(waiting_.front());
        waiting_.pop_front();
        boxes_.MsgBox(prompt, title);
    }
}

}  // namespace vindrel
