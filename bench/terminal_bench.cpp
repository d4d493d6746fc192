// Terminal output figures: a burst of 10,000 cursor moves and 10,000 styled prints written into a
// pipe that a second thread drains, once with every command flushed on its own (what the module's
// terminal functions do) and once buffered with a single flush (what a frame does); and the
// encoders alone.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "core/terminal/commands.hpp"
#include "core/terminal/output.hpp"

using namespace tarvo::core::term;

namespace {

constexpr int kBurst = 10'000;

// A pipe whose read end is drained by a thread for the benchmark's lifetime.
class DrainedPipe {
public:
    DrainedPipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) std::abort();
        r_ = fds[0];
        w_ = fds[1];
        reader_ = std::thread([this] {
            char buf[1 << 16];
            while (::read(r_, buf, sizeof buf) > 0) {
            }
        });
    }
    ~DrainedPipe() {
        ::close(w_);
        reader_.join();
        ::close(r_);
    }
    int fd() const { return w_; }

private:
    int r_ = -1, w_ = -1;
    std::thread reader_;
};

void burst(OutputStream& out, bool flush_each) {
    const TermColor fg = TermColor::indexed(10), bg = TermColor::rgb(20, 30, 40);
    auto w = out.lock();
    for (int i = 0; i < kBurst; ++i) {
        const auto x = static_cast<std::uint16_t>(i % 200), y = static_cast<std::uint16_t>(i % 50);
        w.write(move_to(x, y));
        if (flush_each) w.flush();
        const Seq pre = styled_prefix(fg, bg, ConsoleAttribute::Bold);
        const Seq post = styled_suffix(true, true, true);
        w.write({pre.view(), "cell", post.view()});
        if (flush_each) w.flush();
    }
    w.flush();
}

void BM_Terminal_Burst(benchmark::State& state) {
    DrainedPipe pipe;
    OutputStream out(pipe.fd());
    const bool flush_each = state.range(0) != 0;
    for (auto _ : state) burst(out, flush_each);
    state.counters["ns_per_command"] =
        benchmark::Counter(2.0 * kBurst, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Terminal_Burst)->ArgName("flush_each")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_Terminal_EncodeOnly(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBurst; ++i) {
            const Seq m = move_to(static_cast<std::uint16_t>(i % 200), static_cast<std::uint16_t>(i % 50));
            const Seq p = styled_prefix(TermColor::indexed(10), TermColor::rgb(20, 30, 40), ConsoleAttribute::Bold);
            benchmark::DoNotOptimize(m);
            benchmark::DoNotOptimize(p);
            bytes += m.size() + p.size();
        }
    }
    benchmark::DoNotOptimize(bytes);
    state.counters["ns_per_command"] =
        benchmark::Counter(2.0 * kBurst, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Terminal_EncodeOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
