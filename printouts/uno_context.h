// SPDX-License-Identifier: GPL-3.0-or-later
// The process's one local UNO context, from which every connection to an office is made.
#pragma once

#include <com/sun/star/uno/XComponentContext.hpp>

namespace pamerol {

// Bootstrapped once from the office's own program folder; throws when its libraries cannot be loaded.
com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> UnoLocalContext();

} // namespace pamerol
