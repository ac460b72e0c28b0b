#pragma once

#include "ORC_CFG_ResponseParamI.h"

#include <utility>

namespace ORC::CFG {

// A parameter that keeps one parsed value. It stays invalid, holding its start value, until an
// answer gave it a text.
template <typename T> class ResponseParamT : public ResponseParamI {
public:
    explicit ResponseParamT(T initial = T()) : m_value(std::move(initial)) {}

    bool isValid() const { return m_bValid; }
    const T& getValue() const { return m_value; }

protected:
    void setValue(T value) {
        m_value = std::move(value);
        m_bValid = true;
    }

private:
    bool m_bValid = false;
    T m_value;
};

} // namespace ORC::CFG
