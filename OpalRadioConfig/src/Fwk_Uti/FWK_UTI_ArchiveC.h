#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace FWK::UTI {

// A minimal serialisation archive: a sequence of named groups, numbers and texts, written in
// order and read back in the same order. Writing beyond the capacity, and reading an item that
// is not the next one, throw ERR::OverflowExceptionC.
class ArchiveC {
public:
    explicit ArchiveC(size_t unCapacity = 1024) : m_unCapacity(unCapacity) {}

    void beginGroup(const std::string& rName);
    void endGroup();
    void writeNumber(const std::string& rName, int64_t llValue);
    // Writes exactly unUnits UTF-16 units (a fixed-size field), terminators included.
    void writeText(const std::string& rName, const char16_t* pszText, size_t unUnits);

    void readGroup(const std::string& rName);
    void readGroupEnd();
    int64_t readNumber(const std::string& rName);
    // Reads into a field of unUnits units; the last unit is always a terminator.
    void readText(const std::string& rName, char16_t* pszText, size_t unUnits);

    size_t itemCount() const { return m_items.size(); }
    void rewind() { m_unReadPos = 0; }

private:
    enum class KindT { GroupBegin, GroupEnd, Number, Text };
    struct ItemS {
        KindT kind;
        std::string name;
        int64_t llNumber = 0;
        std::u16string text;
    };

    void append(ItemS item);
    const ItemS& take(KindT kind, const std::string& rName);

    size_t m_unCapacity;
    size_t m_unReadPos = 0;
    std::vector<ItemS> m_items;
};

} // namespace FWK::UTI
