#pragma once

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

namespace ferrowyn {

// A job that may wait on a device for long (an overwrite stalled by a frozen file system) runs on a thread of its
// own, while the event loop's thread goes on painting the windows and answering the window system (Windows marks
// a program that answers nothing for five seconds as not responding). Meanwhile the user's input is held
// (UserInputHeld); a box the job asks through onEventLoop takes its answer all the same. Nothing the job raises
// reaches Qt's event loop: it is raised again where the job was run.

// Runs `job` off the event loop's thread and waits for it, the event loop running: returns what it returns, or
// raises what it raised. Called on the event loop's thread, one job at a time.
template <typename Job> std::invoke_result_t<Job&> runOffEventLoop(Job&& job);

// Runs `call` on the event loop's thread and waits for it: returns what it returns, or raises what it raised.
// From the event loop's thread itself, it is called at once.
template <typename Call> std::invoke_result_t<Call&> onEventLoop(Call&& call);

// Hands `call` to the event loop's thread without waiting; those a job hands over are all called, in order,
// before runOffEventLoop returns.
void postToEventLoop(std::function<void()> call);

namespace detail {
void runOffEventLoop(const std::function<void()>& job);
void onEventLoop(const std::function<void()>& call);
} // namespace detail

template <typename Job> std::invoke_result_t<Job&> runOffEventLoop(Job&& job) {
    using Result = std::invoke_result_t<Job&>;
    if constexpr (std::is_void_v<Result>) {
        detail::runOffEventLoop(job);
    } else {
        std::optional<Result> result;
        detail::runOffEventLoop([&] { result.emplace(job()); });
        return std::move(*result);
    }
}

template <typename Call> std::invoke_result_t<Call&> onEventLoop(Call&& call) {
    using Result = std::invoke_result_t<Call&>;
    if constexpr (std::is_void_v<Result>) {
        detail::onEventLoop(call);
    } else {
        std::optional<Result> result;
        detail::onEventLoop([&] { result.emplace(call()); });
        return std::move(*result);
    }
}

} // namespace ferrowyn
