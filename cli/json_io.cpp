// SPDX-License-Identifier: GPL-3.0-or-later
#include "json_io.h"

#include <mutex>

namespace pamerol {

std::string JsonString(std::string_view text) {
    bool plain = true;
    for (unsigned char c : text)
        if (c < 0x20 || c >= 0x7f || c == '"' || c == '\\') plain = false;
    if (plain) return '"' + std::string(text) + '"';
    // The library's writer for everything else (escapes, UTF-8 checks), one call at a time as the batch's
    // workers share it.
    static std::mutex library;
    std::lock_guard<std::mutex> lock(library);
    return Json(std::string(text)).dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string AciklamaJson(const Aciklama& aciklama) {
    std::string out;
    for (const AciklamaSatiri& s : aciklama) {
        Json degerler = Json::object();
        for (const auto& [ad, metin] : s.degerler) degerler[ad] = metin;
        const Json line{{"baslik", s.baslik}, {"degerler", std::move(degerler)}, {"sonuc", s.sonuc}};
        out += line.dump(-1, ' ', false, Json::error_handler_t::replace);
        out += '\n';
    }
    return out;
}

} // namespace pamerol
