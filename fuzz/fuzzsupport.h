#pragma once

#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QString>

// Each harness is its own libFuzzer program, entered through LLVMFuzzerTestOneInput. The replay
// test links every harness into one program, so there each entry has its own name.
#ifdef KELVAROME_LIBFUZZER
#define KELVAROME_FUZZ_ENTRY(name)                                                                 \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
#else
#define KELVAROME_FUZZ_ENTRY(name) int fuzz_##name(const uint8_t *data, size_t size)
#endif

// A broken promise of the code under test: reported like a sanitizer finding, by aborting.
#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void(0) : fuzzCheckFailed(#condition, __FILE__, __LINE__))

[[noreturn]] void fuzzCheckFailed(const char *condition, const char *file, int line);

// A folder for the files the readers are given, made once per process (in memory where the
// system offers /dev/shm) and removed at exit; ends with "/".
QString fuzzScratchFolder();

// Writes the bytes to a file of that name in a new folder in the scratch folder (the previous
// call's folder is removed) and returns its path.
QString writeScratchFile(const QString &name, const uint8_t *data, size_t size);
