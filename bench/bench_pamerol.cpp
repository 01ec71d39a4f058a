// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of one full calculation (a fresh sheet, its field writes, the calculate command) and of the
// companion's batch mode, JSON in and out, on 100,000 generated cases.
#include <benchmark/benchmark.h>

#include <random>
#include <sstream>

#include "cli/companion.h"
#include "sheet/pamerol.h"

using namespace pamerol;

namespace {

class Silent : public Messages {
  public:
    void show(const std::string&, MessageIcon) override {}
};

const std::pair<Field, const char*> kSettings[] = {
    {Field::DVOR, "6"},        {Field::KGN, "30"},    {Field::TAV, "2030,19"}, {Field::DL1, "14"},
    {Field::DL2, "28"},        {Field::DL3, "42"},    {Field::DL4, "56"},      {Field::O1, "15"},
    {Field::O2, "20"},         {Field::O3, "27"},     {Field::O4, "35"},       {Field::O5, "35"},
    {Field::VD1, "7500"},      {Field::VD2, "19000"}, {Field::VD3, "43000"},   {Field::VD4, "999999999"},
    {Field::VD5, "999999999"},
};

void EnterCase(Pamerol& sheet) {
    Record& r = sheet.record();
    for (auto [f, t] : kSettings) r.write(f, t);
    CopyBracketsToCalculator(r);
    r.write(Field::GTarih, "15.03.2004");
    r.write(Field::CTarih, "14.09.2007");
    r.write(Field::ESUCRET, "2000");
    r.write(Field::IUCRET, "150,50");
}

// "&Hesapla" on a sheet with a case typed in: every step, every field write and change rule it runs.
void BM_CalculateCommand(benchmark::State& state) {
    Silent messages;
    Pamerol sheet(messages);
    EnterCase(sheet);
    for (auto _ : state) {
        sheet.hesapla();
        benchmark::DoNotOptimize(sheet.record().text(Field::NET));
    }
}
BENCHMARK(BM_CalculateCommand);

// A new sheet, the case typed in (with the change rules of the wages), and the calculation.
void BM_NewSheetAndCalculate(benchmark::State& state) {
    Silent messages;
    for (auto _ : state) {
        Pamerol sheet(messages);
        EnterCase(sheet);
        sheet.hesapla();
        benchmark::DoNotOptimize(sheet.record().text(Field::NET));
    }
}
BENCHMARK(BM_NewSheetAndCalculate);

std::string GeneratedCases(int n) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> day(1, 28), month(1, 12), year(1995, 2007), wage(500, 9000);
    std::ostringstream s;
    for (int i = 0; i < n; ++i) {
        int y1 = year(rng), y2 = y1 + 1 + (i % 9);
        char line[512];
        std::snprintf(
            line, sizeof line,
            "{\"DVOR\":\"6\",\"KGN\":\"30\",\"TAV\":\"2030,19\",\"DL1\":\"14\",\"DL2\":\"28\","
            "\"DL3\":\"42\",\"DL4\":\"56\",\"O1\":\"15\",\"O2\":\"20\",\"O3\":\"27\",\"O4\":\"35\","
            "\"O5\":\"35\",\"VD1\":\"7500\",\"VD2\":\"19000\",\"VD3\":\"43000\",\"VD4\":\"999999999\","
            "\"VD5\":\"999999999\",\"GTarih\":\"%02d.%02d.%04d\",\"CTarih\":\"%02d.%02d.%04d\","
            "\"ESUCRET\":\"%d,50\",\"DGVMAT\":\"%d\"}\n",
            day(rng), month(rng), y1, day(rng), month(rng), y2, wage(rng), wage(rng) * 3);
        s << line;
    }
    return s.str();
}

void BM_BatchOf100000(benchmark::State& state) {
    const std::string input = GeneratedCases(100000);
    for (auto _ : state) {
        std::istringstream in(input);
        std::ostringstream out, err;
        int status = RunCompanion({"--toplu"}, in, out, err);
        if (status != 0) state.SkipWithError("batch failed");
        benchmark::DoNotOptimize(out.str().size());
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_BatchOf100000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
