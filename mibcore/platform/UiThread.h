#pragma once
// Work that must happen on the user-interface thread (dialogs, widgets).

#include <functional>

namespace platform {

// True on the thread that owns the Qt application, or when none exists.
bool IsUiThread();

// Runs fn on the user-interface thread and waits until it has returned.
// Called on that thread (or without an application) it runs at once. The
// user-interface thread must keep its event loop running meanwhile (modal
// dialogs and QEventLoop-based waits do).
void RunOnUiThread(const std::function<void()>& fn);

}  // namespace platform
