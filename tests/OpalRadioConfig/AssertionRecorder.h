#pragma once

#include "Fwk_Err/FWK_ERR_PanicHandlerRegistryC.h"

#include <mutex>
#include <string>
#include <vector>

// Registers itself as the process's panic handler for one scope and records the assertion
// expressions reported meanwhile, and where they were reported ("module(line)").
class AssertionRecorder : public ERR::SysPanicHandlerI {
public:
    AssertionRecorder() { ERR::PanicHandlerRegistryC::instance()->registerHandler(this); }
    ~AssertionRecorder() override {
        ERR::PanicHandlerRegistryC::instance()->unregisterHandler(this);
    }

    void panic(const char*, long, unsigned long, unsigned long, const char*, int) override {}
    void assertion(const char* pszExpression, unsigned long, unsigned long, const char* pszFile,
                   int iLine) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_expressions.emplace_back(pszExpression);
        m_sites.push_back(std::string(pszFile) + "(" + std::to_string(iLine) + ")");
    }

    std::vector<std::string> expressions() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_expressions;
    }

    std::vector<std::string> sites() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_sites;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_expressions;
    std::vector<std::string> m_sites;
};
