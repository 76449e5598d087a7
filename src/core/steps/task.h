// A command whose steps lie apart in time, written in order as a coroutine:
// each co_await is a point where the command waits and other events run.
// A task starts when it is awaited or started by the Runner, and hands its
// result, or what it threw, to whoever awaits it.
#pragma once

#include <coroutine>
#include <exception>
#include <optional>
#include <utility>

namespace rm {

namespace detail {

struct PromiseBase {
    // Whoever awaits this task; none for a command started on its own.
    std::coroutine_handle<> continuation;
    std::exception_ptr error;

    std::suspend_always initial_suspend() noexcept { return {}; }
    struct Final {
        bool await_ready() noexcept { return false; }
        template <class Promise>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> self) noexcept {
            const std::coroutine_handle<> next = self.promise().continuation;
            return next ? next : std::noop_coroutine();
        }
        void await_resume() noexcept {}
    };
    Final final_suspend() noexcept { return {}; }
    void unhandled_exception() noexcept { error = std::current_exception(); }
    void RethrowError() const {
        if (error) std::rethrow_exception(error);
    }
};

template <class T>
struct Promise : PromiseBase {
    std::optional<T> value;
    template <class U>
    void return_value(U&& result) {
        value.emplace(std::forward<U>(result));
    }
    T Take() {
        RethrowError();
        return std::move(*value);
    }
};

template <>
struct Promise<void> : PromiseBase {
    void return_void() noexcept {}
    void Take() const { RethrowError(); }
};

}  // namespace detail

template <class T = void>
class [[nodiscard]] Task {
public:
    struct promise_type : detail::Promise<T> {
        Task get_return_object() { return Task(std::coroutine_handle<promise_type>::from_promise(*this)); }
    };

    Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Task& operator=(Task&& other) noexcept {
        if (this != &other) {
            Destroy();
            handle_ = std::exchange(other.handle_, {});
        }
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    // Ending a task that waits ends the steps it awaits too: their frames go,
    // and what would have resumed them finds nothing.
    ~Task() { Destroy(); }

    bool await_ready() const noexcept { return false; }
    std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiting) noexcept {
        handle_.promise().continuation = awaiting;
        return handle_;
    }
    T await_resume() { return handle_.promise().Take(); }

    // For the Runner: a command started on its own.
    void Begin() { handle_.resume(); }
    bool Done() const { return handle_.done(); }
    // What the finished task threw, rethrown.
    void RethrowError() const { handle_.promise().RethrowError(); }

private:
    explicit Task(std::coroutine_handle<promise_type> handle) : handle_(handle) {}
    void Destroy() {
        if (handle_) handle_.destroy();
        handle_ = {};
    }

    std::coroutine_handle<promise_type> handle_;
};

}  // namespace rm
