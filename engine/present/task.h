#pragma once
// A part of a program that may wait for a key or the clock: a coroutine, and
// every caller awaits it (`co_await s.wait();`).
//
// A task starts at once, as a call would, and runs until it finishes or the
// platform has to rest. A platform that can block (a window, a key script)
// rests inside its own call, so there a task never suspends and the whole
// program runs like plain calls on one stack. A platform that cannot block
// (a browser tab, whose program must return to the page's event loop) makes
// the innermost wait suspend: every task above it suspends too, the program's
// first call returns, and the platform resumes the innermost one when its
// rest is over. A task that finishes after it was suspended resumes its
// caller.
//
// Exceptions (going back a step, the end of the program, a run-time error)
// travel up through the awaits as through calls.
#include <exception>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

#if __has_include(<coroutine>)
#include <coroutine>
#else
// The browser build's library has the coroutine types under their earlier
// name only.
#include <experimental/coroutine>
namespace std {
using std::experimental::coroutine_handle;
using std::experimental::coroutine_traits;
using std::experimental::noop_coroutine;
using std::experimental::suspend_always;
using std::experimental::suspend_never;
}  // namespace std
#endif

namespace lk {

namespace task_detail {

// The callers of tasks that finished after a suspension, to resume once the
// finished task's own code has returned (its caller destroys it).
inline std::vector<std::coroutine_handle<>>& callers_to_resume() {
    static std::vector<std::coroutine_handle<>> callers;
    return callers;
}

struct PromiseBase {
    std::coroutine_handle<> caller;
    std::exception_ptr error;

    // Hands the caller that suspended on this task, if one did, to
    // `resume_callers`: not resumed from here, since the caller destroys this
    // task while this code would still run (and the browser's build has no
    // tail calls to leave it first).
    struct Final {
        bool await_ready() noexcept { return false; }
        template <typename Promise>
        [[gnu::always_inline]] bool await_suspend(std::coroutine_handle<Promise> self) noexcept {
            if (auto c = self.promise().caller) callers_to_resume().push_back(c);
            return true;
        }
        void await_resume() noexcept {}
    };

    std::suspend_never initial_suspend() noexcept { return {}; }
    Final final_suspend() noexcept { return {}; }
    void unhandled_exception() noexcept { error = std::current_exception(); }
};

template <typename T>
struct Promise : PromiseBase {
    std::optional<T> value;
    template <typename U>
    void return_value(U&& v) {
        value.emplace(std::forward<U>(v));
    }
};

template <>
struct Promise<void> : PromiseBase {
    void return_void() noexcept {}
};

}  // namespace task_detail

template <typename T = void>
class [[nodiscard]] Task {
public:
    struct promise_type : task_detail::Promise<T> {
        Task get_return_object() { return Task(std::coroutine_handle<promise_type>::from_promise(*this)); }
    };

    Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Task& operator=(Task&& other) noexcept {
        if (this != &other) {
            if (handle_) handle_.destroy();
            handle_ = std::exchange(other.handle_, {});
        }
        return *this;
    }
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;
    ~Task() {
        if (handle_) handle_.destroy();
    }

    bool done() const { return handle_ && handle_.done(); }

    // Awaiting: a finished task gives its value (or throws its exception)
    // at once; a suspended one resumes the awaiting task when it finishes.
    bool await_ready() const noexcept { return handle_.done(); }
    void await_suspend(std::coroutine_handle<> caller) noexcept { handle_.promise().caller = caller; }
    T await_resume() { return result(); }

    // The outcome of a finished task.
    T result() {
        auto& promise = handle_.promise();
        if (promise.error) std::rethrow_exception(promise.error);
        if constexpr (!std::is_void_v<T>) return std::move(*promise.value);
    }

private:
    explicit Task(std::coroutine_handle<promise_type> handle) : handle_(handle) {}
    std::coroutine_handle<promise_type> handle_;
};

// Resumes a suspended task, then each caller waiting on a task that has
// finished meanwhile, until all of them wait again or are done.
inline void resume_task(std::coroutine_handle<> waiting) {
    waiting.resume();
    auto& callers = task_detail::callers_to_resume();
    while (!callers.empty()) {
        auto caller = callers.back();
        callers.pop_back();
        caller.resume();
    }
}

// Where the platform blocks, a task has finished by the time its call
// returns: its outcome, as a plain call's.
template <typename T>
T finished(Task<T>&& task) {
    if (!task.done()) throw std::logic_error("a program suspended on a platform that blocks");
    return task.result();
}

}  // namespace lk
