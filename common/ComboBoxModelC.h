#pragma once

#include <string>
#include <vector>

// The state of an unsorted drop-down list: its entries, the selected index (-1 for none)
// and whether it is enabled; for a box the user may also type in, the text typed while no
// entry is selected. Views mirror it; the protocol core reads and changes it.
class ComboBoxModelC {
public:
    // New entries select nothing and drop a typed text.
    void SetEntries(std::vector<std::string> entries);
    // New entries that keep the choice: a typed text stays, the chosen entry stays chosen while
    // it is among them. False, with nothing selected, when there is no choice to keep.
    bool SetEntriesKeepingChoice(std::vector<std::string> entries);
    // As SetEntriesKeepingChoice, but a chosen entry that is not among them stays the box's
    // text, marked Missing, and is selected again by the first entries that hold it: a port
    // box's port unplugged for a moment. False only when nothing was chosen.
    bool SetEntriesRememberingChoice(std::vector<std::string> entries);
    void Clear();
    const std::vector<std::string>& Entries() const { return entries_; }
    int Count() const { return static_cast<int>(entries_.size()); }

    int Selected() const { return selected_; }
    // Selects index, or nothing when index is out of range; either drops a typed text.
    void Select(int index);
    // The text of the selected entry, empty when nothing is selected.
    std::string SelectedText() const;
    // Selects the first entry that begins with text, ignoring case; returns false and keeps
    // the selection when the text is empty, and selects nothing when no entry matches.
    bool SelectPrefix(const std::string& text);
    // As SelectPrefix, but without a matching entry the box keeps what it showed (its
    // selection or its typed text).
    void SelectPrefixOrKeep(const std::string& text);
    int Find(const std::string& text) const;

    // What the box shows as typed: the entry equal to text is selected, otherwise nothing is
    // and the text itself is the box's text.
    void SetText(const std::string& text);
    // The selected entry's text, else the typed text.
    std::string Text() const;
    // True when the box holds a text that is none of its entries.
    bool Typed() const { return selected_ < 0 && !typed_.empty(); }
    // As SetText, but a text that is none of the entries is marked Missing: the user chose it
    // once (or it was stored), and the entry it was is gone for now.
    void SetMissingText(const std::string& text);
    // True while the box's text is a choice whose entry is not listed; the user's typing
    // or choosing ends it.
    bool Missing() const { return missing_; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

private:
    std::vector<std::string> entries_;
    int selected_ = -1;
    std::string typed_;
    bool missing_ = false;
    bool enabled_ = true;
};
