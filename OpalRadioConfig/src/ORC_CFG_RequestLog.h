#pragma once

#include "FWK_DBG_PerformanceLoggableC.h"

#include <cstddef>
#include <string>

namespace ORC::CFG {

// The logger that requests and their response processing trace on.
FWK::DBG::PerformanceLoggableC& requestLoggable();

// Reports a failed expectation of the request module through the assertion facility.
void reportRequestAssertion(const char* pszExpression, int iLine);

// The text with every CR shown as "<CR>" and every LF as "<LF>", so that a dump of an answer
// stays on one line and shows where the line ends were.
std::string shownLineEnds(const char* pszText, size_t unLength);
std::string shownLineEnds(const char* pszText);

} // namespace ORC::CFG
