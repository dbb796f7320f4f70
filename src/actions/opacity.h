// Opacity through the layered-window facility: of the target window
// (touming2) and of the program's own main window (touming).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "actions/change_path.h"
#include "actions/messages.h"
#include "platform/controls.h"
#include "platform/window_system.h"

namespace vindrel {

class Opacity {
public:
    // The least alpha given to a window of the program's own (about 10%):
    // one made fully transparent could not be found to undo it.
    static constexpr std::uint8_t kOwnMinimumAlpha = 25;

    // `mainWindow` asks for the main window's handle (none without one).
    Opacity(WindowSystem& ws, ChangePath& path, std::function<Hwnd()> mainWindow = {})
        : ws_(ws), path_(path), mainWindow_(std::move(mainWindow)) {}

    // Adds WS_EX_LAYERED to the window's extended style, then sets its
    // alpha (m narrowed to a byte; outside 0..255 throws StepError after
    // the style has changed; at least kOwnMinimumAlpha for a window of the
    // program's own). The layered bit is never removed. The change goes
    // through the change path: another program's window is recorded first,
    // so that it can be put back; on one of a program with more rights, an
    // alpha that did not take is explained in the report.
    Report touming2(std::int16_t m, Hwnd hwn);
    // The same change, on a window that must still belong to `owner`
    // where given: what became of it.
    Outcome Layered(Hwnd window, std::int16_t m, std::optional<Pid> owner);
    // The same on the main window, whose handle is asked for before each call.
    void touming(std::int16_t m);

private:
    // The three calls, asking for the window's handle before each; `own`
    // keeps the alpha at kOwnMinimumAlpha or more. The alpha given, or
    // nothing when the style or the alpha was refused.
    std::optional<std::uint8_t> Layer(const std::function<Hwnd()>& window, std::int16_t m,
                                      bool own);

    WindowSystem& ws_;
    ChangePath& path_;
    std::function<Hwnd()> mainWindow_;
};

}  // namespace vindrel
