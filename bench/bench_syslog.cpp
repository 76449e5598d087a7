// Interpreting one syslog datagram, with fake ports and no file writes.
#include <string>

#include <benchmark/benchmark.h>

#include "fakes.h"
#include "syslog/syslog.h"
#include "syslog/viewer_lines.h"

namespace {

// The viewer's lines grow without limit; trimming them now and then keeps
// the memory flat without hiding the cost of adding them.
constexpr std::size_t ViewerTrim = 4096;

void Interpret(benchmark::State& state, const std::string& line) {
    rm::test::FakeMonitor f;
    f.m.s.settings.SyslogAutoSave = false;
    for (auto _ : state) {
        f.Run(rm::OnSyslogDatagram(f.m, static_cast<int>(line.size()), line, "192.168.0.1", f.clock.now));
        if (f.m.view.Viewer.Lines.size() >= ViewerTrim) rm::ClearViewerLines(f.m.view.Viewer);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * line.size()));
}

// A full-length line that matches no phrase: the common case.
void BM_NoPhrase200Bytes(benchmark::State& state) {
    std::string line = "<30>RV4: S01: PPP LCP Echo-Request id=17 magic=0x3a4f21c0 ";
    while (line.size() < rm::MaxSyslogBytes) line += "payload ";
    line.resize(rm::MaxSyslogBytes);
    Interpret(state, line);
}
BENCHMARK(BM_NoPhrase200Bytes);

// A connect line, padded to full length: the connected display, the record
// and the tip are done again on every pass.
void BM_Connect200Bytes(benchmark::State& state) {
    std::string line = "<30>RV4: S01: PPP Connect successfully ";
    line.resize(rm::MaxSyslogBytes, '.');
    Interpret(state, line);
}
BENCHMARK(BM_Connect200Bytes);

}  // namespace

BENCHMARK_MAIN();
