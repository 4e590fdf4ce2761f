#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "QtUiDispatcher.h"

namespace {

using namespace std::chrono_literals;

TEST(QtUiDispatcherTest, RunsHandedOverCallsOnTheUiThreadThroughTheEventLoop) {
    QtUiDispatcher dispatcher;
    const std::thread::id uiThread = std::this_thread::get_id();
    std::atomic<int> ran{0};
    std::thread::id ranOn;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) {
            dispatcher.RunAndWait([&] {
                ranOn = std::this_thread::get_id();
                ++ran;
            });
        }
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    QTimer::singleShot(10s, qApp, &QCoreApplication::quit);  // a hang fails below
    QCoreApplication::exec();
    worker.join();
    EXPECT_EQ(ran.load(), 3);
    EXPECT_EQ(ranOn, uiThread);
}

TEST(QtUiDispatcherTest, RunPendingServesAWaitingWorkerWithoutTheEventLoop) {
    QtUiDispatcher dispatcher;
    std::atomic<bool> ran{false};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        dispatcher.RunAndWait([&] { ran = true; });
        returned = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!returned && std::chrono::steady_clock::now() < deadline) {
        dispatcher.RunPending();
        std::this_thread::sleep_for(1ms);
    }
    worker.join();
    EXPECT_TRUE(ran);
    // The event posted for that call finds an empty queue and does nothing.
    QCoreApplication::processEvents();
}

TEST(QtUiDispatcherTest, AnErrorOfTheCallIsThrownAgainInTheWorker) {
    QtUiDispatcher dispatcher;
    std::string caught;
    std::thread worker([&] {
        try {
            dispatcher.RunAndWait([] { throw std::runtime_error("check failed"); });
        } catch (const std::exception& error) {
            caught = error.what();
        }
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    QTimer::singleShot(10s, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    worker.join();
    EXPECT_EQ(caught, "check failed");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
