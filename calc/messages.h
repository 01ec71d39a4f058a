// SPDX-License-Identifier: GPL-3.0-or-later
// Where the calculation's messages go: the window shows a modal box, tests and the companion record them.
#pragma once

#include <string>
#include <vector>

namespace pamerol {

enum class MessageIcon { None, Information, Warning };

class Messages {
  public:
    virtual ~Messages() = default;
    virtual void show(const std::string& text, MessageIcon icon) = 0;
};

// Keeps every message in the order shown.
class RecordedMessages : public Messages {
  public:
    struct Entry {
        std::string text;
        MessageIcon icon;
    };
    void show(const std::string& text, MessageIcon icon) override { entries.push_back({text, icon}); }
    std::vector<Entry> entries;
};

} // namespace pamerol
