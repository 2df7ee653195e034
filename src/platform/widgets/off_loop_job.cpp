#include "platform/widgets/off_loop_job.h"
#include "platform/widgets/default_handling.h"
#include "platform/widgets/user_input_held.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <exception>

namespace ferrowyn {
namespace {

// The thing on the event loop's thread that calls what a job hands over; there while a job runs.
QObject* g_receiver = nullptr;

class JobThread : public QThread {
public:
    explicit JobThread(const std::function<void()>& job) : m_job(job) {}
    std::exception_ptr failure;

protected:
    void run() override {
        try {
            m_job();
        } catch (...) {
            failure = std::current_exception();
        }
    }

private:
    const std::function<void()>& m_job;
};

bool onEventLoopThread() {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace

namespace detail {

void runOffEventLoop(const std::function<void()>& job) {
    QObject receiver;
    g_receiver = &receiver;
    JobThread thread(job);
    {
        const UserInputHeld held;
        QEventLoop loop;
        QObject::connect(&thread, &QThread::finished, &loop, &QEventLoop::quit);
        thread.start();
        loop.exec();
        thread.wait();
        // What the job handed over last, before anything after it.
        QCoreApplication::sendPostedEvents(&receiver, QEvent::MetaCall);
    }
    g_receiver = nullptr;
    if (thread.failure) {
        std::rethrow_exception(thread.failure);
    }
}

void onEventLoop(const std::function<void()>& call) {
    Q_ASSERT(onEventLoopThread() || g_receiver != nullptr);
    if (onEventLoopThread()) {
        call();
        return;
    }
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        g_receiver,
        [&] {
            try {
                call();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace detail

void postToEventLoop(std::function<void()> call) {
    if (onEventLoopThread()) {
        call();
        return;
    }
    QMetaObject::invokeMethod(
        g_receiver, [call = std::move(call)] { runGuarded(call); }, Qt::QueuedConnection);
}

} // namespace ferrowyn
