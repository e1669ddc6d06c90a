#include "mibcore/platform/MessageBox.h"

#include <cstdio>
#include <mutex>

namespace platform {
namespace {

std::mutex g_hookMutex;
MessageHook g_hook;

int DefaultAnswer(const MessageRequest& req)
{
    std::fprintf(stderr, "%s%s%s\n", req.caption.c_str(), req.caption.empty() ? "" : ": ", req.text.c_str());
    switch (req.type & 0x0F) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDNO;
    default:
        return IDOK;
    }
}

}  // namespace

int MessageBox(const std::string& text, unsigned type, const std::string& caption)
{
    MessageHook hook;
    {
        std::lock_guard<std::mutex> lock(g_hookMutex);
        hook = g_hook;
    }
    MessageRequest req{text, caption, type};
    return hook ? hook(req) : DefaultAnswer(req);
}

MessageHook SetMessageHook(MessageHook hook)
{
    std::lock_guard<std::mutex> lock(g_hookMutex);
    MessageHook old = std::move(g_hook);
    g_hook = std::move(hook);
    return old;
}

}  // namespace platform
