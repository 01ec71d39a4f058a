// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "companion_run.h"
#include "tests/common/figures2007.h"
#include "tests/common/temp_folder.h"

using namespace pamerol;
using namespace pamerol::testing;
using Json = nlohmann::ordered_json;

namespace {

// The worked case with every figure on the command line (the first half of 2007).
const std::vector<std::string> kExample = [] {
    std::vector<std::string> args = {"GTarih=15.03.2004", "CTarih=14.09.2007", "ESUCRET=2.000,00"};
    for (const std::string& a : Assignments2007(Half2007::First)) args.push_back(a);
    return args;
}();

std::string Letters(const std::string& letter, int count) {
    std::string text;
    for (int k = 0; k < count; ++k) text += letter;
    return text;
}

} // namespace

TEST(Companion, ComputesTheExampleCase) {
    Outcome r = Companion(kExample);
    ASSERT_EQ(r.status, 0) << r.err;
    Json j = Json::parse(r.out);
    const Json& f = j["fields"];
    EXPECT_EQ(f.begin().key(), "GTarih"); // the record's order
    EXPECT_EQ(f["TBRUT"], "2.000,00");
    EXPECT_EQ(f["TGUNU"], "1279");
    EXPECT_EQ(f["NET"], "6.817,13");
    EXPECT_EQ(f["BITZM"], "3.733,33");
    EXPECT_EQ(f["IDVER"], "24,64");
    EXPECT_EQ(f["IGVER"], "560,00");
    EXPECT_EQ(j["mode"], 1);
    EXPECT_EQ(j["Command3"], true);
    EXPECT_DOUBLE_EQ(j["YillikKidemTutari"].get<double>(), 1960.69);
    ASSERT_EQ(j["messages"].size(), 1u);
    EXPECT_EQ(j["messages"][0]["text"], "Kıdem Tazminatı =6.817,13\r\nİhbar Tazminatı  =3.148,69");
    EXPECT_EQ(j["messages"][0]["icon"], "information");
    EXPECT_TRUE(j["kidemDurumu"].is_null());
    EXPECT_TRUE(j["ihbarDurumu"].is_null());

    // An employee who resigned without the notice period: no severance, the notice pay owed, not paid.
    std::vector<std::string> quit = kExample;
    quit.push_back("FESIH=istifa-bildirimsiz");
    const Json q = Json::parse(Companion(quit).out);
    EXPECT_EQ(q["fields"]["NET"], "");
    EXPECT_EQ(q["fields"]["ITAZM"], "");
    EXPECT_EQ(q["kidemDurumu"],
              "Hak edilmedi — İstifa, bildirim süresine uyulmadan (1475 m. 14/1; 4857 m. 17/son)");
    EXPECT_EQ(q["ihbarDurumu"].get<std::string>().rfind("İşçinin Ödeyeceği İhbar Tazminatı: 3.733,33", 0),
              0u);
}

