// The settings are read value by value, many times a second (every account is
// reloaded on each motion tick), and rewritten with unchanged values as often.
// Exports walk keys by index and must stay linear in the number of values.

#include "platform/registry/regfile.h"
#include "platform/registry/registry.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace snapwire::reg;

constexpr const char* kAccountKey = "Software\\Snapwire\\Account 1";

// A fresh hive in a temporary folder with one account's worth of values.
class BenchHive {
  public:
    explicit BenchHive(int values = 40) {
        std::string pattern = (std::filesystem::temp_directory_path() / "registry_bench.XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        UseHiveFile(folder_ + "/settings.db");
        HKey key = 0;
        CreateKey(kLocalMachine, kAccountKey, &key);
        for (int i = 0; i < values; ++i) Write(key, "Value " + std::to_string(i), "some setting text");
        CloseKey(key);
    }
    ~BenchHive() {
        CloseHive();
        std::filesystem::remove_all(folder_);
    }
    static long Write(HKey key, const std::string& name, const std::string& text) {
        return SetValue(key, name, kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                        static_cast<std::uint32_t>(text.size() + 1));
    }

  private:
    std::string folder_;
};

// What the settings store does for one read: open, query into a buffer, close.
void BM_ReadValue(benchmark::State& state) {
    BenchHive hive;
    std::uint8_t data[256];
    for (auto _ : state) {
        HKey key = 0;
        OpenKey(kLocalMachine, kAccountKey, kKeyQueryValue, &key);
        std::uint32_t type = 0;
        std::uint32_t size = sizeof data;
        benchmark::DoNotOptimize(QueryValue(key, "Value 20", &type, data, &size));
        CloseKey(key);
    }
}
BENCHMARK(BM_ReadValue);

// What the settings store does for one write of a value that did not change.
void BM_WriteUnchangedValue(benchmark::State& state) {
    BenchHive hive;
    const std::string text = "some setting text";
    for (auto _ : state) {
        HKey key = 0;
        OpenKey(kLocalMachine, kAccountKey, kKeySetValue, &key);
        benchmark::DoNotOptimize(BenchHive::Write(key, "Value 20", text));
        CloseKey(key);
    }
}
BENCHMARK(BM_WriteUnchangedValue);

// A write that lands (synced to disk), for comparison.
void BM_WriteChangedValue(benchmark::State& state) {
    BenchHive hive;
    long n = 0;
    for (auto _ : state) {
        HKey key = 0;
        OpenKey(kLocalMachine, kAccountKey, kKeySetValue, &key);
        benchmark::DoNotOptimize(BenchHive::Write(key, "Value 20", std::to_string(++n)));
        CloseKey(key);
    }
}
BENCHMARK(BM_WriteChangedValue);

// One key of N values exported: 4,000 values should take four times as long as 1,000.
void BM_ExportKey(benchmark::State& state) {
    BenchHive hive(0);
    HKey key = 0;
    CreateKey(kLocalMachine, kAccountKey, &key);
    InTransaction([&] {
        for (int i = 0; i < state.range(0); ++i) BenchHive::Write(key, "Value " + std::to_string(i), "text");
        return true;
    });
    CloseKey(key);
    for (auto _ : state) {
        std::string script;
        benchmark::DoNotOptimize(ExportKey(kLocalMachine, kAccountKey, &script));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ExportKey)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond)->Complexity();

// The whole hive with 100,000 values in 10 keys.
void BM_ExportHive(benchmark::State& state) {
    BenchHive hive(0);
    InTransaction([&] {
        for (int k = 0; k < 10; ++k) {
            HKey key = 0;
            CreateKey(kLocalMachine, "Software\\Snapwire\\Key " + std::to_string(k), &key);
            for (int i = 0; i < 10000; ++i) BenchHive::Write(key, "Value " + std::to_string(i), "some text");
            CloseKey(key);
        }
        return true;
    });
    for (auto _ : state) {
        std::string script;
        benchmark::DoNotOptimize(ExportHive(&script));
    }
}
BENCHMARK(BM_ExportHive)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
