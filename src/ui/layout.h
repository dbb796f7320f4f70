// The main window's layout: every control, its container, caption, place in
// twips, tab order, colours and start state. The code that creates the
// controls reads this table; nothing else places them.
#pragma once

#include <span>
#include <stdexcept>
#include <string_view>

#include "platform/layout_row.h"

namespace vindrel::layout {

using K = ControlKind;
using C = Colour;

// The client area of Form1, in twips.
inline constexpr int kClientWidth = 12465;
inline constexpr int kClientHeight = 6855;

inline constexpr std::wstring_view kHomepage = L"http://www.example.com/";

// The program's item in the window's system menu (U: the standard items
// already take R).
inline constexpr std::wstring_view kRestoreMenuItem = L"恢复被本程序改动的窗口(&U)";

// clang-format off
inline constexpr LayoutRow kForm1 =
    {"Form1", K::Form, "", L"Vindrel", {0, 0, kClientWidth, kClientHeight}};

inline constexpr LayoutRow kControls[] = {
//   name        kind             container caption                  left  top   width height tab  back                 fore    header own   min max  value
    {"Label6",   K::Label,        "Form1",  L"映象名称",             {360,  360,  975,  255},  14, C::Default,          C::Default, true},
    {"Label3",   K::Label,        "Form1",  L"窗口标题",             {2400, 360,  1335, 375},  5,  C::Default,          C::Default, true},
    {"Label4",   K::Label,        "Form1",  L"句柄",                 {5160, 360,  615,  495},  6,  C::Default,          C::Default, true},
    {"Label5",   K::Label,        "Form1",  L"PID",                  {6960, 360,  615,  495},  8,  C::Default,          C::Default, true},
    {"Label2",   K::Label,        "Form1",  L"该进程的句柄",         {8400, 360,  1815, 375},  4,  C::Default,          C::Default, true},
    {"List4",    K::ListBox,      "Form1",  L"",                     {0,    720,  1935, 5640}, 13},
    {"List1",    K::ListBox,      "Form1",  L"",                     {1920, 720,  2655, 5640}, 1,  C::InactiveCaptionText},
    {"List2",    K::ListBox,      "Form1",  L"",                     {4560, 720,  1695, 5640}, 2},
    {"List3",    K::ListBox,      "Form1",  L"",                     {6240, 720,  1935, 5640}, 7},
    {"Text2",    K::TextBox,      "Form1",  L"0",                    {8400, 840,  1935, 615},  3,  C::PaleYellow},
    {"Command9", K::Button,       "Form1",  L"结束该进程",           {10440, 840, 1215, 615},  11},
    {"Frame2",   K::Frame,        "Form1",  L"修改",                 {8280, 1560, 4095, 855},  20, C::Green},
    {"Command4", K::Button,       "Frame2", L"隐藏",                 {120,  240,  735,  495},  25},
    {"Command8", K::Button,       "Frame2", L"显示",                 {840,  240,  735,  495},  24},
    {"Command17", K::Button,      "Frame2", L"最小化",               {1560, 240,  735,  495},  23},
    {"Command19", K::Button,      "Frame2", L"还原",                 {2280, 240,  735,  495},  22},
    {"Command21", K::Button,      "Frame2", L"激活",                 {3000, 240,  735,  495},  21},
    {"Frame3",   K::Frame,        "Form1",  L"更改标题名字",         {8280, 2520, 4095, 855},  26, C::Green},
    {"Command22", K::Button,      "Frame3", L"更改名字",             {120,  240,  1095, 495},  28, C::Green},
    {"Text5",    K::TextBox,      "Frame3", L"",                     {1320, 240,  2295, 495},  27},
    {"Frame4",   K::Frame,        "Form1",  L"更改该窗体透明度",     {8280, 3480, 4095, 975},  29, C::Green},
    {"HScroll2", K::ScrollBar,    "Frame4", L"",                     {120,  240,  3735, 615},  30, C::Default,          C::Default, false, false, 0, 51,  51},
    {"Frame1",   K::Frame,        "Form1",  L"窗口闪烁",             {8280, 4560, 4095, 735},  18, C::Green},
    {"Check1",   K::CheckBox,     "Frame1", L"闪烁",                 {120,  240,  1095, 375},  19, C::Green,            C::Default, false, false, 0, 1,   0},
    {"Option1",  K::OptionButton, "Frame1", L"快",                   {1800, 240,  855,  255},  31, C::Green,            C::Default, false, false, 0, 1,   1},
    {"Option2",  K::OptionButton, "Frame1", L"慢",                   {3120, 240,  855,  255},  32, C::Green,            C::Default, false, false, 0, 1,   0},
    {"Label8",   K::Label,        "Form1",  L"",                     {8280, 5400, 3975, 1095}, 40},
    {"Label9",   K::Label,        "Form1",  L"Label9",               {8280, 5880, 2055, 255},  41, C::Default,          C::Red,     false, true},
    {"Command1", K::Button,       "Form1",  L"刷新列表",             {0,    6360, 1095, 495},  0},
    {"Command7", K::Button,       "Form1",  L"清空",                 {1920, 6360, 735,  495},  10},
    {"Text3",    K::TextBox,      "Form1",  L"",                     {4560, 6360, 1695, 375},  15},
    {"Text4",    K::TextBox,      "Form1",  L"",                     {6240, 6360, 1935, 375},  16},
    {"Timer1",   K::Timer,        "Form1",  L"",                     {},                       -1, C::Default,          C::Default, false, false, 0, 0,   100},
    {"tmrBoss",  K::Timer,        "Form1",  L"",                     {},                       -1, C::Default,          C::Default, false, false, 0, 0,   250},
    {"tmrTray",  K::Timer,        "Form1",  L"",                     {},                       -1, C::Default,          C::Default, false, false, 0, 0,   3000},
    {"Frame5",   K::Frame,        "Form1",  L"Frame5",               {4200, 1440, 3015, 1335}, 33},
    {"Label1",   K::Label,        "Frame5", L"输入pid",              {240,  240,  1695, 255},  36},
    {"Text1",    K::TextBox,      "Frame5", L"0",                    {240,  720,  1215, 615},  35},
    {"Command5", K::Button,       "Frame5", L"查找句柄->",           {1560, 720,  1215, 615},  34},
    {"Frame6",   K::Frame,        "Form1",  L"Frame6",               {4320, 3000, 3735, 1335}, 37},
    {"Label7",   K::Label,        "Frame6", L"更改本窗体透明度",     {240,  240,  1935, 495},  39},
    {"HScroll1", K::ScrollBar,    "Frame6", L"",                     {0,    720,  3615, 495},  38, C::Default,          C::Default, false, false, 0, 255, 255},
    {"Command14", K::Button,      "Form1",  L"显示所有进程",         {2880, 2520, 1335, 615},  12},
    {"Command6", K::Button,       "Form1",  L"判断是否隐藏",         {2760, 3720, 1215, 615},  9},
    {"Command18", K::Button,      "Form1",  L"判断句柄是否有效",     {1680, 2160, 855,  615},  17},
    // Not a tab stop; its caption is its tooltip.
    {"Finder1",  K::Finder,       "Form1",  L"按住它拖到一个窗口上再松开，就取得那个窗口的句柄（Esc 放弃）", {10560, 300, 480, 480}, 42},
};
// clang-format on

// The window list: owned by the main window, resizable down to this size.
inline constexpr std::wstring_view kWindowListMenuItem = L"所有窗口(&W)...";
inline constexpr int kListWidth = 9600;
inline constexpr int kListHeight = 6600;
inline constexpr int kListRefresh = 1000;  // milliseconds between updates, at least

// clang-format off
inline constexpr LayoutRow kWindowList =
    {"WindowList", K::Form, "", L"所有窗口", {0, 0, kListWidth, kListHeight}, -1, C::Default, C::Default, false, false, 0, 0, 0, kFixed, true};

inline constexpr LayoutRow kWindowListControls[] = {
//   name          kind          container     caption           left  top   width height tab  back        fore        header own    min max value anchor
    {"lblSearch",  K::Label,     "WindowList", L"搜索：",         {120,  165,  735,  255},  0},
    {"txtSearch",  K::TextBox,   "WindowList", L"",               {840,  120,  8640, 345},  1,  C::Default, C::Default, false, false, 0, 0,  0,   kStretchWidth},
    {"chkAll",     K::CheckBox,  "WindowList", L"显示全部窗口",   {120,  555,  2535, 300},  2},
    {"chkLost",    K::CheckBox,  "WindowList", L"只看找不到的窗口", {120,  900,  2535, 300},  3},
    {"lblCount",   K::Label,     "WindowList", L"",               {120,  1290, 9360, 255},  4,  C::Default, C::Default, false, false, 0, 0,  0,   kStretchWidth},
    {"lvwWindows", K::ListView,  "WindowList", L"",               {120,  1605, 9360, 4275}, 5,  C::Default, C::Default, false, false, 0, 0,  0,   kStretchWidth | kStretchHeight},
    {"cmdRescue",  K::Button,    "WindowList", L"找回",           {120,  6000, 1200, 450},  6,  C::Default, C::Default, false, false, 0, 0,  0,   kFollowBottom},
    {"cmdTopmost", K::Button,    "WindowList", L"置顶",           {1440, 6000, 1200, 450},  7,  C::Default, C::Default, false, false, 0, 0,  0,   kFollowBottom},
    {"cmdBoss",    K::Button,    "WindowList", L"加入老板键",     {2760, 6000, 1500, 450},  8,  C::Default, C::Default, false, false, 0, 0,  0,   kFollowBottom},
    {"cmdChoose",  K::Button,    "WindowList", L"选用",           {6960, 6000, 1200, 450},  9,  C::Default, C::Default, false, false, 0, 0,  1,   kFollowRight | kFollowBottom},
    {"cmdRefresh", K::Button,    "WindowList", L"刷新",           {8280, 6000, 1200, 450},  10,  C::Default, C::Default, false, false, 0, 0,  0,   kFollowRight | kFollowBottom},
    {"tmrRefresh", K::Timer,     "WindowList", L"",               {},                       -1, C::Default, C::Default, false, false, 0, 0,  kListRefresh},
};
// clang-format on

// The boss key's dialog, opened from the system menu and the window list.
inline constexpr std::wstring_view kBossKeyMenuItem = L"老板键(&B)...";
inline constexpr std::wstring_view kBossKeyHelp =
    L"按一次热键隐藏所列程序的全部窗口，再按一次按原样恢复。其他程序的通知区域图标不会隐藏；"
    L"全屏游戏可能失去画面；应用商店应用可能仍留有任务栏按钮。";

// clang-format off
inline constexpr LayoutRow kBossKey =
    {"BossKey", K::Form, "", L"老板键", {0, 0, 7320, 5520}, -1, C::Default, C::Default, false, false, 0, 0, 0, kFixed, true};

inline constexpr LayoutRow kBossKeyControls[] = {
//   name           kind          container  caption             left  top   width height tab  back        fore        header own    min max value
    {"lblPrograms", K::Label,     "BossKey", L"要隐藏的程序：",   {120,  120,  6960, 255},  0},
    {"lvwPrograms", K::ListView,  "BossKey", L"",                 {120,  420,  6960, 1800}, 1,  C::Default, C::Default, false, false, 0, 0, 0, kStretchWidth | kStretchHeight},
    {"cmdRemove",   K::Button,    "BossKey", L"移除",             {5880, 2310, 1200, 405},  2,  C::Default, C::Default, false, false, 0, 0, 0, kFollowRight | kFollowBottom},
    {"lblRunning",  K::Label,     "BossKey", L"正在运行的程序：", {120,  2865, 1800, 255},  3,  C::Default, C::Default, false, false, 0, 0, 0, kFollowBottom},
    {"cboRunning",  K::ComboBox,  "BossKey", L"",                 {1920, 2820, 3840, 2400}, 4,  C::Default, C::Default, false, false, 0, 0, 0, kStretchWidth | kFollowBottom},
    {"cmdAdd",      K::Button,    "BossKey", L"添加",             {5880, 2790, 1200, 405},  5,  C::Default, C::Default, false, false, 0, 0, 0, kFollowRight | kFollowBottom},
    {"lblKey",      K::Label,     "BossKey", L"热键：",           {120,  3465, 735,  255},  6,  C::Default, C::Default, false, false, 0, 0, 0, kFollowBottom},
    {"hkyKey",      K::HotKeyBox, "BossKey", L"",                 {960,  3420, 2880, 330},  7,  C::Default, C::Default, false, false, 0, 0, 0, kFollowBottom},
    {"chkWin",      K::CheckBox,  "BossKey", L"Win",              {3960, 3435, 840,  300},  8,  C::Default, C::Default, false, false, 0, 0, 0, kFollowBottom},
    {"lblState",    K::Label,     "BossKey", L"",                 {120,  3870, 6960, 255},  9,  C::Default, C::Default, false, false, 0, 0, 0, kStretchWidth | kFollowBottom},
    {"lblHelp",     K::Label,     "BossKey", L"",                 {120,  4200, 6960, 600},  10, C::Default, C::Default, false, false, 0, 0, 0, kStretchWidth | kFollowBottom},
    {"cmdOK",       K::Button,    "BossKey", L"确定",             {4560, 4920, 1200, 405},  11, C::Default, C::Default, false, false, 0, 0, 1, kFollowRight | kFollowBottom},
    {"cmdCancel",   K::Button,    "BossKey", L"取消",             {5880, 4920, 1200, 405},  12, C::Default, C::Default, false, false, 0, 0, 0, kFollowRight | kFollowBottom},
};
// clang-format on

// The boss key's programs: name, path, state; widths in twips.
inline constexpr int kBossColumnWidths[] = {1500, 4300, 900};

// The window list's columns, their widths in twips.
inline constexpr int kWindowColumnWidths[] = {1600, 800, 1000, 1800, 2200, 1600};

constexpr const LayoutRow& Find(std::string_view name) {
    for (const LayoutRow& row : kControls) {
        if (row.name == name) return row;
    }
    throw std::out_of_range("no control of that name");
}

}  // namespace vindrel::layout
