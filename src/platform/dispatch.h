// Where what arrives from outside the program's own code (the user's
// input, another program's messages, the clock) becomes a handling. Every
// wait on the user-interface thread still runs the window procedure: the
// deadline wait and COM's wait answer sent messages, and a handling's own
// message box dispatches posted ones. Such an arrival never runs inside the
// handling in progress: a command is kept, in arrival order, and run when
// the outermost handling has returned; a timer tick is dropped (the next
// one comes). Events the handlings raise themselves (a row selected from
// code, a text set from code) do not come this way and stay nested.
#pragma once

#include <deque>
#include <functional>

namespace vindrel {

class Dispatch {
public:
    // A control notification, a scroll or a close request: run now when no
    // handling is in progress, otherwise after the outermost one returns.
    void Command(std::function<void()> handling);
    // A press of the program's global key: run as a command, but also at
    // once while the handling in progress waits for the user's answer in
    // a message box. That is safe because no handling asks the user in the
    // middle of its changes: each asks before it starts them or after it
    // has made them, and reads what it acts on again after the answer.
    void Press(std::function<void()> handling);
    // A timer tick: run now when no handling is in progress, else dropped.
    void Tick(const std::function<void()>& handling);
    // The window is being destroyed: what is kept is dropped, and nothing
    // that arrives from now on runs.
    void Close();

    bool Busy() const { return depth_ > 0; }

    // Held while a handling's message box waits for the user's answer.
    class Asking {
    public:
        explicit Asking(Dispatch& dispatch) : dispatch_(dispatch) { ++dispatch_.asking_; }
        ~Asking() { --dispatch_.asking_; }
        Asking(const Asking&) = delete;
        Asking& operator=(const Asking&) = delete;

    private:
        Dispatch& dispatch_;
    };

private:
    // Runs a handling at rest, then every command kept meanwhile.
    void RunOutermost(std::function<void()> handling);

    int depth_ = 0;
    int asking_ = 0;  // message boxes open inside handlings
    bool closed_ = false;
    std::deque<std::function<void()>> kept_;
};

}  // namespace vindrel
