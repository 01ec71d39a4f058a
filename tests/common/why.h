// SPDX-License-Identifier: GPL-3.0-or-later
// The message of an operation's Problem, for a test to compare or to print beside a failed expectation.
#pragma once

#include <string>

#include "base/problem.h"

namespace pamerol::testing {

// The Problem's message, or nothing when the operation succeeded.
template <class T> std::string Why(const Expected<T>& e) {
    return e ? std::string() : e.error().message;
}

} // namespace pamerol::testing
