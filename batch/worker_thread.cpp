#include "batch/worker_thread.h"

WorkerThread::WorkerThread() : runningEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

WorkerThread::~WorkerThread() = default;

void WorkerThread::Raise()
{
    running = true;
    if (runningEvent) {
        SetEvent(runningEvent.get());
    }
}

void WorkerThread::Lower()
{
    running = false;
    if (runningEvent) {
        ResetEvent(runningEvent.get());
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
    // A stopped run may still be winding down on its thread: a second thread
    // would run the same job at the same time, so that waits too.
    if (IsRunning() || (thread && WaitForSingleObject(thread.get(), 0) == WAIT_TIMEOUT)) {
        return nullptr;
    }
    thread.reset();
    // The state goes up before the thread exists, so from this moment on a
    // second Start is refused and a close stops and waits for this run.
    Raise();
    thread.reset(CreateThread(nullptr, 0, ThreadRoutine, this, 0, &threadId));
    if (!thread) {
        threadId = 0;
        Lower();
    }
    return thread.get();
}

bool WorkerThread::IsRunning() const
{
    return running;
}

bool WorkerThread::WaitForEnd(DWORD timeout) const
{
    if (!thread) {
        return false;
    }
    return WaitForSingleObject(thread.get(), timeout) == WAIT_OBJECT_0;
}

bool WorkerThread::WaitForEndServingSentMessages() const
{
    if (!thread) {
        return false;
    }
    const HANDLE handle = thread.get();
    for (;;) {
        const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE);
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
    // Once the state is lowered the owner may start another run, close, or
    // destroy the object: everything read from it is read before.
    const bool deleteSelf = self->autoDelete;
    if (self->IsRunning()) {
        self->Lower();
    }
    if (deleteSelf) {
        delete self;
    }
    return 0;
}
