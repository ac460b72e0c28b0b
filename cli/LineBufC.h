#pragma once

#include <functional>
#include <streambuf>
#include <string>

// A stream buffer that hands every complete line written to it on, without its line end, so
// that lines of several writers can be told apart. What is left without a line end when it
// goes away is handed on as a line of its own.
class LineBufC : public std::streambuf {
public:
    using LineT = std::function<void(const std::string& line)>;

    explicit LineBufC(LineT onLine) : onLine_(std::move(onLine)) {}
    ~LineBufC() override;

    LineBufC(const LineBufC&) = delete;
    LineBufC& operator=(const LineBufC&) = delete;

protected:
    int_type overflow(int_type c) override;

private:
    LineT onLine_;
    std::string line_;
};
