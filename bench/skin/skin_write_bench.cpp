// skin_write_bench [records] [repeats]
// Times writing a skin's description back, as saving a skin or storing it
// compressed does, for a skin of many control records: once with a name per
// record and once with every record under one name. Prints the best of the
// repeats in seconds; the first pass also pays for fresh memory.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "skin/data/bsSkinData.h"
#include "skin/data/bsSkinIni.h"

int main(int argc, char** argv) {
  const int records = argc > 1 ? std::atoi(argv[1]) : 40000;
  const int repeats = argc > 2 ? std::atoi(argv[2]) : 3;
  for (bool oneName : {false, true}) {
    auto store = skin::MakeOwned<skin::TbsSkinData>();
    for (int i = 0; i < records; ++i)
      store->CtrlList.push_back(skin::CreateControlRecord("button", oneName ? "b" : "b" + std::to_string(i)));
    double best = 1e9;
    size_t lines = 0;
    for (int r = 0; r < repeats; ++r) {
      const auto start = std::chrono::steady_clock::now();
      skin::TbsSkinIniFile ini;
      store->SaveSkinSections(ini);
      lines = ini.Lines().size();
      best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::printf("%d records, %s: %.3f s (%zu lines)\n", records, oneName ? "one name" : "a name each", best, lines);
  }
  return 0;
}