TEST(Companion, RefusedCalculationIsAFailure) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"ESUCRET=3.456.789", "ESUCRET=2.000,00 TL"}, "\"2.000,00 TL\""},
        {{"DVOR=6.6"}, "\"6.6\""},
        {{"GTarih=15.03.0204"}, "Personelin Giriş Çıkış Tarihleri Geçersiz.\r\nGiriş tarihi: 15.03.0204"},
        // Unreadable or out of range, in the batch's path too: never silently 0, never a negative payment.
        {{"DGVMAT=250.000.00"}, "En Son Top. GV Matrahı okunamadı: \"250.000.00\""},
        {{"ESUCRET=-2.000,00"}, "En Son Aylık Brüt Ücreti eksi olamaz"},
        {{"DGUN=-100"}, "Devreden Prim Günü eksi olamaz"},
        {{"TAV=0"}, "Kıdem Tazminatı Tavanı sıfır olamaz"},
        {{"ESUCRET=1000000000000000"}, "en çok 999.999.999,99 olabilir"},
        {{"DGUN=99999999999999999999"}, "en çok 99.999 olabilir"},
        {{"FESIH=kovuldu"}, "Fesih Nedeni okunamadı: \"kovuldu\""},
    };
    for (const auto& [extra, quoted] : cases) {
        std::vector<std::string> args = kExample;
        args.insert(args.end(), extra.begin(), extra.end());
        Outcome r = Companion(args);
        EXPECT_EQ(r.status, 1) << quoted;
        Json j = Json::parse(r.out);
        EXPECT_EQ(j["Command3"], false) << quoted;
        EXPECT_EQ(j["fields"]["NET"], "") << quoted;
        EXPECT_EQ(j["fields"]["ITAZM"], "") << quoted;
        ASSERT_EQ(j["messages"].size(), 1u) << quoted;
        EXPECT_NE(j["messages"][0]["text"].get<std::string>().find(quoted), std::string::npos) << quoted;
        // With the legal figures: the given figures differ from the law of the exit date, but a refused
        // calculation has nothing to warn about, and its status stays that of the refusal.
        args.insert(args.begin(), "--yasal-degerler");
        Outcome withTable = Companion(args);
        EXPECT_EQ(withTable.status, 1) << quoted;
        Json y = Json::parse(withTable.out)["yasalDegerler"];
        EXPECT_TRUE(y.is_object()) << quoted;
        EXPECT_TRUE(y["uyarilar"].empty()) << quoted << " " << y.dump();
    }
}

