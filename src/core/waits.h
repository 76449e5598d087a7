// The points where a command waits. Each is a co_await: the command's step
// ends there, other events run, and a timer, a reply or an answer resumes it.
// A resumed step reads the state afresh: the events run meanwhile change it.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "monitor.h"
#include "steps/task.h"

namespace rm {

// Holds a key in a set for as long as a wait lasts, however it ends.
template <class Key>
class Held {
public:
    Held(std::set<Key>& set, Key key) : set_(set), key_(std::move(key)) { set_.insert(key_); }
    ~Held() { set_.erase(key_); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    std::set<Key>& set_;
    Key key_;
};

// A pause; the same length on the wire as the platform's timers give.
Task<> Pause(Monitor& m, int milliseconds);

// Until the router's next reply or the time is up; true for a reply.
Task<bool> RouterReplyOrTimeout(Monitor& m, int milliseconds);
// Wakes every command waiting for the router, each as an event of its own.
void RouterReplied(Monitor& m);

// A box with an OK button that does not wait. The same text already up is
// not shown again.
void ShowMessage(Monitor& m, const std::string& text);
// A box whose close the command waits for.
Task<> MessageClosed(Monitor& m, std::string text);
// True for Yes. The same question already up is not asked again: the
// second asker gets No at once, as the first answer covers it.
Task<bool> AskYesNo(Monitor& m, std::string text, std::string caption);

// Asks another program's window to close and waits until it has handled
// that, or for the platform's bound when its program does not answer. A
// window another command is closing already is not asked again.
Task<> CloseWindow(Monitor& m, WindowHandle window);

// Until the process waits for input, has ended, or the time is up.
Task<> ProcessReady(Monitor& m, ProcessHandle process, int maxWaitMilliseconds);

}  // namespace rm
