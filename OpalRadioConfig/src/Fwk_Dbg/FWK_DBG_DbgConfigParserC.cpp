#include "Fwk_Dbg/FWK_DBG_DbgConfigParserC.h"

#include "FWK_DBG_DbgLevel.h"
#include "Fwk_Dbg/FWK_DBG_DbgLogMgrC.h"
#include "Fwk_Err/FWK_ERR_Report.h"
#include "Fwk_Hal/FWK_HAL_PathMapC.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>

namespace FWK::DBG {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool endsToken(char c) {
    return c == '\0' || isBlank(c) || c == '\r' || c == '\n';
}

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Walks one line token by token.
class LineCursorC {
public:
    explicit LineCursorC(const char* pszLine) : m_p(pszLine) {}

    void skipBlanks() {
        while (isBlank(*m_p)) {
            ++m_p;
        }
    }
    bool atLineEnd() const { return *m_p == '\0' || *m_p == '\r' || *m_p == '\n'; }
    // The next token after blanks; empty at the line end.
    std::string nextToken() {
        skipBlanks();
        const char* pStart = m_p;
        while (!endsToken(*m_p)) {
            ++m_p;
        }
        return std::string(pStart, m_p);
    }
    bool peekIsQuote() {
        skipBlanks();
        return *m_p == '"';
    }
    // A quoted name; nothing when the quote is never closed. Text glued to the closing quote
    // is skipped.
    std::optional<std::string> quotedToken() {
        const char* pStart = m_p + 1;
        const char* pEnd = std::strchr(pStart, '"');
        if (pEnd == nullptr) {
            return std::nullopt;
        }
        m_p = pEnd + 1;
        while (!endsToken(*m_p)) {
            ++m_p;
        }
        return std::string(pStart, pEnd);
    }

    // A consumer name: quoted (an unclosed or empty quote gives nothing) or a plain token.
    std::optional<std::string> consumerName() {
        if (!peekIsQuote()) {
            return nextToken();
        }
        std::optional<std::string> quoted = quotedToken();
        if (!quoted || quoted->empty()) {
            return std::nullopt;
        }
        return quoted;
    }

private:
    const char* m_p;
};

std::optional<int32_t> levelOf(const std::string& strToken) {
    static const struct {
        const char* pszName;
        int32_t lLevel;
    } s_levels[] = {{"FATAL", DBG_FATAL}, {"ERROR", DBG_ERROR},   {"WARN", DBG_WARN},
                    {"INFO", DBG_INFO},   {"FINEST", DBG_FINEST}, {"FINER", DBG_FINER},
                    {"FINE", DBG_FINE},   {"ALL", DBG_ALL}};
    for (const auto& level : s_levels) {
        if (strToken.compare(0, std::strlen(level.pszName), level.pszName) == 0) {
            return level.lLevel;
        }
    }
    return std::nullopt;
}

// Leading decimal digits, saturated rather than overflowing.
long leadingNumber(const std::string& strToken) {
    long lValue = 0;
    for (char c : strToken) {
        if (!isDigit(c)) {
            break;
        }
        lValue = lValue > (LONG_MAX - 9) / 10 ? LONG_MAX : lValue * 10 + (c - '0');
    }
    return lValue;
}

bool isComment(const char* pszLine) {
    return pszLine[0] == '\0' || std::strchr("#;/\r\n\t ", pszLine[0]) != nullptr;
}

// "LOG" plus a blank, or "LOGT"/"LOGS" plus a blank; returns the header type.
std::optional<int32_t> keywordHeaderType(const char* pszLine) {
    if (std::strncmp(pszLine, "LOG", 3) != 0) {
        return std::nullopt;
    }
    if (isBlank(pszLine[3])) {
        return HEADER_NONE;
    }
    const int32_t lHeaderType = pszLine[3] == 'T'   ? HEADER_FULL
                                : pszLine[3] == 'S' ? HEADER_MILLISECONDS
                                                    : -1;
    if (lHeaderType < 0 || !isBlank(pszLine[4])) {
        return std::nullopt;
    }
    return lHeaderType;
}

// Reads what is left of a line that filled the buffer, up to and including its line feed.
// Returns true when that was more than a line end, i.e. the line did not fit.
bool dropRestOfLine(FILE* pFile) {
    bool bDropped = false;
    for (int c = std::fgetc(pFile); c != EOF && c != '\n'; c = std::fgetc(pFile)) {
        bDropped |= c != '\r';
    }
    return bDropped;
}

// Reads the next line into the buffer. A line that does not fit is read to its end and
// reported: its head alone could be a truncated rule, its tail must not become one.
bool readLine(FILE* pFile, char (&szLine)[DbgConfigParserC::LINE_BUFFER_LEN], bool& rbFits) {
    if (std::fgets(szLine, sizeof szLine, pFile) == nullptr) {
        return false;
    }
    const size_t length = std::strlen(szLine);
    rbFits = length < sizeof szLine - 1 || szLine[length - 1] == '\n' || !dropRestOfLine(pFile);
    if (!rbFits) {
        FWK_ASSERT(!"debug configuration line longer than 255 characters ignored");
    }
    return true;
}

} // namespace

