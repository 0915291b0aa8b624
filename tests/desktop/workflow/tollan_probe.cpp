// A stand-in staging library for tests: its version text is longer than the 15 characters the
// program keeps.
extern "C" __attribute__((visibility("default"))) const char* Tollan_get_version() {
    return "02.05.0001 staging probe";
}
