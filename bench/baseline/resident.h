#ifndef BENCH_BASELINE_RESIDENT_H
#define BENCH_BASELINE_RESIDENT_H

#define IDD_BASE 105
#ifdef BASE_PLATFORM
#define BASE_NAME L"BenchPlatform"
#else
#define BASE_NAME L"BenchBaseline"
#endif

#endif
