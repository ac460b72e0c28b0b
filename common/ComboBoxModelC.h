#pragma once

#include <string>
#include <vector>

// The state of an unsorted drop-down list: its entries, the selected index (-1 for none)
// and whether it is enabled. Views mirror it; the protocol core reads and changes it.
class ComboBoxModelC {
public:
    void SetEntries(std::vector<std::string> entries);
    void Clear();
    const std::vector<std::string>& Entries() const { return entries_; }
    int Count() const { return static_cast<int>(entries_.size()); }

    int Selected() const { return selected_; }
    // Selects index, or nothing when index is out of range.
    void Select(int index);
    // The text of the selected entry, empty when nothing is selected.
    std::string SelectedText() const;
    // Selects the first entry that begins with text, ignoring case; returns false and keeps
    // the selection when the text is empty, and selects nothing when no entry matches.
    bool SelectPrefix(const std::string& text);
    int Find(const std::string& text) const;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

private:
    std::vector<std::string> entries_;
    int selected_ = -1;
    bool enabled_ = true;
};
