// Linked into every program of a QUILLON_TSAN build: the suppressions file
// beside it (Qt's own hand-offs between threads, which ThreadSanitizer
// cannot see because Qt is not instrumented). TSAN_OPTIONS still wins.
extern "C" const char* __tsan_default_options()
{
    return "suppressions=" QUILLON_TSAN_SUPPRESSIONS " history_size=7 second_deadlock_stack=1";
}