// Every message is Turkish, as the usage text is.
TEST(Companion, RejectsBadArgumentsInTurkish) {
    const std::pair<std::vector<std::string>, std::string> bad[] = {
        {{"NOSUCH=1"}, "bilinmeyen alan \"NOSUCH\""},
        {{"ESUCRET"}, "hatalı argüman \"ESUCRET\""},
        {{"=5"}, "hatalı argüman \"=5\""},
        {{"--verbose"}, "hatalı argüman \"--verbose\""},
        {{"Check1=3"}, "Check1 yalnız 0, 1 ya da 2 olabilir, \"3\" olamaz"},
        {{"Option1=yes"}, "Option1 yalnız 0 ya da 1 olabilir, \"yes\" olamaz"},
        {{"--ayar"}, "--ayar bir dosya adı ister"},
        {{"--ayar-yaz"}, "--ayar-yaz bir dosya adı ister"},
        {{"--dokum"}, "--dokum kidem, ihbar, ibraname ya da aciklama ister"},
        {{"--kaydet"}, "--kaydet bir dosya adı ister"},
        {{"--dokum", "bordro", "--kaydet", "a.pdf"},
         "--dokum kidem|ihbar|ibraname|aciklama|izin ile --kaydet DOSYA"},
        {{"--ayar", "/nonexistent/Pmrl.ini"}, "/nonexistent/Pmrl.ini"},
        {{"--toplu", "ESUCRET=1"}, "--toplu vakaları yalnız standart girdiden alır"},
        {{"--arsiv-ac", "1"}, "arşiv komutları --arsiv DOSYA ya da --ayar DOSYA ister"},
        {{"--arsiv", "a.db", "--arsiv-ac", "1", "ESUCRET=1"}, "--arsiv-ac ile ALAN=METİN"},
        // A long text is quoted by its first 100 letters (not bytes) and an ellipsis.
        {{"Check1=" + Letters("ş", 101)}, "olabilir, \"" + Letters("ş", 100) + "…\" olamaz"},
        {{"Check1=" + Letters("7", 100)}, "olabilir, \"" + Letters("7", 100) + "\" olamaz"},
    };
    for (const auto& [args, message] : bad) {
        Outcome r = Companion(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_TRUE(r.out.empty()) << args[0];
        EXPECT_EQ(r.err.rfind("pamerol-hesap: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    }
}

TEST(Companion, BatchRunsEveryLineOnAFreshSheet) {
    const std::string input = "{\"Option2\":\"1\",\"TGUN\":\"400\",\"ESUCRET\":\"100\",\"KGN\":\"30\","
                              "\"TAV\":\"1\",\"DVOR\":\"6\",\"DL2\":\"28\"}\n"
                              "{not json\n"
                              "{\"ESUCRET\":\"100\",\"NOSUCH\":\"1\"}\n"
                              "{\"TBRUT\":\"5\",\"ESUCRET\":\"100\"}\n"
                              "{\"ESUCRET\":\"100\",\"TBRUT\":\"5\"}\n"
                              "{\"Check1\":2}\n"
                              "{\"Option2\":\"1\",\"DGUN\":\"1.000\",\"TGUN\":\"2.500\"}\n";
    Outcome r = Companion({"--toplu"}, input);
    EXPECT_EQ(r.status, 1);
    std::istringstream lines(r.out);
    std::vector<Json> out;
    for (std::string l; std::getline(lines, l);) out.push_back(Json::parse(l));
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(out[0]["mode"], 2);
    EXPECT_EQ(out[0]["fields"]["GGUN"], "400");
    EXPECT_EQ(out[0]["fields"]["KYILI"], "1");
    EXPECT_EQ(out[1]["line"], 2);
    EXPECT_EQ(out[1]["error"], "geçerli bir JSON değil: 3. baytta hata (son okunan: '{no')");
    EXPECT_EQ(out[2]["line"], 3);
    EXPECT_EQ(out[2]["error"], "bilinmeyen alan \"NOSUCH\"");
    // Assignments apply in the order of the keys: the wage rule overwrites a total set before it.
    EXPECT_EQ(out[3]["fields"]["TBRUT"], "100,00");
    EXPECT_EQ(out[4]["fields"]["TBRUT"], "5");
    EXPECT_EQ(out[4]["mode"], 1); // a fresh sheet: the mode of line 1 is gone
    EXPECT_EQ(out[5]["line"], 6);
    EXPECT_EQ(out[5]["error"], "\"Check1\" alanının değeri tırnak içinde bir metin olmalı");
    // Day counts as a table of employees writes them: "2.500" is 2500 days, never 2,5.
    EXPECT_EQ(out[6]["fields"]["TGUN"], "2500");
    EXPECT_EQ(out[6]["fields"]["GGUN"], "3500");
}

TEST(Companion, SettingsFileInAndOut) {
    const TempFolder tmp;
    const std::string dir = tmp.path().string();
    const std::string in = dir + "/Pmrl.ini", outFile = dir + "/yeni.ini";
    {
        std::ofstream f(in, std::ios::binary);
        f << "; "
             "ornek\r\n[Oranlar]\r\nOran1=6,6\r\nOran2=30\r\nOran3=1960,69\r\n[GV]\r\nOran1=15\r\nDilim1="
             "7500\r\n"
             "[IhbarTazminati]\r\n37=56\r\n";
    }
    {
        std::ofstream f(outFile, std::ios::binary);
        f << "; kept comment\r\n[Oranlar]\r\nOran3=1960,69\r\n[Diger]\r\nx=1\r\n";
    }
    Outcome r = Companion({"--ayar", in, "--ayar-yaz", outFile, "GTarih=15.03.2004", "CTarih=14.09.2007",
                           "ESUCRET=2.000,00", "TAV=2030,19"});
    ASSERT_EQ(r.status, 3) << r.err; // the file's figures are not all those of 2007, and are named
    Json j = Json::parse(r.out);
    EXPECT_EQ(j["fields"]["DVOR"], "6,6");
    EXPECT_EQ(j["fields"]["IGVER"], "560,00");   // the loaded bracket table reached the calculator
    EXPECT_EQ(j["fields"]["BKTAZ"], "7.000,00"); // the wage is now under the ceiling
    std::ifstream saved(outFile, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(saved)), {});
    EXPECT_EQ(text.rfind("; kept comment\r\n[Oranlar]\r\nOran3=2030,19\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("[Diger]\r\nx=1\r\n"), std::string::npos);
}

TEST(Companion, LargeBatchKeepsTheOrderOfTheLines) {
    std::string input;
    const int lines = 9000; // more than one chunk of work
    for (int k = 1; k <= lines; ++k)
        input +=
            k == 4500 ? "{\"TGUN\":5}\n" : "{\"Option2\":\"1\",\"TGUN\":\"" + std::to_string(k) + "\"}\n";
    Outcome r = Companion({"--toplu"}, input);
    EXPECT_EQ(r.status, 1);
    std::istringstream out(r.out);
    int k = 0;
    for (std::string l; std::getline(out, l);) {
        ++k;
        Json j = Json::parse(l);
        if (k == 4500) {
            EXPECT_EQ(j["line"], 4500);
        } else {
            ASSERT_EQ(j["fields"]["GGUN"], std::to_string(k)) << "line " << k;
        }
    }
    EXPECT_EQ(k, lines);
}

namespace {

// An output that takes a given number of bytes and then fails, as a full disk does.
class FullAfter : public std::streambuf {
  public:
    explicit FullAfter(std::size_t room) : room_(room) {}

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (room_ == 0) return traits_type::eof();
        --room_;
        return c;
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        const auto taken = std::min<std::streamsize>(n, static_cast<std::streamsize>(room_));
        room_ -= static_cast<std::size_t>(taken);
        return taken;
    }

  private:
    std::size_t room_;
};

} // namespace

TEST(Companion, LostOutputIsOneMessageAndExitStatus1) {
    std::string batch;
    for (int k = 0; k < 50; ++k) batch += "{\"Option2\":\"1\",\"TGUN\":\"400\",\"ESUCRET\":\"100\"}\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--help"}, ""},
        {kExample, ""},
        {{"--toplu"}, batch},
    };
    for (const auto& [args, input] : cases) {
        for (std::size_t room : {std::size_t{0}, std::size_t{100}}) {
            std::istringstream in(input);
            FullAfter full(room);
            std::ostream out(&full);
            std::ostringstream err;
            EXPECT_EQ(RunCompanion(args, in, out, err), 1) << args[0] << " " << room;
            const std::string message = err.str();
            EXPECT_EQ(message.rfind("pamerol-hesap: çıktı yazılamadı", 0), 0u) << message;
            EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        }
    }
}

TEST(Companion, BatchLinesOfAnySizeGetShortErrors) {
    const std::string longName(5000, 'Z');
    const std::string input = "{\"" + longName + "\":\"1\"}\n" +                  // unknown field
                              "{\"ESUCRET\":\"" + std::string(5000, '9') + "\n" + // unterminated text
                              "{\"txtAdres\":\"" + std::string((1 << 20) + 10, 'a') + "\"}\n" + // over 1 MiB
                              "{\"Check1\":\"" + std::string(5000, '7') + "\"}\n" +             // bad flag
                              "{\"Option2\":\"1\",\"TGUN\":\"400\"}\n";
    // A line of exactly 1 MiB is read; one byte more is not.
    const std::string head = "{\"Option2\":\"1\",\"TGUN\":\"400\",\"txtAdres\":\"", tail = "\"}";
    const std::string mib = head + std::string((1 << 20) - head.size() - tail.size(), 'b') + tail;
    ASSERT_EQ(mib.size(), 1u << 20);
    Outcome r = Companion({"--toplu"}, input + mib + "\n" + head + "b" + mib.substr(head.size()) + "\n");
    EXPECT_EQ(r.status, 1);
    std::istringstream lines(r.out);
    std::vector<Json> out;
    for (std::string l; std::getline(lines, l);) out.push_back(Json::parse(l));
    ASSERT_EQ(out.size(), 7u);
    EXPECT_FALSE(out[5].contains("error")) << out[5].dump().substr(0, 200);
    EXPECT_EQ(out[5]["fields"]["txtAdres"].get<std::string>().size(), mib.size() - head.size() - tail.size());
    EXPECT_EQ(out[5]["fields"]["GGUN"], "400");
    EXPECT_EQ(out[6]["error"], "satır 1 MiB'tan uzun (" + std::to_string((1 << 20) + 1) + " bayt)");
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(out[k]["line"], k + 1);
        const std::string error = out[k]["error"];
        EXPECT_LT(error.size(), 300u) << error;
    }
    EXPECT_EQ(out[2]["error"], "satır 1 MiB'tan uzun (" + std::to_string((1 << 20) + 25) + " bayt)");
    EXPECT_EQ(out[4]["fields"]["GGUN"], "400");
}

