// Loading and checking the carried package, beside objcopy reading the same S-record text.
// The loader runs at every start of the application and after each settings change, so it
// should be quick: the goal is under 5 ms and at least 5 times faster than objcopy.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "image/descramble.h"
#include "image/load_image.h"
#include "image/package/package_resource.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const fs::path kWorkDir = fs::temp_directory_path() / "qv-bench-image";

std::vector<std::uint8_t> PlainPackage() {
    const auto package = qv::FindResource(qv::kPackageResourceType, qv::kPackageResourceName);
    std::vector<std::uint8_t> text(package->begin(), package->end());
    qv::Descramble(text);
    return text;
}

void BM_LoadAndCheckCarriedPackage(benchmark::State& state) {
    for (auto _ : state) {
        qv::LoadedImage image = qv::LoadAndCheckImage(256, "", 0, qv::CarriedPackage());
        if (!image.valid) {
            state.SkipWithError("the carried package is not valid");
            break;
        }
        benchmark::DoNotOptimize(image.region1Blocks.data());
    }
}

void BM_LoadAndCheckPlainText(benchmark::State& state) {
    const std::vector<std::uint8_t> text = PlainPackage();
    for (auto _ : state) {
        qv::LoadedImage image = qv::LoadAndCheckText(256, text);
        benchmark::DoNotOptimize(image.region1Blocks.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// objcopy -I srec -O binary on the same text, started directly (no shell).
void BM_ObjcopySrecToBinary(benchmark::State& state) {
    const std::string in = (kWorkDir / "package.srec").string();
    const std::string out = (kWorkDir / "package.bin").string();
    std::vector<std::string> args = {QV_OBJCOPY, "-I", "srec", "-O", "binary", in, out};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("objcopy failed");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

// The same load once the C library keeps its heap: no fresh pages to fault in, so this is
// the loader's own work. Runs last, since the heap setting stays for the process.
void BM_LoadAndCheckWarmHeap(benchmark::State& state) {
    constexpr int kKeepBytes = 256 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kKeepBytes);
    mallopt(M_TRIM_THRESHOLD, kKeepBytes);
    for (auto _ : state) {
        qv::LoadedImage image = qv::LoadAndCheckImage(256, "", 0, qv::CarriedPackage());
        benchmark::DoNotOptimize(image.region1Blocks.data());
    }
}

constexpr int kRepetitions = 9;

BENCHMARK(BM_LoadAndCheckCarriedPackage)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadAndCheckPlainText)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ObjcopySrecToBinary)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadAndCheckWarmHeap)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);

// Keeps each benchmark's median and prints them side by side at the end.
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                // Every benchmark here reports in milliseconds.
                medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintSummary() const {
        const double loader = Ms("BM_LoadAndCheckCarriedPackage");
        const double warm = Ms("BM_LoadAndCheckWarmHeap");
        const double objcopy = Ms("BM_ObjcopySrecToBinary");
        if (loader <= 0 || objcopy <= 0) {
            return;
        }
        std::printf("\nmedians (goal: under 5 ms, at least 5 times faster than objcopy):\n");
        std::printf("  objcopy -I srec -O binary  %8.3f ms\n", objcopy);
        std::printf("  load and checks            %8.3f ms  %5.1f times faster\n", loader,
                    objcopy / loader);
        if (warm > 0) {
            std::printf("  the same, warm heap        %8.3f ms  %5.1f times faster\n", warm,
                        objcopy / warm);
        }
    }

  private:
    double Ms(const std::string& name) const {
        const auto it = medians_.find(name);
        if (it == medians_.end()) {
            return 0;
        }
        return it->second;
    }
    std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    fs::create_directories(kWorkDir);
    const std::vector<std::uint8_t> text = PlainPackage();
    std::ofstream(kWorkDir / "package.srec", std::ios::binary)
        .write(reinterpret_cast<const char*>(text.data()),
               static_cast<std::streamsize>(text.size()));
    std::printf("carried package: %zu bytes of S-record text\n", text.size());

    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    fs::remove_all(kWorkDir);
    return 0;
}
