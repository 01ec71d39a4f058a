// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>

#include "base/conversions.h"
#include "batch.h"
#include "calc/fesih.h"
#include "case_run.h"
#include "pamerol/version.h"
#include "printouts/dokum.h"
#include "report.h"
#include "sheet/places.h"
#include "sheet/profile.h"
#include "toplu/tablo_oku.h"
#include "toplu_tablo.h"
#include "yasal.h"

namespace pamerol {

namespace {

const char* kUsage =
    "Kullanım: pamerol-hesap [--ayar DOSYA] [--ayar-yaz DOSYA] [--yasal-degerler] [ALAN=METİN ...]\n"
    "          pamerol-hesap [--ayar DOSYA] --toplu  < vakalar.jsonl\n"
    "          pamerol-hesap [--ayar DOSYA] [ALAN=METİN ...] --dokum kidem|ihbar|ibraname|aciklama|izin "
    "--kaydet "
    "DOSYA\n"
    "          pamerol-hesap --arsiv DOSYA --arsiv-ac NO [--dokum kidem|ihbar|ibraname|aciklama|izin "
    "--kaydet "
    "DOSYA]\n"
    "          pamerol-hesap [--ayar DOSYA] [ALAN=METİN ...] --aciklama\n"
    "          pamerol-hesap --toplu-tablo TABLO --cikti SONUC.xlsx|.ods|.csv [--yasal-degerler] [--ayar "
    "DOSYA]\n"
    "                        [--cikis-tarihi GG.AA.YYYY] [--pdf-klasoru KLASÖR --dokum kidem,ihbar,ibraname\n"
    "                        [--ibraname-tarihi GG.AA.YYYY]]\n"
    "                        [--arsiv DOSYA [--toplu-adi AD]] [--ilerleme] [--uzerine-yaz]\n"
    "          pamerol-hesap --toplu-tablo TABLO --onizleme [--cikis-tarihi GG.AA.YYYY]\n"
    "\n"
    "  --ayar DOSYA      ayarları (Pmrl.ini) önce bu dosyadan yükler; --yasal-degerler olmadan vaka bu\n"
    "                    dosyanın yasal değerleriyle hesaplanır ve çıkış tarihinde geçerli olandan farklı\n"
    "                    her değer yasalDegerler.uyarilar'da adıyla verilir (tablo okunamazsa bir kez\n"
    "                    söylenir, karşılaştırılmaz)\n"
    "  --ayar-yaz DOSYA  hesaptan sonra ayar alanlarını bu dosyaya yazar (yalnız o anahtarlar değişir)\n"
    "  --toplu           standart girdiden her satırda bir JSON nesnesi okur, her vakaya bir sonuç satırı "
    "yazar\n"
    "  --yasal-degerler  her vakaya çıkış tarihinde geçerli yasal değerleri yasal-degerler.csv'den uygular;\n"
    "                    vakada verilen değerler tablodakilerden önce gelir; --ayar ile işveren bilgileri,\n"
    "                    sözleşmenin yasal olandan yüksek kıdem ve ihbar günleri ve tabloda olmayan bir\n"
    "                    değer (örneğin bir dönemin tavanı) ayar dosyasından kalır\n"
    "  --aciklama        sayfa yerine hesap açıklamasını yazar: her satırda bir JSON nesnesi\n"
    "                    {\"baslik\": ..., \"degerler\": {ad: metin, ...}, \"sonuc\": ...} (--arsiv-ac ile "
    "de)\n"
    "  --toplu-tablo TABLO  personel tablosunun (.xlsx, .xls, .ods ya da CSV: UTF-8 ya da Windows-1254;\n"
    "                    ; , ya da sekme ile ayrılmış; ilk satır sütun adları) her satırını hesaplar;\n"
    "                    sonuç tablosunu --cikti DOSYA'ya (.xlsx, .ods, .csv) yazar, özeti standart\n"
    "                    çıktıya; yasal değerler her satırın çıkış tarihindekilerdir (--ayar DOSYA ile\n"
    "                    de --yasal-degerler verilirse); --ayar DOSYA tek başına her satıra o dosyanın\n"
    "                    değerlerini verir, yasal olandan farklıları \"Uyarı\" sütununda adlandırır\n"
    "  --cikis-tarihi GG.AA.YYYY  --toplu-tablo ile: her satırı bu tarihte çıkmış gibi hesaplar (yıl sonu\n"
    "                    kıdem tazminatı karşılığı); tablonun \"Çıkış Tarihi\" sütunu kullanılmaz\n"
    "  --ibraname-tarihi GG.AA.YYYY  --dokum ibraname ile: \"İbraname Tarihi\" sütunu boş olan satırların\n"
    "                    ibraname tarihi (yoksa yazdırıldığı gün); çıkıştan bir ay geçmeden düzenlenen\n"
    "                    ibraname TBK m. 420 uyarınca hükümsüz olduğundan yazdırılmaz, \"Uyarı\" sütunu\n"
    "                    nedenini söyler (durum 1); ödeme tarihi, banka ya da IBAN eksikse yazdırılır,\n"
    "                    uyarılır (durum 3)\n"
    "  --pdf-klasoru KLASÖR  --toplu-tablo ile: --dokum'da virgülle sayılan dökümleri her satır için\n"
    "                    \"001 Adı Soyadı – Kıdem Bordrosu.pdf\" olarak, her döküm için de tüm satırları\n"
    "                    \"Tümü – Kıdem Bordrosu.pdf\" olarak KLASÖR'e yazar (pdfunite gerekir); önceki\n"
    "                    bir toplu hesabın KLASÖR'deki dökümlerini \"AD (GG.AA.YYYY SS.DD)\" alt klasörüne\n"
    "                    taşır (özette söyler); başka dosyalara dokunmaz\n"
    "  --arsiv DOSYA     --toplu-tablo ile: hesaplanan her satırı dökümleriyle arşive kaydeder; --toplu-adi\n"
    "                    AD (verilmezse tablonun adı ve saat) ile işaretler, Arşiv'de bu adla bulunur\n"
    "  --ilerleme        --toplu-tablo ile: standart çıktıya yalnız JSON satırları yazar, her satırdan "
    "sonra\n"
    "                    {\"ilerleme\":{\"bitti\":N,\"toplam\":TOPLAM,\"ad\":AD}}, sonuç tablosu yazılınca\n"
    "                    özeti {\"ozet\":{\"durum\":..., \"hesaplanan\":..., "
    "\"satirlar\":[[ETİKET,DEĞER],...]}};\n"
    "                    SIGTERM ya da Ctrl+C işlenen satırdan sonra durdurur, yapılanı yazar (durum 1)\n"
    "  --onizleme        --toplu-tablo ile: hesaplamadan sütun eşleşmelerini ve ilk 20 satırı JSON yazar\n"
    "  --uzerine-yaz     --toplu-tablo ile: var olan sonuç dosyasının ve dökümlerin üzerine yazar\n"
    "  --dokum, --kaydet dökümü başsız bir LibreOffice'te doldurup DOSYA olarak saklar (.xls, .pdf, .ods);\n"
    "                    aciklama hesap açıklamasını basılacak sayfa olarak doldurur\n"
    "  --arsiv DOSYA     hesaplanan her vakayı (dökümüyle) bu arşive kaydeder\n"
    "  --arsiv-ara METİN arşivde ad, T.C. Kimlik No, SSK No ya da işverene göre arar, Türkçe harfler\n"
    "                    olmadan yazılmış kelimeleri de bulur (JSON satırları; en yeni 1000 vaka)\n"
    "  --hepsi           --arsiv-ara ile: bulunan bütün vakaları yazar\n"
    "  --arsiv-ac NO     arşivdeki vakayı hesaplamadan sayfaya yükler (--dokum ile yeniden basar)\n"
    "  --arsiv-sil NO, --arsiv-sil-eski YIL  bir vakayı / çıkışı YIL yıldan eski vakaları siler\n"
    "  --arsiv-disa TCKNO DOSYA  bir kişinin vakalarını DOSYA'ya yazar (.html/.htm ya da .csv); vakası\n"
    "                    yoksa yazmaz; --arsiv yoksa arşiv, --ayar dosyasındaki [Arsiv] Yol= ya da\n"
    "                    dosyanın yanındaki arsiv.db'dir; bir çalıştırmada tek arşiv komutu verilir\n"
    "  ALAN=METİN        sayfanın alan adları (ESUCRET, GTarih, ...); Option1/Option2 = 1 hesap şeklini,\n"
    "                    Check1/Check2 = 0, 1 ya da 2 ibraname seçeneklerini verir\n"
    "  --version         sürümü yazar\n"
    "\n"
    "Yalnız ayar alanları (TAV, DVOR, O1, txtUnvani, ...) verilen bir çalıştırma ayar çalıştırmasıdır:\n"
    "hiçbir şey hesaplanmaz, hesap mesajı yazılmaz; örneğin yeni tavanı yaymak için\n"
    "  pamerol-hesap --ayar Pmrl.ini TAV=64948,77 --ayar-yaz Pmrl.ini\n"
    "--toplu'da yalnız ayar alanı veren satırlar da hesaplanmaz.\n"
    "\n"
    "Çıkış durumu: 0 hesap tamam (uyarı yok) ya da ayarlar yüklendi ve yazıldı; 1 hesap yapılamadı\n"
    "(mesajda nedeni), bir satır hatalı ya da bir dosya yazılamadı; 2 bilinmeyen alan ya da hatalı argüman,\n"
    "hiçbir şey hesaplanmadı; 3 hesaplandı ama uyarıyla: kullanılan bir yasal değer çıkış tarihinde\n"
    "geçerli olandan farklı ya da tabloda yok (yasalDegerler.uyarilar), ya da çıkış tarihinin tavanı\n"
    "tabloda yok ve verilmedi (yasalDegerler.tavanNotu): ücret tablodaki son tavanın altındaysa kıdem\n"
    "tazminatı hesaplandı (sonuç kesin), üstündeyse kıdem tazminatı boş kaldı, ihbar tazminatı hesaplandı.\n"
    "--toplu-tablo: 1 bir satır hesaplanamadı (öbürleri yazıldı), 3 bir satırda yasal değer uyarısı ya da\n"
    "tavan notu var (\"Uyarı\" sütunu); 2 tablo okunamadı, gerekli bir sütun yok, sonuç dosyası\n"
    "yazılamaz ya da döküm klasörünü veya arşivi çalışan başka bir toplu hesap tutuyor: hiçbir şey\n"
    "hesaplanmadı.\n"
    "\n"
    "--yasal-degerler ya da --ayar ile her sonuç satırında \"yasalDegerler\" nesnesi:\n"
    "\"uygulandi\" (tablonun değerleri alındı mı, yoksa yalnız karşılaştırıldı mı), \"tarih\",\n"
    "\"yazilan\" {ALAN: METİN}, \"eksik\" [ALAN], \"mesaj\", \"tavanUyarisi\", \"uyarilar\"\n"
    "[{\"alan\", \"baslik\", \"kullanilan\", \"yururlukte\", \"metin\"}] ve \"tavanNotu\"\n"
    "(metin ya da null).\n";

// The termination reasons FESIH= takes, from their table: each code and what the clerk reads for it.
std::string FesihNedenleri() {
    std::string out =
        "\nFESIH=KOD fesih nedenini verir (boş: Belirtilmedi; kıdem ve ihbar tazminatı ikisi de\n"
        "hesaplanır); her sonuç satırında \"kidemDurumu\" ve \"ihbarDurumu\" hak edilmeyen ödemenin\n"
        "nedenini verir (hak edildiyse null):\n";
    for (const TerminationReason& reason : kTerminationReasons)
        if (!reason.code.empty())
            out += "  " + std::string(reason.code) +
                   std::string(20 - std::min<size_t>(reason.code.size(), 18), ' ') +
                   std::string(reason.caption) + "\n";
    return out;
}

// A wrong argument: the reason and then how the companion is used; nothing is computed.
int Misused(const std::string& message, std::ostream& err) {
    Report(Failure(message), kStatusUsage, err);
    err << kUsage;
    return kStatusUsage;
}

} // namespace

int RunCompanion(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                 std::ostream& err) {
    // The window's office, left with papers on screen when the window ended: ended once they are closed.
    if (args.size() == 2 && args[0] == "--ofis-bekle") return OfisKapanisiniBekle(args[1]);
    std::optional<std::string> settingsFile, saveFile, dokumName, dokumPath, tabloIn, tabloOut, cikisTarihi,
        pdfKlasoru, topluAdi, ibranameTarihi;
    bool batch = false, yasalDegerler = false, aciklama = false, uzerineYaz = false, onizleme = false,
         ilerleme = false;
    ArchiveOptions archiveOptions;
    std::vector<std::pair<std::string, std::string>> assignments;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--ayar" || a == "--ayar-yaz") {
            if (i + 1 >= args.size()) return Misused(a + " bir dosya adı ister", err);
            (a == "--ayar" ? settingsFile : saveFile) = args[++i];
        } else if (a == "--dokum" || a == "--kaydet") {
            if (i + 1 >= args.size()) {
                const char* what = a == "--dokum" ? "kidem, ihbar, ibraname ya da aciklama" : "bir dosya adı";
                return Misused(a + " " + what + " ister", err);
            }
            (a == "--dokum" ? dokumName : dokumPath) = args[++i];
        } else if (const Expected<bool> taken = ArchiveArgument(args, i, archiveOptions); !taken || *taken) {
            if (!taken) return Misused(taken.error().message, err);
        } else if (a == "--toplu-tablo" || a == "--cikti" || a == "--cikis-tarihi" || a == "--pdf-klasoru" ||
                   a == "--toplu-adi" || a == "--ibraname-tarihi") {
            if (i + 1 >= args.size()) {
                const char* what = a == "--cikis-tarihi" || a == "--ibraname-tarihi"
                                       ? "bir tarih (GG.AA.YYYY)"
                                   : a == "--toplu-adi"   ? "bir ad"
                                   : a == "--pdf-klasoru" ? "bir klasör adı"
                                                          : "bir dosya adı";
                return Misused(a + " " + what + " ister", err);
            }
            (a == "--toplu-tablo"       ? tabloIn
             : a == "--cikti"           ? tabloOut
             : a == "--pdf-klasoru"     ? pdfKlasoru
             : a == "--toplu-adi"       ? topluAdi
             : a == "--ibraname-tarihi" ? ibranameTarihi
                                        : cikisTarihi) = args[++i];
        } else if (a == "--uzerine-yaz") {
            uzerineYaz = true;
        } else if (a == "--onizleme") {
            onizleme = true;
        } else if (a == "--ilerleme") {
            ilerleme = true;
        } else if (a == "--toplu") {
            batch = true;
        } else if (a == "--aciklama") {
            aciklama = true;
        } else if (a == "--yasal-degerler") {
            yasalDegerler = true;
        } else if (a == "--help" || a == "-h") {
            const Places places = ChoosePlaces(ProgramFolder(), PlaceEnvironment::FromProcess());
            out << kUsage << FesihNedenleri() << "\nŞablonlar ve örnek ayarlar: " << places.resources
                << "\nPencerenin ayar dosyası: " << IniYolu(places.settings) << '\n';
            return OutputWritten(out, err) ? 0 : 1;
        } else if (a == "--version") {
            out << "pamerol-hesap " << kVersion << '\n';
            return OutputWritten(out, err) ? 0 : 1;
        } else if (auto eq = a.find('='); eq != std::string::npos && eq > 0 && a[0] != '-') {
            assignments.emplace_back(a.substr(0, eq), a.substr(eq + 1));
        } else {
            return Misused("hatalı argüman \"" + Excerpt(a) + "\"", err);
        }
    }
    if (const Expected<void> usable = CheckArchiveOptions(archiveOptions); !usable)
        return Misused(usable.error().message, err);
    // With a table of employees, --dokum names the papers of every row, separated by commas.
    std::vector<Dokum> dokumler;
    if (tabloIn && dokumName && !dokumPath) {
        for (size_t from = 0; from <= dokumName->size();) {
            size_t to = dokumName->find(',', from);
            if (to == std::string::npos) to = dokumName->size();
            const auto d = DokumByName(dokumName->substr(from, to - from));
            if (!d)
                return Misused(
                    "--dokum kidem, ihbar ve ibraname'den birini ya da virgülle birkaçını ister, \"" +
                        Excerpt(*dokumName) + "\" değil",
                    err);
            if (std::find(dokumler.begin(), dokumler.end(), *d) == dokumler.end()) dokumler.push_back(*d);
            from = to + 1;
        }
        dokumName.reset();
    }
    std::optional<Printout> printout;
    if (dokumName || dokumPath) {
        auto dokum = dokumName ? DokumByName(*dokumName) : std::nullopt;
        if (!dokum || !dokumPath)
            return Misused("--dokum kidem|ihbar|ibraname|aciklama|izin ile --kaydet DOSYA birlikte verilir",
                           err);
        printout = Printout{*dokum, *dokumPath};
    }
    if (batch && (!assignments.empty() || saveFile || printout || aciklama))
        return Misused("--toplu vakaları yalnız standart girdiden alır (ALAN=METİN, --ayar-yaz, --dokum ve "
                       "--aciklama verilmez)",
                       err);

    const bool tabloOption = tabloOut || cikisTarihi || uzerineYaz || pdfKlasoru || topluAdi || onizleme ||
                             ilerleme || ibranameTarihi;
    if (tabloIn || tabloOption) {
        if (!tabloIn || (!tabloOut && !onizleme))
            return Misused("--toplu-tablo TABLO ile --cikti DOSYA (ya da --onizleme) birlikte verilir", err);
        if (batch || !assignments.empty() || saveFile || printout || archiveOptions.command() ||
            archiveOptions.reopen || aciklama)
            return Misused(
                "--toplu-tablo ile yalnız --cikti, --yasal-degerler ya da --ayar, --cikis-tarihi, "
                "--pdf-klasoru ile --dokum (ve --ibraname-tarihi), --arsiv, --toplu-adi, --ilerleme ve "
                "--uzerine-yaz verilir",
                err);
        if (pdfKlasoru.has_value() != !dokumler.empty())
            return Misused("--toplu-tablo ile --pdf-klasoru KLASÖR ve --dokum kidem,ihbar,ibraname birlikte "
                           "verilir",
                           err);
        for (auto [option, date] :
             {std::pair{"--cikis-tarihi", &cikisTarihi}, std::pair{"--ibraname-tarihi", &ibranameTarihi}}) {
            if (!*date) continue;
            const auto read = ReadDate(**date, DateForms::Table);
            if (!read)
                return Report(Failure(std::string(option) + " GG.AA.YYYY biçiminde bir tarih ister, \"" +
                                      Excerpt(**date) + "\" değil"),
                              kStatusUsage, err);
            *date = DateText(*read);
        }
        if (ibranameTarihi && std::find(dokumler.begin(), dokumler.end(), Dokum::Ibraname) == dokumler.end())
            return Misused("--ibraname-tarihi yalnız --dokum ibraname ile verilir", err);
        if (onizleme) return TopluTabloOnizleme(*tabloIn, cikisTarihi, out, err);
    }

    // The settings file, loaded once as at the program's start; unlike the window, a missing file is an
    // error.
    std::unique_ptr<Settings> settings;
    if (settingsFile) {
        settings = std::make_unique<Settings>();
        AyarYukleme loaded = AyarlariOku(settings->record, *settingsFile);
        if (!loaded.error && !loaded.loaded)
            loaded.error = AyarOkumaHatasi(*settingsFile, std::strerror(ENOENT));
        if (loaded.error) return Report(Failure(*loaded.error), kStatusUsage, err);
        settings->loaded = std::move(loaded.loaded);
    }

    // One policy for the legal figures (YasalTablo): with --yasal-degerler, and for a table of employees
    // without a settings file, each case takes those of its exit date over the settings; with a settings
    // file alone the settings' figures are used and each one that is not the law of the exit date is
    // named. For that comparison only, a table that cannot be read is said once and the cases go on.
    std::unique_ptr<YasalDegerler> table;
    const bool applyTable = yasalDegerler || (tabloIn && !settingsFile);
    const bool calculates = batch || tabloIn || printout || !OnlySettings(assignments);
    if (applyTable) {
        auto loaded = YasalDegerleriYukle();
        if (!loaded) return Report(loaded.error(), kStatusUsage, err);
        table = std::move(*loaded);
    } else if (settingsFile && calculates && !archiveOptions.command() && !archiveOptions.reopen) {
        auto loaded = YasalDegerleriYukle();
        if (loaded)
            table = std::move(*loaded);
        else
            err << "pamerol-hesap: " << loaded.error().message
                << "; ayar dosyasındaki değerler çıkış tarihinin yasal değerleriyle karşılaştırılmadı\n";
    }
    const YasalTablo yasal{table.get(), applyTable};
    if (tabloIn)
        return RunTopluTablo(TopluTabloSecenekleri{*tabloIn, *tabloOut, cikisTarihi, uzerineYaz, settingsFile,
                                                   pdfKlasoru, dokumler, archiveOptions.file,
                                                   topluAdi.value_or(""), ibranameTarihi},
                             ilerleme, settings.get(), yasal, out, err);

    const auto archivePath = ArchivePath(archiveOptions, settingsFile);
    if ((archiveOptions.command() || archiveOptions.reopen) && !archivePath)
        return Misused("arşiv komutları --arsiv DOSYA ya da --ayar DOSYA ister", err);
    if (archiveOptions.command()) return RunArchiveCommand(archiveOptions, *archivePath, out, err);

    // The statement looks the legal figures up in the table; without it, it says the table was not read.
    std::unique_ptr<YasalDegerler> aciklamaTablosu;
    if (aciklama && !table)
        if (auto loaded = YasalDegerleriYukle()) aciklamaTablosu = std::move(*loaded);
    const YasalDegerler* statementTable = table ? table.get() : aciklamaTablosu.get();
    std::string statement;
    int statementStatus = 0;
    const auto explain = [&](const Record& r, const RecordedMessages& m) {
        const Expected<Aciklama> a = HesapAciklamasi(r, statementTable, TodayKey());
        if (a) {
            statement = AciklamaJson(*a);
            return;
        }
        // A refused calculation: its own message says why.
        for (const RecordedMessages::Entry& e : m.entries) Report(Failure(e.text), kStatusRefused, err);
        if (m.entries.empty()) Report(a.error(), kStatusRefused, err);
        statementStatus = kStatusRefused;
    };
    if (archiveOptions.reopen) {
        if (batch || !assignments.empty() || saveFile)
            return Misused("--arsiv-ac ile ALAN=METİN, --toplu ya da --ayar-yaz verilmez", err);
        const auto show = [&](const Record& r, const RecordedMessages& m) {
            if (aciklama) {
                explain(r, m);
                out << statement;
                return;
            }
            std::string result;
            ResultWriter().write(r, m, result);
            out << result;
        };
        const int reopened = ReopenArchivedCase(*archivePath, *archiveOptions.reopen, show,
                                                printout ? &printout->dokum : nullptr,
                                                printout ? printout->path : std::string(), err);
        if (!OutputWritten(out, err)) return 1;
        return WorseStatus(reopened, statementStatus);
    }
    std::optional<ArchiveRun> archive;
    if (archiveOptions.file) archive.emplace(*archiveOptions.file, err);
    ArchiveRun* const archiveRun = archive ? &*archive : nullptr;

    if (batch) return RunBatch(settings.get(), yasal, in, out, err, archiveRun);

    for (const auto& [name, value] : assignments) {
        if (!KnownName(name)) return Report(Failure(UnknownField(name)), kStatusUsage, err);
    }
    std::optional<SaveTarget> saveTo;
    if (saveFile)
        saveTo = SaveTarget{*saveFile,
                            settings && SameFile(*settingsFile, *saveFile) ? settings->loaded : std::nullopt};
    int status = 0;
    ResultWriter writer;
    std::string result;
    const Expected<void> ran =
        RunCase(settings.get(), assignments, writer, result, saveTo ? &*saveTo : nullptr, &err, &status,
                printout ? &*printout : nullptr, archiveRun, 0, yasal,
                aciklama ? CalculatedCase(explain) : CalculatedCase());
    if (!ran) return Report(ran.error(), kStatusUsage, err);
    // With --aciklama the statement stands in place of the sheet's line.
    out << (aciklama ? statement : result);
    status = WorseStatus(status, statementStatus);
    if (archiveRun) status = WorseStatus(status, archiveRun->flush());
    if (!OutputWritten(out, err)) return 1;
    return status;
}

} // namespace pamerol
