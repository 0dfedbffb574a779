// The settings store on the paths that run most often: a value read, and the
// unchanged-value write that every account's controls cause on each motion tick.

#include "platform/registry/registry.h"
#include "settings_store/c_registry.h"

#include <benchmark/benchmark.h>
#include <QTemporaryDir>

namespace {

using snapwire::cRegistry;
using snapwire::SettingValue;

const QString kAccountKey = QStringLiteral("Software\\Snapwire\\My Account");

// A hive of its own in a temporary folder, with one account value in it.
class BenchHive {
  public:
    BenchHive() {
        snapwire::reg::CloseHive();
        snapwire::reg::UseHiveFile((dir_.path() + QStringLiteral("/settings.db")).toStdString());
        Registry(QStringLiteral("Host Name/Adress:")).SetValue(SettingValue("ftp.example.org"));
    }
    ~BenchHive() { snapwire::reg::CloseHive(); }

    static cRegistry Registry(const QString& name) {
        cRegistry registry;
        registry.SetClassKey(snapwire::HKEY_LOCAL_MACHINE);
        registry.SetSectionKey(kAccountKey);
        registry.SetValueType(snapwire::REG_SZ);
        registry.SetValueKey(name);
        return registry;
    }

  private:
    QTemporaryDir dir_;
};

void BM_ReadValue(benchmark::State& state) {
    BenchHive hive;
    for (auto _ : state) {
        cRegistry registry = BenchHive::Registry(QStringLiteral("Host Name/Adress:"));
        benchmark::DoNotOptimize(registry.Value());
    }
}
BENCHMARK(BM_ReadValue);

void BM_ReadMissingValue(benchmark::State& state) {
    BenchHive hive;
    for (auto _ : state) {
        cRegistry registry = BenchHive::Registry(QStringLiteral("Absent"));
        benchmark::DoNotOptimize(registry.Value());
    }
}
BENCHMARK(BM_ReadMissingValue);

void BM_WriteUnchangedValue(benchmark::State& state) {
    BenchHive hive;
    const SettingValue value("ftp.example.org");
    for (auto _ : state) {
        cRegistry registry = BenchHive::Registry(QStringLiteral("Host Name/Adress:"));
        registry.SetValue(value);
    }
}
BENCHMARK(BM_WriteUnchangedValue);

void BM_WriteChangedValue(benchmark::State& state) {
    BenchHive hive;
    const SettingValue values[] = {SettingValue(std::int16_t{0}), SettingValue(std::int16_t{1})};
    int turn = 0;
    for (auto _ : state) {
        cRegistry registry = BenchHive::Registry(QStringLiteral("Activate Motion"));
        registry.SetValue(values[turn ^= 1]);
    }
}
BENCHMARK(BM_WriteChangedValue);

}  // namespace

BENCHMARK_MAIN();
