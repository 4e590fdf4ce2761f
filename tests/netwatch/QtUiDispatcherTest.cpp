#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "IPWatch.h"
#include "QtUiDispatcher.h"
#include "ScriptedStack.h"

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
    QTimer guard;  // a hang fails below instead of blocking the run
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, &QCoreApplication::quit);
    guard.start(10s);
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
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, &QCoreApplication::quit);
    guard.start(10s);
    QCoreApplication::exec();
    worker.join();
    EXPECT_EQ(caught, "check failed");
}

TEST(QtUiDispatcherTest, WatcherChecksThroughTheEventLoopAndStopsCleanly) {
    QtUiDispatcher dispatcher;
    auto script = std::make_shared<StackScript>();
    script->Steady = std::vector<std::string>{"10.200.0.2"};
    TIPWatch watch(ScriptedFactory(script), dispatcher);
    watch.SetHistoryEnabled(false);
    script->DuringLookup = [&] {
        if (script->Lookups == 2) {
            QCoreApplication::quit();
        }
    };
    watch.SetActive(true);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, &QCoreApplication::quit);
    guard.start(10s);
    QCoreApplication::exec();
    EXPECT_GE(script->Lookups, 2);
    EXPECT_TRUE(watch.Online());
    // The thread may be waiting for its next hand-over; stopping serves it.
    watch.SetActive(false);
    EXPECT_FALSE(watch.Active());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
