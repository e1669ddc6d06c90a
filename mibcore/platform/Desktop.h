#pragma once
// Small desktop services: the wait cursor and the clipboard's text.

#include <string>

namespace platform {

// Shows the wait cursor while it exists (nothing without a GUI application).
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_set = false;
};

// Replaces the clipboard's content with plain text (UTF-8); false without a
// GUI application.
bool SetClipboardText(const std::string& text);
std::string GetClipboardText();

}  // namespace platform