TEST(Companion, MultiLineTextsTakeTheSheetsLineBreaks) {
    Outcome r = Companion({"txtUnvani=A\nB\r\nC\rD", "txtVergiNo=1\n2"}); // a settings run
    Json j = Json::parse(r.out);
    EXPECT_EQ(j["fields"]["txtUnvani"], "A\r\nB\r\nC\r\nD");
    EXPECT_EQ(j["fields"]["txtVergiNo"], "1\n2"); // a one-line box is left as given
}

TEST(Companion, ASettingsFileThatCannotBeReadGivesTheRealReason) {
    const TempFolder tmp;
    const std::string dir = tmp.path().string();
    const std::string fifo = dir + "/fifo.ini", loop = dir + "/loop.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::filesystem::create_symlink(dir + "/loop2.ini", loop);
    std::filesystem::create_symlink(loop, dir + "/loop2.ini");
    const std::pair<std::string, std::string> cases[] = {
        {fifo, "sıradan bir dosya değil"},
        {loop, "symbolic links"},
        {dir + "/none.ini", "No such file"},
    };
    for (const auto& [path, reason] : cases) {
        Outcome r = Companion({"--ayar", path, "ESUCRET=1"});
        EXPECT_EQ(r.status, 2) << path;
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
    }
}

// Assignments of settings fields only (rolling out a new ceiling) calculate nothing and succeed when the
// settings were loaded and saved; one field of a case makes it a case again.
TEST(Companion, ASettingsRunCalculatesNothing) {
    const TempFolder tmp;
    const std::string ini = tmp.file("Pmrl.ini"), copy = tmp.file("kopya.ini");
    const std::string sample = "[Oranlar]\r\nOran1=7,59\r\nOran3=53919,68\r\n";
    const struct {
        std::vector<std::string> args;
        int status;
        size_t messages;
        std::string saved;  // what the saved file holds ("" when nothing is saved)
        bool whole = false; // saved is the whole file: the loaded file gains only the changed key
    } cases[] = {
        {{"--ayar", ini, "TAV=64948,77", "--ayar-yaz", ini},
         0,
         0,
         "[Oranlar]\r\nOran1=7,59\r\nOran3=64948,77\r\n",
         true},
        {{"--ayar", ini, "--ayar-yaz", copy}, 0, 0, "Oran3=53919,68\r\n"},
        {{"TAV=64948,77", "txtUnvani=Acar Ltd.", "--ayar-yaz", copy}, 0, 0, "Unvani=Acar Ltd.\r\n"},
        {{"--ayar", ini, "TAV=1", "--ayar-yaz", tmp.file("yok/x.ini")}, 1, 0, ""},
        {{"--ayar", ini, "TAV=1", "ESUCRET=5", "--ayar-yaz", copy}, 1, 1, "Oran3=1\r\n"},
        {{"--ayar", ini, "Check1=1"}, 1, 1, ""},
        // The legal figures are for a case: a settings run takes none and reports none.
        {{"--ayar", ini, "--yasal-degerler", "TAV=64948,77", "--ayar-yaz", ini},
         0,
         0,
         "[Oranlar]\r\nOran1=7,59\r\nOran3=64948,77\r\n",
         true},
    };
    for (const auto& c : cases) {
        WriteBytes(ini, sample);
        std::filesystem::remove(copy);
        Outcome r = Companion(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[2] << r.err;
        Json j = Json::parse(r.out);
        EXPECT_EQ(j["messages"].size(), c.messages) << c.args[2];
        EXPECT_EQ(j["Command3"], false);
        // A case (refused here) is compared with the law of its date; a settings run is no case.
        EXPECT_EQ(j.contains("yasalDegerler"), c.messages > 0) << c.args[2];
        const std::string saved = ReadBytes(c.args.back() == copy ? copy : ini);
        if (c.whole) {
            EXPECT_EQ(saved, c.saved);
        } else if (!c.saved.empty()) {
            EXPECT_NE(saved.find(c.saved), std::string::npos) << saved;
        }
    }
    // In a batch, a line of settings fields only is not calculated and fails nothing.
    Outcome r = Companion({"--toplu"}, "{\"TAV\":\"1\",\"DVOR\":\"6\"}\n{}\n");
    EXPECT_EQ(r.status, 0) << r.out;
    std::istringstream lines(r.out);
    int n = 0;
    for (std::string l; std::getline(lines, l); ++n) {
        Json j = Json::parse(l);
        EXPECT_TRUE(j["messages"].empty()) << l;
        EXPECT_EQ(j["fields"]["TAV"], n == 0 ? "1" : "");
    }
    EXPECT_EQ(n, 2);
}

// --aciklama prints the statement as JSON lines instead of the sheet; a case reopened from the archive
// gives the same lines, since they come from the stored sheet, but for where its legal figures came from.
TEST(Companion, StatementAsJsonLinesAndFromTheArchive) {
    TempFolder folder;
    const std::string db = folder.file("arsiv.db");
    std::vector<std::string> args = {"--arsiv", db, "--aciklama"};
    args.insert(args.end(), kExample.begin(), kExample.end());
    Outcome calculated = Companion(args);
    ASSERT_EQ(calculated.status, 0) << calculated.err;
    std::istringstream lines(calculated.out);
    std::map<std::string, Json> byCaption;
    for (std::string line; std::getline(lines, line);) {
        Json j = Json::parse(line);
        // The legal basis, where a line has one.
        ASSERT_EQ(j.size(), j.contains("dayanak") ? 4u : 3u) << line;
        EXPECT_TRUE(j["baslik"].is_string() && j["degerler"].is_object() && j["sonuc"].is_string()) << line;
        byCaption[j["baslik"]] = j;
    }
    EXPECT_EQ(byCaption["Hizmet süresi: Toplam Gün"]["sonuc"], "1279");
    EXPECT_EQ(byCaption["Kıdem tazminatı: brüt"]["degerler"]["Aylar payı"], "6 × 1.960,69 ÷ 12 = 980,35");
    EXPECT_EQ(byCaption["Kıdem tazminatı: brüt"]["dayanak"], "1475 sayılı İş Kanunu m. 14");
    EXPECT_EQ(byCaption["Kıdem tazminatı: ödenecek"]["sonuc"], "6.817,13");
    EXPECT_EQ(byCaption["İhbar tazminatı: gelir vergisi"]["sonuc"], "560,00");

    // The legal figures are the stored case's now: given to the companion then, from the archive now.
    Outcome reopened = Companion({"--arsiv", db, "--arsiv-ac", "1", "--aciklama"});
    ASSERT_EQ(reopened.status, 0) << reopened.err;
    std::string stored = calculated.out;
    const std::string given = "\"sonuc\":\"elle girildi\"", fromArchive = "\"sonuc\":\"arşivdeki hesaptan\"";
    ASSERT_NE(stored.find(given), std::string::npos);
    for (size_t at; (at = stored.find(given)) != std::string::npos;)
        stored.replace(at, given.size(), fromArchive);
    EXPECT_EQ(reopened.out, stored);

    // A refused calculation prints no statement and says why; a batch takes no --aciklama.
    Outcome refused = Companion({"GTarih=15.03.2004", "CTarih=14.09.2003", "--aciklama"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("giriş tarihinden"), std::string::npos) << refused.err;
    EXPECT_EQ(Companion({"--toplu", "--aciklama"}).status, 2);
}
