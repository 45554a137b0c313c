#pragma once

#include <windows.h>

#include <atomic>

#include "toolkit/unique_handles.h"

// A job that runs on a thread of its own, one run at a time, and stops when
// asked. The manual-reset runningEvent is raised while a run is active; the
// job polls IsRunning and winds down once it reads false.
class WorkerThread {
public:
    WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    // Neither stops nor waits: the owner stops the run and waits first.
    virtual ~WorkerThread();

    // Asks the running job to end at its next poll; never waits.
    virtual void Stop();
    // Starts a run on a new thread unless one is active or the thread of a
    // stopped run has not yet ended. Answers the new thread's handle, or null
    // when no thread was made.
    virtual HANDLE Start();
    // The job.
    virtual void Run() = 0;

    bool IsRunning() const;
    // Waits for the latest run's thread; false when none was started, on
    // time-out or failure.
    bool WaitForEnd(DWORD timeout) const;
    // Waits for the latest run's thread while still handling the messages
    // other threads send to this one, so a job that is waiting on this thread
    // can finish. Answers as WaitForEnd with an infinite time-out.
    bool WaitForEndServingSentMessages() const;

    DWORD ThreadId() const { return threadId; }

protected:
    UniqueHandle thread;
    // Mirrors the running state for anyone who waits on it; may be null when
    // it could not be created, which changes nothing about the running state.
    UniqueHandle runningEvent;
    DWORD threadId = 0;
    bool autoDelete = false;

private:
    static DWORD WINAPI ThreadRoutine(void* parameter);
    void Raise();
    void Lower();

    // The running state itself, whether or not the event exists. A job polls
    // after every line of a word file, and a zero-time wait is a kernel call
    // each time (under Wine a round trip to its server): reading this costs
    // nothing.
    std::atomic<bool> running{false};
};
