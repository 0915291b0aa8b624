// An external library for externaldll tests. PROBE_ENTRY names the entry point it exports
// (none when undefined); each call is recorded in probeLastCall for the test to read. The
// argument i is a text, copied as the call sees it, when the command's character i is 't'.
// With PROBE_ANNOUNCES, loading it sets the environment variable VETRA_PROBE_ANNOUNCED, so a
// test can tell whether the library's code ran at all.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#ifdef PROBE_ANNOUNCES
__attribute__((constructor)) static void announceLoading() {
    setenv("VETRA_PROBE_ANNOUNCED", "1", 1);
}
#endif

extern "C" {

struct ProbeCall {
    char command[64];
    intptr_t arguments[10];
    char texts[10][16];
    int calls;
};

__attribute__((visibility("default"))) ProbeCall probeLastCall;

#ifdef PROBE_ENTRY
__attribute__((visibility("default"))) int32_t PROBE_ENTRY(intptr_t command, intptr_t a1,
                                                           intptr_t a2, intptr_t a3, intptr_t a4,
                                                           intptr_t a5, intptr_t a6, intptr_t a7,
                                                           intptr_t a8, intptr_t a9, intptr_t a10) {
    std::strncpy(probeLastCall.command, reinterpret_cast<const char*>(command),
                 sizeof probeLastCall.command - 1);
    intptr_t arguments[10] = {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10};
    std::memcpy(probeLastCall.arguments, arguments, sizeof arguments);
    const char* kinds = probeLastCall.command;
    for (size_t i = 0; i < 10 && kinds[i] != '\0'; ++i)
        if (kinds[i] == 't')
            std::strncpy(probeLastCall.texts[i], reinterpret_cast<const char*>(arguments[i]),
                         sizeof probeLastCall.texts[i] - 1);
    ++probeLastCall.calls;
    return 1000 + probeLastCall.calls;
}
#endif
}
