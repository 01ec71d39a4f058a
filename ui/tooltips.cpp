// SPDX-License-Identifier: GPL-3.0-or-later
#include "tooltips.h"

#include "calc/fields.h"

namespace pamerol::ui {

namespace {

using F = Field;

const QString kAmount = QStringLiteral("TL, 12.345,67 biçiminde");

QString ToQ(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString Described(F f) {
    switch (f) {
    case F::GTarih: return QStringLiteral("Personelin işe giriş tarihi: gün, ay, yıl (15.03.2004).");
    case F::CTarih: return QStringLiteral("Personelin işten çıkış tarihi: gün, ay, yıl (14.09.2007).");
    case F::DGUN:
        return QStringLiteral("Önceki işyerlerinden devreden prim günü, gün olarak (ör. 120). Her iki hesap "
                              "şeklinde hizmet süresine eklenir.");
    case F::TGUN:
        return QStringLiteral("Bu işyerinde çalıştığı toplam prim günü, gün olarak (ör. 1260). "
                              "\"Prim Gününe Göre\" hesapta kullanılır.");
    case F::GGUN: return QStringLiteral("Devreden prim günü ile çalıştığı günlerin toplamı; program yazar.");
    case F::DGVMAT:
        return QStringLiteral(
                   "Yıl başından bu yana birikmiş gelir vergisi matrahı, %1. Hesapta kullanılır ve kutuda "
                   "kalır; \"Boşalt\" sıfırlar.")
            .arg(kAmount);
    case F::ESUCRET: return QStringLiteral("En son aylık brüt ücret, %1.").arg(kAmount);
    case F::IUCRET: return QStringLiteral("Ücrete eklenen aylık ilave ödemeler, %1.").arg(kAmount);
    case F::TBRUT: return QStringLiteral("Brüt ücret ile ilave ücretin toplamı, TL; program yazar.");
    case F::YIUCRET:
        return QStringLiteral("Ödenecek yıllık izin ücreti, %1. Hesaba girmez, ibranamede yazılır.")
            .arg(kAmount);
    case F::TGUNU:
        return QStringLiteral(
            "Çalışılan takvim günü (giriş ile çıkış dahil) ve devreden gün; prim gününe göre "
            "hesapta prim günü.");
    case F::KYILI:
        return QStringLiteral("Tam hizmet yılı (girişin yıldönümlerine göre; prim gününde 360 gün).");
    case F::KAYI:
        return QStringLiteral("Yıllardan artan tam ay (aylık yıldönümlerine göre; prim gününde 30 gün).");
    case F::KGUNU: return QStringLiteral("Yıl ve aylardan artan gün.");
    case F::BKTAZ: return QStringLiteral("Tavanla sınırlı ücret üzerinden brüt kıdem tazminatı, TL.");
    case F::KGVER:
        return QStringLiteral(
            "Yasal tutarı (30 gün, yasal tavan) aşan kıdem tazminatının gelir vergisi, TL.");
    case F::DVER:
    case F::IDVER: return QStringLiteral("Damga vergisi, TL.");
    case F::NET: return QStringLiteral("Ödenecek kıdem tazminatı (brüt eksi vergiler), TL.");
    case F::TIGUNU: return QStringLiteral("İhbar süresine esas toplam gün.");
    case F::IAYI: return QStringLiteral("Hizmetin tam ayları (yıllar × 12 ve aylar).");
    case F::KIGUNU: return QStringLiteral("Tam aylardan artan gün.");
    case F::HIGUNU: return QStringLiteral("Hizmet süresine göre hak edilen ihbar günü.");
    case F::BITZM: return QStringLiteral("Brüt ihbar tazminatı (günlük ücret × ihbar günü), TL.");
    case F::IGVER: return QStringLiteral("İhbar tazminatının gelir vergisi, TL.");
    case F::ITAZM: return QStringLiteral("Ödenecek ihbar tazminatı (brüt eksi vergiler), TL.");
    case F::DVOR:
        return QStringLiteral("Damga vergisi oranı, binde: 7,59 yazılırsa tutarın binde 7,59'u. Bu kutudan "
                              "çıkılınca ayarlar kaydedilir.");
    case F::KGN:
        return QStringLiteral("Bir tam hizmet yılı için ödenen kıdem tazminatı, gün olarak (ör. 30).");
    case F::TAV:
        return QStringLiteral("Kıdem tazminatı tavanı: kıdemin hesaplandığı en yüksek aylık ücret, %1.")
            .arg(kAmount);
    case F::txtUnvani: return QStringLiteral("İşverenin adı soyadı veya ticaret unvanı.");
    case F::txtSSkNoIsv: return QStringLiteral("İşverenin SSK işyeri sicil numarası.");
    case F::txtAdresi: return QStringLiteral("İşverenin adresi.");
    case F::txtVergiDairesi: return QStringLiteral("İşverenin vergi dairesi.");
    case F::txtVergiNo: return QStringLiteral("İşverenin vergi numarası.");
    case F::txtIbraname: return QStringLiteral("İbranamenin metni; dökümde olduğu gibi yazılır.");
    case F::txtAdiSoyadi:
        return QStringLiteral(
            "Personelin adı soyadı. Dökümü yazdırılan (ya da \"Arşive Kaydet\" ile kaydedilen) her hesapla "
            "birlikte arşive, Pmrl.ini'nin yanındaki arsiv.db dosyasına (ya da [Arsiv] Yol= ile verilen "
            "dosyaya) kaydedilir ve \"Arşiv\" penceresinden silinene kadar orada kalır. \"Boşalt\" bu "
            "kutuyu silmez: yeni personelde değiştirin.");
    case F::txtAdres: return QStringLiteral("Personelin adresi.");
    case F::txtSSkNoPer: return QStringLiteral("Personelin SSK numarası.");
    case F::txtTcKNo: return QStringLiteral("Personelin T.C. kimlik numarası (11 rakam).");
    case F::txtOdemeTarihi:
        return QStringLiteral("Tazminatların personelin banka hesabına ödendiği gün (GG.AA.YYYY); ibraname "
                              "her tutarın bu gün ödendiğini yazar (TBK m. 420).");
    case F::txtBanka: return QStringLiteral("Ödemenin yapıldığı banka; ibranamede yazılır.");
    case F::txtIBAN:
        return QStringLiteral("Ödemenin yatırıldığı hesabın IBAN'ı: TR ve 24 rakam; kontrol rakamları "
                              "tutmazsa altında uyarı çıkar.");
    case F::txtEkOdemeler:
        return QStringLiteral("İbranamede ayrıca sayılacak ödemeler, her satıra bir tane: türü, iki nokta ve "
                              "net tutarı (Son ay ücreti: 12.345,67). İbraname yalnız yazılı olan "
                              "alacakları kapsar.");
    case F::txtIbranameTarihi:
        return QStringLiteral("İbranamenin tarihi; boş bırakılırsa yazdırıldığı gün, GG.AA.YYYY biçiminde. "
                              "Çıkıştan bir ay geçmeden düzenlenen ibraname kesin olarak hükümsüzdür "
                              "(TBK m. 420).");
    case F::SGKIO:
        return QStringLiteral(
            "Sigorta primi işçi payı, yüzde (5510 s. K. md. 81: %9 uzun vadeli, %5 genel sağlık); "
            "yalnız izin ücretinden kesilir.");
    case F::ISIO:
        return QStringLiteral(
            "İşsizlik sigortası primi işçi payı, yüzde (4447 s. K. md. 49); yalnız izin ücretinden "
            "kesilir.");
    case F::PEKUST:
        return QStringLiteral(
            "Prime esas kazancın aylık üst sınırı, TL (5510 s. K. md. 82); izin ücretinin SGK "
            "kesintisi bu sınırın ay içinde kalan kısmına kadar alınır.");
    case F::IZGUN:
        return QStringLiteral(
            "Kullanılmayan yıllık izin günleri (4857 s. K. md. 59); izin ücreti son brüt ücretten "
            "(ilave ücret hariç) hesaplanır.");
    case F::AYSGKMAT:
        return QStringLiteral(
            "Çıkış ayında SGK'ya bildirilen (ya da bildirilecek) prime esas kazanç, TL; izin "
            "ücretinin SGK kesintisi ayın tavanının kalanına göre alınır.");
    case F::IZBRUT:
        return QStringLiteral("İzin günleri × son brüt ücret ÷ 30, ya da yazılan izin ücreti, TL.");
    case F::IZSGK: return QStringLiteral("İzin ücretinden SGK ve işsizlik sigortası işçi payları, TL.");
    case F::IZGVER: return QStringLiteral("İzin ücretinin gelir vergisi, TL.");
    case F::IZDVER: return QStringLiteral("İzin ücretinin damga vergisi, TL.");
    case F::IZNET: return QStringLiteral("Ödenecek izin ücreti (brüt eksi kesintiler), TL.");
    case F::FESIH:
        return QStringLiteral("İş sözleşmesinin sona erme nedeni: kıdem ve ihbar tazminatının hak edilip "
                              "edilmediği buna göre belirlenir.");
    default: break;
    }
    // Notice bands by the service they cover ("6 aydan az", …, "36 ayı aşan").
    for (std::size_t b = 0; b < kNoticeBands.size(); ++b) {
        if (kNoticeBands[b].field != f) continue;
        const QString service = QString::fromUtf8(kNoticeBands[b].service.data(),
                                                  static_cast<qsizetype>(kNoticeBands[b].service.size()));
        return QStringLiteral("%1 hizmet için ihbar süresi, gün olarak (en çok %2 rakam).")
            .arg(service)
            .arg(Info(f).maxLength);
    }
    for (std::size_t row = 0; row < kBracketRows.size(); ++row) {
        if (kBracketRows[row].rate == f)
            return QStringLiteral("%1. gelir vergisi diliminin oranı, yüzde (ör. 15).").arg(row + 1);
        if (kBracketRows[row].limit == f)
            return QStringLiteral("%1. gelir vergisi diliminin üst sınırı: yıllık birikmiş matrah, %2.")
                .arg(row + 1)
                .arg(kAmount);
    }
    return {};
}

} // namespace

QString FieldTooltip(F f) {
    QString tip = Described(f);
    const FieldInfo& i = Info(f);
    if (!i.key.empty())
        tip += QStringLiteral("\nPmrl.ini dosyasında [%1] bölümünde %2 anahtarı olarak saklanır.")
                   .arg(ToQ(i.section), ToQ(i.key));
    return tip;
}

} // namespace pamerol::ui
