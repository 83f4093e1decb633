#ifndef BENCH_BASELINE_BARE_PROBE_H
#define BENCH_BASELINE_BARE_PROBE_H

// 0 when every call succeeded and the own name resolved, else -1.
int BareProbeCalls();

#endif
