#include "toolkit/module.h"

#include <algorithm>
#include <memory>
#include <new>

Module programModule;

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

std::string ReadGrowingPath(const std::function<DWORD(char* buffer, DWORD size)>& fetch)
{
    // Paths reach 32767 characters at most; a cut path names another folder,
    // so it is never used.
    for (DWORD size = MAX_PATH; size <= 65536; size *= 2) {
        const std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
        if (!buffer) {
            return {};
        }
        const DWORD length = fetch(buffer.get(), size);
        if (length == 0) {
            return {};
        }
        if (length < size) {
            return std::string(buffer.get(), length);
        }
    }
    return {};
}

std::string ModuleFileName(HMODULE handle)
{
    try {
        return ReadGrowingPath([handle](char* buffer, DWORD size) {
            return GetModuleFileNameA(handle, buffer, size);
        });
    } catch (...) {
        return {};
    }
}
