// SPDX-License-Identifier: GPL-3.0-or-later
#include "turkce.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace pamerol::ui {

bool InstallTurkishTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_tr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace pamerol::ui
