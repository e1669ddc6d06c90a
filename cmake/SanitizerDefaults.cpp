// Linked into every program of a QUILLON_SANITIZE build: what the
// sanitizers report about the system's libraries rather than ours.
extern "C" const char* __lsan_default_suppressions()
{
    // fontconfig keeps its caches until exit on purpose.
    return "leak:libfontconfig.so\n";
}
