#include "batch/worker_thread.h"

WorkerThread::WorkerThread()
{
    runningEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

WorkerThread::~WorkerThread()
{
    if (runningEvent != nullptr) {
        CloseHandle(runningEvent);
        runningEvent = nullptr;
    }
    if (thread != nullptr) {
        CloseHandle(thread);
        thread = nullptr;
    }
}

void WorkerThread::Raise()
{
    if (runningEvent != nullptr) {
        running = true;
        SetEvent(runningEvent);
    }
}

void WorkerThread::Lower()
{
    running = false;
    if (runningEvent != nullptr) {
        ResetEvent(runningEvent);
    }
}

void WorkerThread::Stop()
{
    if (IsRunning()) {
        Lower();
    }
}

HANDLE WorkerThread::Start()
{
    if (IsRunning()) {
        return nullptr;
    }
    if (thread != nullptr) {
        CloseHandle(thread);
        thread = nullptr;
    }
    // The event goes up before the thread exists, so from this moment on a
    // second Start is refused and a close stops and waits for this run.
    Raise();
    thread = CreateThread(nullptr, 0, ThreadRoutine, this, 0, &threadId);
    if (thread == nullptr) {
        threadId = 0;
        Lower();
    }
    return thread;
}

bool WorkerThread::IsRunning() const
{
    return running;
}

bool WorkerThread::WaitForEnd(DWORD timeout) const
{
    if (thread == nullptr) {
        return false;
    }
    return WaitForSingleObject(thread, timeout) == WAIT_OBJECT_0;
}

bool WorkerThread::WaitForEndServingSentMessages() const
{
    if (thread == nullptr) {
        return false;
    }
    for (;;) {
        const DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) {
            return true;
        }
        if (result != WAIT_OBJECT_0 + 1) {
            return false;
        }
        // Peeking handles the messages sent to this thread and leaves every
        // posted message where it is.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

DWORD WINAPI WorkerThread::ThreadRoutine(void* parameter)
{
    auto* self = static_cast<WorkerThread*>(parameter);
    try {
        self->Run();
    } catch (...) {
        // A job that throws ends its run like one that returns.
    }
    if (self->IsRunning()) {
        self->Lower();
    }
    if (self->autoDelete) {
        delete self;
    }
    return 0;
}
