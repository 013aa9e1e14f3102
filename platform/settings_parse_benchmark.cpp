// Reading a settings or registry file grows with its size alone: a file with
// many sections or keys is read in one pass, not one pass per section.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/profile.h"
#include "platform/registry.h"

namespace {

void ProfileWithManySections(benchmark::State& state) {
  std::string text;
  for (int i = 0; i < state.range(0); ++i) text += "[Sektion" + std::to_string(i) + "]\nNyckel=värde\n";
  for (auto _ : state) {
    const auto ini = platform::ProfileFile::Parse(text);
    benchmark::DoNotOptimize(ini.GetString("SEKTION0", "nyckel", ""));
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(ProfileWithManySections)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();

void RegistryWithManyKeys(benchmark::State& state) {
  std::string text = "Windows Registry Editor Version 5.00\n";
  for (int i = 0; i < state.range(0); ++i) {
    text += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tessal Kolm\\Klient" + std::to_string(i) + "]\n\"Sökväg\"=\"/srv/x\"\n";
  }
  for (auto _ : state) {
    const auto registry = platform::RegistryStore::Parse(text);
    benchmark::DoNotOptimize(registry.SubKeyNames(platform::RegistryRoot::LocalMachine, "SOFTWARE\\Tessal Kolm"));
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(RegistryWithManyKeys)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();

}  // namespace
