#pragma once
// The one hook through which the whole system asks the operator something
// in a modal message box. The default shows a real dialog when a Qt
// application runs and prints to stderr otherwise; tests install their own.

#include <functional>
#include <string>

namespace platform {

enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_RETRYCANCEL = 0x05,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDRETRY = 4, IDYES = 6, IDNO = 7 };

struct MessageRequest {
    std::string text;     // UTF-8
    std::string caption;  // UTF-8; empty: the application's name
    unsigned type = MB_OK;
};

using MessageHook = std::function<int(const MessageRequest&)>;

// Show a message and return the answer (IDOK, IDYES, ...). Safe from any
// thread: the box (or the installed hook) runs on the user-interface thread
// and the calling thread waits for the answer.
int MessageBox(const std::string& text, unsigned type = MB_OK, const std::string& caption = {});

// Install a hook (an empty one restores the default); returns the previous.
MessageHook SetMessageHook(MessageHook hook);

}  // namespace platform
