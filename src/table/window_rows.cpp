#include "table/window_rows.h"

#include <algorithm>
#include <array>

#include "platform/conversions.h"
#include "platform/step_error.h"
#include "platform/text.h"

namespace vindrel {

namespace {

// The least piece of a work area that counts as on screen.
constexpr int kOnScreenWidth = 40;
constexpr int kOnScreenHeight = 20;

bool Contains(const std::wstring& text, const std::wstring& lowered) {
    return LowerCase(text).find(lowered) != std::wstring::npos;
}

// Hexadecimal digits, as far as they go; empty past 32 bits.
std::optional<std::int32_t> HexNumber(std::wstring_view digits) {
    const auto value = LeadingDigits(digits, 16, 0xFFFFFFFFu).value;
    if (!value) return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(*value));
}

// As the handle box reads a number, or "0x" and hexadecimal digits (the
// text lower-cased); empty for a number past the 32-bit range.
std::optional<std::int32_t> NumberIn(std::wstring_view text) {
    const std::size_t start = text.find_first_not_of(L" \t");
    if (start != std::wstring_view::npos &&
        (text.substr(start, 2) == L"0x" || text.substr(start, 2) == L"&h")) {
        return HexNumber(text.substr(start + 2));
    }
    try {
        return HandleInteger(NumericValue(text));
    } catch (const StepError&) {
        return std::nullopt;  // past the range: matches nothing
    }
}

}  // namespace

std::wstring StateWords(const WindowFacts& facts) {
    std::vector<std::wstring> words{facts.visible ? L"可见" : L"隐藏"};
    if (facts.minimised) words.emplace_back(L"最小化");
    if (facts.maximised) words.emplace_back(L"最大化");
    if (facts.cloaked.value_or(false)) words.emplace_back(L"被遮蔽");
    if (facts.offScreen) words.emplace_back(L"屏幕外");
    if (facts.alpha && *facts.alpha < 255) {
        words.push_back(L"不透明度 " + DecimalText(OpacityPercent(*facts.alpha)) + L"%");
    }
    if (facts.topmost) words.emplace_back(L"置顶");
    if (facts.hung) words.emplace_back(L"无响应");
    if (facts.changed) words.emplace_back(L"已被本程序改动");
    std::wstring joined;
    for (const std::wstring& word : words)
        joined += (joined.empty() ? L"" : L"，") + word;
    return joined;
}

bool OffScreen(const ScreenRect& window, const std::vector<ScreenRect>& workAreas) {
    const int width = window.right - window.left, height = window.bottom - window.top;
    if (width <= 0 || height <= 0) return false;
    const int leastWidth = std::min(width, kOnScreenWidth);
    const int leastHeight = std::min(height, kOnScreenHeight);
    return std::none_of(workAreas.begin(), workAreas.end(), [&](const ScreenRect& area) {
        const int w = std::min(window.right, area.right) - std::max(window.left, area.left);
        const int h = std::min(window.bottom, area.bottom) - std::max(window.top, area.top);
        return w >= leastWidth && h >= leastHeight;
    });
}

bool InputMethod(const std::wstring& className) {
    return className == L"IME" || className == L"MSCTFIME UI";
}

bool ShellWindow(const std::wstring& className) {
    return className == L"Shell_TrayWnd" || className == L"Shell_SecondaryTrayWnd" ||
           className == L"Progman" || className == L"WorkerW";
}

bool Lost(const WindowFacts& facts) {
    const bool unseen =
        !facts.visible || facts.cloakedByApp || facts.offScreen || TooFaint(facts.alpha);
    const bool seeable = !facts.title.empty() && (facts.captioned || facts.appWindow) &&
                         !facts.tool && facts.extent.right - facts.extent.left >= kOnScreenWidth &&
                         facts.extent.bottom - facts.extent.top >= kOnScreenHeight &&
                         !InputMethod(facts.className);
    return unseen && (seeable || facts.changed);
}

bool ShownByDefault(const WindowFacts& facts) {
    return (facts.visible || !facts.title.empty()) && !InputMethod(facts.className);
}

