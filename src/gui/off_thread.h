#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QObject>
#include <QThreadPool>

#include <exception>
#include <functional>
#include <optional>
#include <utility>

namespace zz {

// Work that may wait (a records-store query, on a database that can be remote and take up to its
// 5 s deadline) on a thread of its own, never on the window's. What the work uses must outlive
// this object: it waits for work under way before it goes.
class OffThread : public QObject {
public:
    explicit OffThread(QObject* parent) : QObject(parent) {}
    ~OffThread() override { pool_.waitForDone(); }

    // Runs `work` and hands its result to `done` on this object's thread, unless this object is
    // gone by then. `work` must not throw.
    template <class T> void run(std::function<T()> work, std::function<void(T)> done) {
        pool_.start([this, work = std::move(work), done = std::move(done)] {
            T result = work();
            QMetaObject::invokeMethod(
                this, [done, result = std::move(result)] { done(result); }, Qt::QueuedConnection);
        });
    }

    // Runs `work` and returns its result, or throws what it threw. Meanwhile the window is
    // painted and its timers run, but takes no clicks or keys, so nothing starts twice.
    template <class F> auto wait(F work) -> decltype(work()) {
        std::optional<decltype(work())> result;
        std::exception_ptr error;
        QEventLoop loop;
        pool_.start([&] {
            try {
                result.emplace(work());
            } catch (...) {
                error = std::current_exception();
            }
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        QApplication::setOverrideCursor(Qt::WaitCursor);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        QApplication::restoreOverrideCursor();
        // The loop also ends when the program is asked to end: the work still uses this frame.
        pool_.waitForDone();
        if (error)
            std::rethrow_exception(error);
        return std::move(*result);
    }

private:
    QThreadPool pool_;
};

} // namespace zz
