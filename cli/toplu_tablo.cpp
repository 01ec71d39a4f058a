// SPDX-License-Identifier: GPL-3.0-or-later
#include "toplu_tablo.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <iostream>

#include "base/json.h"
#include "case_run.h"
#include "json_io.h"
#include "report.h"

namespace pamerol {

namespace {

// The run that SIGTERM and SIGINT stop, while there is one.
std::atomic<StopToken*> gStop{nullptr};

void Stop(int) {
    if (StopToken* token = gStop.load()) token->stop();
}

// SIGTERM and SIGINT stop the run instead of ending the process, for as long as the run lasts.
class StopOnSignal {
  public:
    explicit StopOnSignal(StopToken& token) {
        gStop.store(&token);
        ::sigaction(SIGTERM, nullptr, &term_);
        ::sigaction(SIGINT, nullptr, &int_);
        again();
    }
    // Takes the signals (again, after the office library has set up handlers of its own: it would end
    // the process on SIGTERM).
    void again() {
        struct sigaction a {};
        a.sa_handler = Stop;
        sigemptyset(&a.sa_mask);
        a.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &a, nullptr);
        ::sigaction(SIGINT, &a, nullptr);
    }
    ~StopOnSignal() {
        ::sigaction(SIGTERM, &term_, nullptr);
        ::sigaction(SIGINT, &int_, nullptr);
        gStop.store(nullptr);
    }
    StopOnSignal(const StopOnSignal&) = delete;
    StopOnSignal& operator=(const StopOnSignal&) = delete;

  private:
    struct sigaction term_ {
    }, int_{};
};

} // namespace

int TopluTabloOnizleme(const std::string& girdi, const std::optional<std::string>& cikisTarihi,
                       std::ostream& out, std::ostream& err) {
    const auto tablo = TabloDosyasiOku(girdi, OkumaSecenekleri{cikisTarihi, std::nullopt, 20});
    if (!tablo) return Report(tablo.error(), kStatusUsage, err);
    std::vector<std::string> eslesmeler;
    for (const SutunEslesmesi& e : tablo->eslesmeler) eslesmeler.push_back(EslesmeBasligi(e));
    std::string line;
    JsonWriter json(line);
    json.beginObject().key("basliklar").texts(tablo->basliklar).key("eslesmeler").texts(eslesmeler);
    json.key("kullanilmayanlar").texts(tablo->kullanilmayanlar);
    json.key("satirlar").beginArray();
    for (const auto& ornek : tablo->ornekler) json.texts(ornek);
    json.endArray().key("satirSayisi").number(tablo->satirlar.size()).key("eksik").text(tablo->eksik);
    json.endObject();
    out << line << '\n';
    return OutputWritten(out, err) ? kStatusOk : kStatusRefused;
}

int RunTopluTablo(const TopluTabloSecenekleri& secenekler, bool ilerleme, const Settings* settings,
                  YasalTablo table, std::ostream& out, std::ostream& err) {
    StopToken stop;
    StopOnSignal stopOnSignal(stop);
    stop.officesStarted = [&stopOnSignal] { stopOnSignal.again(); };

    // A person at a terminal sees the rows done counted on one line: every row when papers are filled
    // (slow), else every 50th.
    const bool terminal = !ilerleme && &err == &std::cerr && ::isatty(2);
    const bool papers = secenekler.pdfKlasoru && !secenekler.dokumler.empty();
    bool counting = false; // a count is on the terminal's line
    const auto progress = [&](const TopluIlerleme& i) {
        if (ilerleme) {
            out << IlerlemeSatiri(i) << std::flush;
        } else if (terminal && (papers || i.bitti % 50 == 0 || i.bitti == i.toplam)) {
            err << "\r" << i.bitti << " / " << i.toplam << std::flush;
            counting = i.bitti < i.toplam;
            if (!counting) err << '\n';
        }
    };
    const TopluSonuc sonuc = RunTable(secenekler, settings, table, err, stop, progress);
    if (counting) err << '\n';
    if (sonuc.sonucTablosu.empty()) return sonuc.durum;
    if (ilerleme)
        out << OzetSatiri(sonuc);
    else
        for (const auto& [label, value] : sonuc.ozet) out << label << ": " << value << '\n';
    return sonuc.durum;
}

} // namespace pamerol
