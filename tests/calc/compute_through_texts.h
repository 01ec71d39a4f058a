// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation through the sheet's texts, as it was before it worked in numbers alone.
#pragma once

#include "calc/compute.h"

namespace pamerol::through_texts {

Expected<Result> Compute(const CaseInput& in, const LegalFigures& law);

} // namespace pamerol::through_texts
