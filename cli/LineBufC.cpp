#include "cli/LineBufC.h"

LineBufC::~LineBufC() {
    if (!line_.empty()) {
        onLine_(line_);
    }
}

LineBufC::int_type LineBufC::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
        return traits_type::not_eof(c);
    }
    const char ch = traits_type::to_char_type(c);
    if (ch == '\n') {
        onLine_(line_);
        line_.clear();
    } else if (ch != '\r') {
        line_ += ch;
    }
    return c;
}
