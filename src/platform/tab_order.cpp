#include "platform/tab_order.h"

namespace vindrel {

namespace {

bool TakesFocus(ControlKind kind) {
    // The finder takes the focus only while it is dragged.
    return kind != ControlKind::Label && kind != ControlKind::Frame && kind != ControlKind::Timer &&
           kind != ControlKind::Form && kind != ControlKind::Finder;
}

bool IsOption(const TabEntry& entry) {
    return entry.row->kind == ControlKind::OptionButton;
}

bool SameGroup(const TabEntry& a, const TabEntry& b) {
    return IsOption(a) && IsOption(b) && a.row->container == b.row->container;
}

bool IsTabStop(std::span<const TabEntry> entries, int index) {
    const TabEntry& entry = entries[static_cast<std::size_t>(index)];
    if (!entry.available || !TakesFocus(entry.row->kind)) return false;
    if (!IsOption(entry) || entry.chosen) return true;
    // An unchosen option is the group's stop only when no available option
    // of the group is chosen and it is the first available one.
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const TabEntry& other = entries[static_cast<std::size_t>(i)];
        if (i == index || !other.available || !SameGroup(entry, other)) continue;
        if (other.chosen || i < index) return false;
    }
    return true;
}

// Steps from `current` through the entries, wrapping, and gives the first
// that passes `accept`; -1 when a whole round finds none.
template <class Accept>
int Step(std::span<const TabEntry> entries, int current, bool forward, Accept accept) {
    const int count = static_cast<int>(entries.size());
    if (count == 0) return -1;
    int index = current;
    if (index < 0) index = forward ? count - 1 : 0;
    for (int step = 0; step < count; ++step) {
        index = (index + (forward ? 1 : count - 1)) % count;
        if (accept(index)) return index;
    }
    return -1;
}

}  // namespace

int NextTabStop(std::span<const TabEntry> entries, int current, bool forward) {
    return Step(entries, current, forward, [&](int i) { return IsTabStop(entries, i); });
}

int NextOption(std::span<const TabEntry> entries, int current, bool forward) {
    const TabEntry& from = entries[static_cast<std::size_t>(current)];
    const int next = Step(entries, current, forward, [&](int i) {
        const TabEntry& entry = entries[static_cast<std::size_t>(i)];
        return entry.available && SameGroup(from, entry);
    });
    return next < 0 ? current : next;
}

}  // namespace vindrel
