#include "toolkit/module.h"

#include <algorithm>

Module module;

bool Module::Init(HINSTANCE instanceHandle)
{
    instance = instanceHandle;
    mainThreadId = GetCurrentThreadId();
    return instance != nullptr;
}

void Module::Term()
{
    std::lock_guard<std::mutex> guard(lock);
    pending.clear();
    instance = nullptr;
}

void Module::AddPendingWindow(void* object)
{
    std::lock_guard<std::mutex> guard(lock);
    pending.push_back({object, GetCurrentThreadId()});
}

void* Module::TakePendingWindow()
{
    const DWORD threadId = GetCurrentThreadId();
    std::lock_guard<std::mutex> guard(lock);
    const auto it = std::find_if(pending.begin(), pending.end(),
                                 [threadId](const Pending& p) { return p.threadId == threadId; });
    if (it == pending.end()) {
        return nullptr;
    }
    void* object = it->object;
    pending.erase(it);
    return object;
}

void Module::RemovePendingWindow(void* object)
{
    std::lock_guard<std::mutex> guard(lock);
    std::erase_if(pending, [object](const Pending& p) { return p.object == object; });
}
