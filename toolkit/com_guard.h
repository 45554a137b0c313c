#pragma once

#include <windows.h>

#include <new>

// Runs the body of a COM method so that no exception leaves it: the caller is
// another component, often in another process, and cannot catch a C++
// exception. Running out of memory answers E_OUTOFMEMORY, anything else that
// is thrown E_FAIL; otherwise the body's own answer.
//
//     return GuardedComCall([&] { return AnswerText(Text(), name); });
template <typename Body>
HRESULT GuardedComCall(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}
