#pragma once

#include "Fwk_Err/FWK_ERR_PanicHandlerRegistryC.h"

#include <mutex>
#include <string>
#include <vector>

// Registers itself as the process's panic handler for one scope and records the assertion
// expressions reported meanwhile.
class AssertionRecorder : public ERR::SysPanicHandlerI {
public:
    AssertionRecorder() { ERR::PanicHandlerRegistryC::instance()->registerHandler(this); }
    ~AssertionRecorder() override {
        ERR::PanicHandlerRegistryC::instance()->unregisterHandler(this);
    }

    void panic(const char*, long, unsigned long, unsigned long, const char*, int) override {}
    void assertion(const char* pszExpression, unsigned long, unsigned long, const char*,
                   int) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_expressions.emplace_back(pszExpression);
    }

    std::vector<std::string> expressions() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_expressions;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_expressions;
};
