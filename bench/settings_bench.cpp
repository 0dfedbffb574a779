// The settings store on the paths that run most often: a value read, an account's
// load (every account is loaded on each motion tick, ten times a second), and the
// unchanged-value write that every account's controls cause on each motion tick.

#include "platform/registry/registry.h"
#include "settings_store/c_registry.h"

#include <benchmark/benchmark.h>
#include <QStringList>
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

    static cRegistry Registry(const QString& name, const QString& section = kAccountKey) {
        cRegistry registry;
        registry.SetClassKey(snapwire::HKEY_LOCAL_MACHINE);
        registry.SetSectionKey(section);
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

// The 45 values of one account, 40 in its key and 5 in its "Font" key, each read
// through a fresh object as the account window does.
void BM_LoadAccount(benchmark::State& state) {
    BenchHive hive;
    const QString font = kAccountKey + QStringLiteral("\\Font");
    QStringList names;
    for (int i = 0; i < 45; ++i) {
        names << QStringLiteral("Setting %1").arg(i);
        BenchHive::Registry(names.back(), i < 40 ? kAccountKey : font).SetValue(SettingValue("some text"));
    }
    for (auto _ : state) {
        for (int i = 0; i < 45; ++i)
            benchmark::DoNotOptimize(BenchHive::Registry(names[i], i < 40 ? kAccountKey : font).Value());
    }
}
BENCHMARK(BM_LoadAccount)->Unit(benchmark::kMicrosecond);

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
