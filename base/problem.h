// SPDX-License-Identifier: GPL-3.0-or-later
// The one way an operation below the window reports that it could not be done: a result or a Problem,
// which names the figure at fault by its caption, quotes its text and says why, in the clerk's words.
//
//   Expected<T>     an operation that makes a T: the T, or the Problem that kept it from being made.
//   Expected<void>  an operation that makes nothing (a file written, a case deleted): done (the default),
//                   or the Problem that kept it from being done.
//
// Both test true when the operation succeeded; error() is the Problem when it did not. The message is the
// whole sentence the window shows or the companion prints (after its "pamerol-hesap: "), so a caller
// passes it on as it is; only a helper whose failure is one clause of its caller's sentence (why a file
// could not be written: "disk dolu") says so, and gives that clause. A Problem about a file, an archive or a
// table rather than a figure of the sheet has no caption and no text: Failure(message) makes one.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace pamerol {

struct Problem {
    std::string caption; // the figure or thing at fault as the clerk knows it; empty when none is
    std::string text;    // its text as typed, quoted in the message
    std::string message; // the whole sentence for the clerk (Turkish)
};

// A Problem that is only its sentence: no figure of the sheet is at fault.
inline Problem Failure(std::string message) {
    return Problem{"", "", std::move(message)};
}

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
    // The value; throws std::bad_variant_access when there is none (for the tests and the benchmarks).
    T& value() { return std::get<0>(v_); }
    const T& value() const { return std::get<0>(v_); }
    const Problem& error() const { return std::get<1>(v_); }

  private:
    std::variant<T, Problem> v_;
};

// Done, or the Problem that kept it from being done.
template <> class Expected<void> {
  public:
    Expected() = default;
    Expected(Problem p) : problem_(std::move(p)) {}

    bool has_value() const { return !problem_; }
    explicit operator bool() const { return has_value(); }
    const Problem& error() const { return *problem_; }

  private:
    std::optional<Problem> problem_;
};

} // namespace pamerol
