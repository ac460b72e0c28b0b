#include "Fwk_Uti/FWK_UTI_ArchiveC.h"

#include "Fwk_Err/FWK_ERR_OverflowExceptionC.h"

#include <algorithm>

namespace FWK::UTI {

void ArchiveC::append(ItemS item) {
    if (m_items.size() >= m_unCapacity) {
        throw ERR::OverflowExceptionC();
    }
    m_items.push_back(std::move(item));
}

const ArchiveC::ItemS& ArchiveC::take(KindT kind, const std::string& rName) {
    if (m_unReadPos >= m_items.size() || m_items[m_unReadPos].kind != kind ||
        m_items[m_unReadPos].name != rName) {
        throw ERR::OverflowExceptionC();
    }
    return m_items[m_unReadPos++];
}

void ArchiveC::beginGroup(const std::string& rName) {
    append({KindT::GroupBegin, rName, 0, {}});
}

void ArchiveC::endGroup() {
    append({KindT::GroupEnd, {}, 0, {}});
}

void ArchiveC::writeNumber(const std::string& rName, int64_t llValue) {
    append({KindT::Number, rName, llValue, {}});
}

void ArchiveC::writeText(const std::string& rName, const char16_t* pszText, size_t unUnits) {
    append({KindT::Text, rName, 0, std::u16string(pszText, unUnits)});
}

void ArchiveC::readGroup(const std::string& rName) {
    take(KindT::GroupBegin, rName);
}

void ArchiveC::readGroupEnd() {
    take(KindT::GroupEnd, {});
}

int64_t ArchiveC::readNumber(const std::string& rName) {
    return take(KindT::Number, rName).llNumber;
}

void ArchiveC::readText(const std::string& rName, char16_t* pszText, size_t unUnits) {
    const ItemS& rItem = take(KindT::Text, rName);
    if (unUnits == 0) {
        return;
    }
    const size_t unCopied = std::min(rItem.text.size(), unUnits - 1);
    std::copy_n(rItem.text.data(), unCopied, pszText);
    std::fill(pszText + unCopied, pszText + unUnits, u'\0');
}

} // namespace FWK::UTI
