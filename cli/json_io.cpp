// SPDX-License-Identifier: GPL-3.0-or-later
#include "json_io.h"

#include <algorithm>

namespace pamerol {

std::string AciklamaJson(const Aciklama& aciklama) {
    std::string out;
    for (const AciklamaSatiri& s : aciklama) {
        JsonWriter json(out);
        json.beginObject().key("baslik").text(s.baslik).key("degerler").beginObject();
        // An object has one member of a name: a name given twice keeps its first place and its last text.
        const auto& d = s.degerler;
        for (auto it = d.begin(); it != d.end(); ++it) {
            const auto same = [&](const auto& other) { return other.first == it->first; };
            if (std::find_if(d.begin(), it, same) != it) continue;
            json.key(it->first).text(std::find_if(d.rbegin(), d.rend(), same)->second);
        }
        json.endObject().key("sonuc").text(s.sonuc);
        if (!s.dayanak.empty()) json.key("dayanak").text(s.dayanak);
        json.endObject();
        out += '\n';
    }
    return out;
}

} // namespace pamerol
