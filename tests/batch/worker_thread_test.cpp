#include <gtest/gtest.h>

#include <atomic>

#include "batch/worker_thread.h"
#include "toolkit/unique_handles.h"

namespace {

// A job that runs until released, so the test decides when a run ends.
class HeldJob : public WorkerThread {
public:
    UniqueHandle release{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle started{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<int> runs{0};
    std::atomic<bool> sawStop{false};

    void Run() override
    {
        ++runs;
        SetEvent(started.get());
        while (WaitForSingleObject(release.get(), 1) == WAIT_TIMEOUT) {
            if (!IsRunning()) {
                sawStop = true;
                return;
            }
        }
    }

    void WaitUntilStarted() { ASSERT_EQ(WaitForSingleObject(started.get(), 10000), WAIT_OBJECT_0); }
    void Finish()
    {
        SetEvent(release.get());
        ASSERT_TRUE(WaitForEnd(10000));
        ResetEvent(release.get());
        ResetEvent(started.get());
    }
    HANDLE ThreadHandle() const { return thread.get(); }
};

TEST(WorkerThread, RunsOneJobAtATime)
{
    HeldJob job;
    EXPECT_FALSE(job.IsRunning());
    EXPECT_FALSE(job.WaitForEnd(0)); // nothing started yet
    job.Stop();                      // idle: changes nothing
    EXPECT_FALSE(job.IsRunning());

    const HANDLE first = job.Start();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(job.IsRunning()); // raised before the thread even begins
    job.WaitUntilStarted();
    const DWORD firstId = job.ThreadId();

    EXPECT_EQ(job.Start(), nullptr); // refused while running
    EXPECT_EQ(job.ThreadHandle(), first);
    EXPECT_EQ(job.ThreadId(), firstId);
    EXPECT_FALSE(job.WaitForEnd(0)); // running: no wait

    job.Finish();
    EXPECT_FALSE(job.IsRunning());
    EXPECT_TRUE(job.WaitForEnd(0)); // ended thread: at once

    ASSERT_NE(job.Start(), nullptr);
    job.WaitUntilStarted();
    EXPECT_NE(job.ThreadId(), firstId);
    job.Finish();
    EXPECT_EQ(job.runs, 2);
}

TEST(WorkerThread, StopEndsTheRunAtItsNextPoll)
{
    HeldJob job;
    ASSERT_NE(job.Start(), nullptr);
    job.WaitUntilStarted();
    job.Stop();
    EXPECT_FALSE(job.IsRunning()); // at once, before the job notices
    ASSERT_TRUE(job.WaitForEnd(10000));
    EXPECT_TRUE(job.sawStop);
    EXPECT_FALSE(job.IsRunning()); // the routine does not raise it again
}

TEST(WorkerThread, StopBeforeTheThreadBeginsIsNotUndone)
{
    // A close that comes between Start and the thread's first step must still
    // stop the run.
    for (int i = 0; i < 50; ++i) {
        HeldJob job;
        ASSERT_NE(job.Start(), nullptr);
        job.Stop();
        ASSERT_TRUE(job.WaitForEnd(10000));
        EXPECT_FALSE(job.IsRunning());
        EXPECT_TRUE(job.sawStop);
    }
}

// A job that ignores stops until released, like one busy in a long step.
class StubbornJob : public HeldJob {
public:
    void Run() override
    {
        ++runs;
        SetEvent(started.get());
        WaitForSingleObject(release.get(), 10000);
    }
};

TEST(WorkerThread, NeverRunsTwoThreadsAtOnce)
{
    StubbornJob job;
    const HANDLE first = job.Start();
    ASSERT_NE(first, nullptr);
    job.WaitUntilStarted();
    job.Stop();
    EXPECT_FALSE(job.IsRunning());
    // Stopped but still winding down: a new run would share the job.
    EXPECT_EQ(job.Start(), nullptr);
    EXPECT_EQ(job.ThreadHandle(), first);
    job.Finish();
    ASSERT_NE(job.Start(), nullptr);
    job.WaitUntilStarted();
    job.Finish();
    EXPECT_EQ(job.runs, 2);
}

TEST(WorkerThread, KeepsItsRunningStateWithoutAnEvent)
{
    // As if the event could not be created.
    class EventlessJob : public HeldJob {
    public:
        EventlessJob() { runningEvent.reset(); }
    } job;
    ASSERT_NE(job.Start(), nullptr);
    job.WaitUntilStarted();
    EXPECT_TRUE(job.IsRunning());
    EXPECT_EQ(job.Start(), nullptr);
    job.Stop();
    ASSERT_TRUE(job.WaitForEnd(10000));
    EXPECT_TRUE(job.sawStop);
    EXPECT_FALSE(job.IsRunning());
    EXPECT_EQ(job.runs, 1);
}

LRESULT CALLBACK AnsweringProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_USER + 7 ? LRESULT{1} : DefWindowProcA(hwnd, message, wParam, lParam);
}

// The close path waits while the job is still making calls into the waiting
// thread; a plain wait would never end.
TEST(WorkerThread, WaitServesCallsSentByTheJob)
{
    class CallingJob : public WorkerThread {
    public:
        HWND window = nullptr;
        std::atomic<int> answered{0};
        void Run() override
        {
            for (int i = 0; i < 20; ++i) {
                answered += static_cast<int>(SendMessageA(window, WM_USER + 7, 0, 0));
            }
        }
    };
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = AnsweringProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "SorvaneWaitTest";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowA("SorvaneWaitTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);

    CallingJob job;
    job.window = window;
    ASSERT_NE(job.Start(), nullptr);
    EXPECT_TRUE(job.WaitForEndServingSentMessages());
    EXPECT_EQ(job.answered, 20);
    DestroyWindow(window);
}

} // namespace