std::optional<DbgRuleS> DbgConfigParserC::parseLine(const char* pszLine) {
    if (pszLine == nullptr || isComment(pszLine)) {
        return std::nullopt;
    }
    const std::optional<int32_t> headerType = keywordHeaderType(pszLine);
    if (!headerType) {
        return std::nullopt;
    }
    DbgRuleS rule;
    rule.lHeaderType = *headerType;
    LineCursorC cursor(pszLine + (*headerType == HEADER_NONE ? 3 : 4));
    rule.strKey = cursor.nextToken();
    cursor.skipBlanks();
    if (rule.strKey.empty() || cursor.atLineEnd()) {
        return std::nullopt;
    }

    std::optional<std::string> consumer;
    if (cursor.peekIsQuote()) {
        consumer = cursor.consumerName();
    } else {
        const std::string strToken = cursor.nextToken();
        if (const std::optional<int32_t> level = levelOf(strToken)) {
            rule.lLevel = *level;
            cursor.skipBlanks();
            if (cursor.atLineEnd()) {
                return std::nullopt;
            }
            consumer = cursor.consumerName();
        } else {
            consumer = strToken;
        }
    }
    if (!consumer) {
        return std::nullopt;
    }
    rule.strConsumer = *consumer;

    const std::string strFirst = cursor.nextToken();
    if (!strFirst.empty()) {
        if (!isDigit(strFirst[0])) {
            return std::nullopt;
        }
        rule.lFirstNumber = leadingNumber(strFirst);
        const std::string strSecond = cursor.nextToken();
        if (!strSecond.empty()) {
            rule.lSecondNumber = leadingNumber(strSecond);
        }
    }
    return rule;
}

void DbgConfigParserC::readFile(const char* pszFileName) {
    const std::string strPath =
        pszFileName != nullptr ? std::string(pszFileName) : HAL::PathMapC::getDebugConfigFile();
    FILE* pFile = std::fopen(strPath.c_str(), "r");
    if (pFile == nullptr) {
        return;
    }
    DbgLogMgrC* pManager = DbgLogMgrC::instance();
    char szLine[LINE_BUFFER_LEN];
    bool bFits = true;
    while (pManager != nullptr && readLine(pFile, szLine, bFits)) {
        if (!bFits) {
            continue;
        }
        if (const std::optional<DbgRuleS> rule = parseLine(szLine)) {
            pManager->configure(rule->strKey.c_str(), rule->lLevel, rule->strConsumer.c_str(),
                                rule->lFirstNumber, rule->lSecondNumber, 0, rule->lHeaderType);
        }
    }
    std::fclose(pFile);
}

} // namespace FWK::DBG
