// ASan's defaults for every fuzz target. The default quarantine of 256 MiB
// hands each allocation memory freed long ago, cold in the cache: over a
// long run the targets slow down to half their speed. A freed block is still
// held back for far longer than one input lasts.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }
