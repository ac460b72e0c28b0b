#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace oryx::sim {

// One parameter of a set command as it stood on the line: the text between the commas,
// without its double quotes when it was quoted.
struct ModuleParam {
    std::string text;
    bool quoted = false;

    bool operator==(const ModuleParam&) const = default;
};

// A command line as the radio module reads it, without its CR:
//   "AT", "AT&F", "ATP", ...  plain  (the word is the whole line)
//   "AT*" word "?"            query
//   "AT*" word "=" params     set    (params separated by commas, texts in double quotes)
//   "AT*" word                action
// Words are upper-case letters and digits. A quoted parameter runs to the next double quote
// and must be followed by a comma or the end; an unquoted one may not hold a double quote.
class ModuleCommand {
public:
    enum class Form { Empty, Plain, Query, Set, Action, Invalid };

    static ModuleCommand parse(std::string_view line);

    Form form() const { return m_form; }
    const std::string& word() const { return m_word; }
    const std::vector<ModuleParam>& params() const { return m_params; }

private:
    static bool parseParams(std::string_view text, std::vector<ModuleParam>& params);

    Form m_form = Form::Invalid;
    std::string m_word;
    std::vector<ModuleParam> m_params;
};

} // namespace oryx::sim
