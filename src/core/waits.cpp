#include "waits.h"

#include <algorithm>
#include <set>
#include <string>

#include "steps/port_wait.h"

namespace rm {
namespace {

// How often a launched program is asked whether it waits for input yet.
constexpr int ReadyPollMilliseconds = 100;

}  // namespace

Task<> Pause(Monitor& m, int milliseconds) {
    co_await PortWait<bool>(m.steps, [&m, milliseconds](PortWait<bool>::Deliver resume) {
        m.ports.Steps.After(milliseconds, [resume] { resume(true); });
    });
}

Task<bool> RouterReplyOrTimeout(Monitor& m, int milliseconds) {
    Waiting& waiting = m.waiting;
    const std::uint64_t id = waiting.NextId++;
    const bool replied = co_await PortWait<bool>(m.steps, [&m, &waiting, id, milliseconds](PortWait<bool>::Deliver wake) {
        waiting.RouterReply.emplace(id, wake);
        m.ports.Steps.After(milliseconds, [&waiting, id, wake] {
            waiting.RouterReply.erase(id);
            wake(false);
        });
    });
    waiting.RouterReply.erase(id);
    co_return replied;
}

void RouterReplied(Monitor& m) {
    auto waiting = std::exchange(m.waiting.RouterReply, {});
    for (auto& [id, wake] : waiting) m.ports.Steps.After(0, [wake = std::move(wake)] { wake(true); });
}

void ShowMessage(Monitor& m, const std::string& text) { m.ports.Dialogs.ShowMessage(text, {}); }

Task<> MessageClosed(Monitor& m, std::string text) {
    co_await PortWait<bool>(m.steps, [&m, &text](PortWait<bool>::Deliver closed) {
        m.ports.Dialogs.ShowMessage(text, [closed] { closed(true); });
    });
}

Task<bool> AskYesNo(Monitor& m, std::string text, std::string caption) {
    if (m.waiting.Questions.contains(text)) co_return false;
    const Held<std::string> asking(m.waiting.Questions, text);
    co_return co_await PortWait<bool>(m.steps, [&m, &text, &caption](PortWait<bool>::Deliver answered) {
        m.ports.Dialogs.AskYesNo(text, caption, answered);
    });
}

Task<> CloseWindow(Monitor& m, WindowHandle window) {
    if (m.waiting.ClosingWindows.contains(window)) co_return;
    const Held<WindowHandle> closing(m.waiting.ClosingWindows, window);
    co_await PortWait<bool>(m.steps, [&m, window](PortWait<bool>::Deliver closed) {
        m.ports.OtherWindows.CloseWindow(window, [closed] { closed(true); });
    });
}

Task<> ProcessReady(Monitor& m, ProcessHandle process, int maxWaitMilliseconds) {
    const std::int64_t start = m.ports.Clock.MonotonicMilliseconds();
    while (!m.ports.Programs.ReadyForInput(process)) {
        const std::int64_t elapsed = m.ports.Clock.MonotonicMilliseconds() - start;
        if (elapsed >= maxWaitMilliseconds) co_return;
        co_await Pause(m, static_cast<int>(std::min<std::int64_t>(ReadyPollMilliseconds, maxWaitMilliseconds - elapsed)));
    }
}

}  // namespace rm
