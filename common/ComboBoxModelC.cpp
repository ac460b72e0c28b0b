#include "common/ComboBoxModelC.h"

#include <algorithm>
#include <cctype>

namespace {

bool StartsWithIgnoringCase(const std::string& entry, const std::string& prefix) {
    if (prefix.size() > entry.size()) {
        return false;
    }
    return std::equal(prefix.begin(), prefix.end(), entry.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

} // namespace

void ComboBoxModelC::SetEntries(std::vector<std::string> entries) {
    entries_ = std::move(entries);
    Select(-1);
}

bool ComboBoxModelC::SetEntriesKeepingChoice(std::vector<std::string> entries) {
    const std::string chosen = Text();
    const bool typed = Typed();
    SetEntries(std::move(entries));
    if (!typed && Find(chosen) < 0) {
        return false;
    }
    SetText(chosen);
    return true;
}

bool ComboBoxModelC::SetEntriesRememberingChoice(std::vector<std::string> entries) {
    const std::string chosen = Text();
    const bool typedByUser = Typed() && !missing_;
    SetEntries(std::move(entries));
    if (chosen.empty()) {
        return false;
    }
    SetText(chosen);
    // An entry that left the list is a device unplugged for a moment, not a new wish of the
    // user: it stays the choice, and is chosen again when it comes back.
    missing_ = Typed() && !typedByUser;
    return true;
}

void ComboBoxModelC::SetMissingText(const std::string& text) {
    SetText(text);
    missing_ = Typed();
}

void ComboBoxModelC::Clear() {
    SetEntries({});
}

void ComboBoxModelC::Select(int index) {
    selected_ = index >= 0 && index < Count() ? index : -1;
    typed_.clear();
    missing_ = false;
}

std::string ComboBoxModelC::SelectedText() const {
    return selected_ >= 0 ? entries_[static_cast<size_t>(selected_)] : std::string();
}

bool ComboBoxModelC::SelectPrefix(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    for (int i = 0; i < Count(); ++i) {
        if (StartsWithIgnoringCase(entries_[static_cast<size_t>(i)], text)) {
            Select(i);
            return true;
        }
    }
    Select(-1);
    return false;
}

void ComboBoxModelC::SelectPrefixOrKeep(const std::string& text) {
    const std::string kept = Text();
    if (!SelectPrefix(text)) {
        SetText(kept);
    }
}

int ComboBoxModelC::Find(const std::string& text) const {
    auto found = std::find(entries_.begin(), entries_.end(), text);
    return found == entries_.end() ? -1 : static_cast<int>(found - entries_.begin());
}

void ComboBoxModelC::SetText(const std::string& text) {
    // Taking the shown text back from the box is no new choice: a missing port stays missing.
    if (Typed() && text == typed_) {
        return;
    }
    Select(Find(text));
    if (selected_ < 0) {
        typed_ = text;
    }
}

std::string ComboBoxModelC::Text() const {
    return selected_ >= 0 ? SelectedText() : typed_;
}