bool TaskbarWindow(const WindowFacts& facts) {
    return facts.visible && !facts.title.empty() && !facts.tool &&
           (!facts.owned || facts.appWindow) && !facts.cloakedByApp &&
           !ShellWindow(facts.className);
}

std::wstring_view ProgramName(const WindowFacts& facts) {
    std::wstring_view name(facts.process);
    if (name.ends_with(kFrameHost)) name.remove_suffix(kFrameHost.size());
    return name;
}

WindowSearch::WindowSearch(std::wstring_view text, bool programAndTitle)
    : programAndTitle_(programAndTitle) {
    const std::wstring lowered = LowerCase(text);
    static constexpr std::array<std::pair<std::wstring_view, Kind>, 4> kPrefixes{
        {{L"pid:", Kind::Pid},
         {L"hwnd:", Kind::Handle},
         {L"class:", Kind::Class},
         {L"exe:", Kind::Exe}}};
    for (const auto& [prefix, kind] : kPrefixes) {
        if (lowered.starts_with(prefix)) {
            kind_ = kind;
            text_ = lowered.substr(prefix.size());
            if (kind == Kind::Pid || kind == Kind::Handle) number_ = NumberIn(text_);
            return;
        }
    }
    text_ = lowered;
}

bool WindowSearch::Matches(const WindowFacts& facts) const {
    switch (kind_) {
        case Kind::Pid:
            return number_ == facts.pid;
        case Kind::Handle:
            return number_ == facts.window;
        case Kind::Class:
            return Contains(facts.className, text_);
        case Kind::Exe:
            // A path names one executable; a name, every copy of it.
            return text_.find_first_of(L"\\/") != std::wstring::npos
                       ? LowerCase(facts.path) == text_
                       : LowerCase(ProgramName(facts)) == text_;
        case Kind::Anywhere:
            break;
    }
    if (programAndTitle_) {
        return Contains(std::wstring(ProgramName(facts)), text_) || Contains(facts.title, text_);
    }
    return Contains(facts.process, text_) || Contains(facts.title, text_) ||
           Contains(DecimalText(facts.pid), text_) || Contains(DecimalText(facts.window), text_) ||
           Contains(facts.className, text_);
}

std::wstring ColumnText(const WindowFacts& facts, WindowColumn column) {
    switch (column) {
        case WindowColumn::Process:
            return facts.process;
        case WindowColumn::Pid:
            return DecimalText(facts.pid);
        case WindowColumn::Handle:
            return DecimalText(facts.window);
        case WindowColumn::Class:
            return facts.className;
        case WindowColumn::Title:
            return facts.title;
        case WindowColumn::State:
            break;
    }
    return StateWords(facts);
}

WindowOrder Clicked(const std::optional<WindowOrder>& current, WindowColumn column) {
    return {column, current && current->column == column && !current->descending};
}

std::wstring ColumnCaption(WindowColumn column, const std::optional<WindowOrder>& order) {
    std::wstring caption(kWindowColumns[static_cast<std::size_t>(column)]);
    if (order && order->column == column) caption += order->descending ? L" ▼" : L" ▲";
    return caption;
}

void SortRows(std::vector<WindowFacts>& rows, const WindowOrder& order) {
    const auto compare = [column = order.column](const WindowFacts& a, const WindowFacts& b) {
        switch (column) {
            case WindowColumn::Pid:
                return (a.pid > b.pid) - (a.pid < b.pid);
            case WindowColumn::Handle:
                return (a.window > b.window) - (a.window < b.window);
            case WindowColumn::Process:
                return CompareText(a.process, b.process);
            case WindowColumn::Class:
                return CompareText(a.className, b.className);
            case WindowColumn::Title:
                return CompareText(a.title, b.title);
            case WindowColumn::State:
                break;
        }
        return CompareText(StateWords(a), StateWords(b));
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const WindowFacts& a, const WindowFacts& b) {
        const int sign = compare(a, b);
        return order.descending ? sign > 0 : sign < 0;
    });
}

std::wstring CountText(std::size_t shown, std::size_t all) {
    return L"显示 " + std::to_wstring(shown) + L" / 共 " + std::to_wstring(all) + L" 个窗口";
}

}  // namespace vindrel
