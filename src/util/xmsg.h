#pragma once
// The message exception: every error text of the program travels in one of
// these, and whoever started the operation shows the text to the user.

#include <exception>
#include <string>
#include <utility>

class xmsg : public std::exception {
public:
    explicit xmsg(std::string text) : Text(std::move(text)) {}
    const char* what() const noexcept override { return Text.c_str(); }
    const std::string& why() const noexcept { return Text; }

private:
    std::string Text;
};
