// SPDX-License-Identifier: GPL-3.0-or-later
// The one way an operation below the window reports that it could not be done: a result or a Problem,
// which names the figure at fault by its caption, quotes its text and says why, in the clerk's words.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace pamerol {

struct Problem {
    std::string caption; // the figure or thing at fault as the clerk knows it; empty when none is
    std::string text;    // its text as typed, quoted in the message
    std::string message; // the whole sentence for the clerk (Turkish)
};

// Either a value or the Problem that kept it from being made.
template <class T> class Expected {
  public:
    Expected(T value) : v_(std::in_place_index<0>, std::move(value)) {}
    Expected(Problem p) : v_(std::in_place_index<1>, std::move(p)) {}

    bool has_value() const { return v_.index() == 0; }
    explicit operator bool() const { return has_value(); }
    T& operator*() { return std::get<0>(v_); }
    const T& operator*() const { return std::get<0>(v_); }
    T* operator->() { return &std::get<0>(v_); }
    const T* operator->() const { return &std::get<0>(v_); }
    const Problem& error() const { return std::get<1>(v_); }

  private:
    std::variant<T, Problem> v_;
};

} // namespace pamerol
