#ifndef BENCH_BASELINE_RESIDENT_H
#define BENCH_BASELINE_RESIDENT_H

#define IDD_BASE 105    // the lock screen's id, so that its template can stand in

#if defined(BASE_TEMPLATE)
#define BASE_NAME L"BenchTemplate"
#elif defined(BASE_PLATFORM)
#define BASE_NAME L"BenchPlatform"
#else
#define BASE_NAME L"BenchBaseline"
#endif

#endif
