// Read by LeakSanitizer when the suite is built with it; an unused function otherwise.
// fontconfig keeps its font cache until the process ends and never frees it.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
