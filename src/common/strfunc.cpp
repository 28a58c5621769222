#include "strfunc.h"

#include "errhndlr.h"

namespace Strfunc {

namespace {

// Notation of a code below 128.
void appendLow(std::string &out, unsigned char c) {
    if (c == 30) {
        out += "^~";
    } else if (c < 32) {
        out += '^';
        out += static_cast<char>(c + 64);
    } else if (c == '\\') {
        out += "\\\\";
    } else if (c == '^') {
        out += "^^";
    } else if (c == 127) {
        out += "^?";
    } else {
        out += static_cast<char>(c);
    }
}

void appendNotation(std::string &out, unsigned char c) {
    if (c < 128) {
        appendLow(out, c);
    } else if (c == 220) {
        out += "\\^<";
    } else if (c == 222) {
        out += "\\^>";
    } else {
        out += '\\';
        appendLow(out, static_cast<unsigned char>(c - 128));
    }
}

// 1-based position of delimiter in text at or after start; 0 when absent.
std::size_t instr(std::size_t start, std::string_view text, std::string_view delimiter) {
    if (start < 1 || start > text.size() + 1) {
        return 0;
    }
    const std::size_t found = text.find(delimiter, start - 1);
    return found == std::string_view::npos ? 0 : found + 1;
}

} // namespace

std::string CtrlToArrow(std::string_view text) {
    std::string result;
    zelp::Guarded guard("strfunc", "CtrlToArrow");
    guard.step([&] {
        result.reserve(text.size() * 2);
        for (const char ch : text) {
            appendNotation(result, static_cast<unsigned char>(ch));
        }
        if (!text.empty() && text.back() == ' ') {
            result += '^';
        }
    });
    return result;
}

int Dcount(std::string_view text, std::string_view delimiter) {
    zelp::Guarded guard("strfunc", "Dcount");
    return guard.value(
        [&] {
            if (text.empty()) {
                return 0;
            }
            if (delimiter.empty()) {
                return 1; // an empty delimiter never separates anything
            }
            int count = 1;
            std::size_t pos = 1;
            while (std::size_t p = instr(pos, text, delimiter)) {
                ++count;
                pos = p + 1;
            }
            return count;
        },
        0);
}

std::string Field(std::string_view text, std::string_view delimiter, int n) {
    zelp::Guarded guard("strfunc", "Field");
    return guard.value(
        [&]() -> std::string {
            if (n == 0) {
                return std::string(text);
            }
            if (n < 0) {
                return {};
            }
            if (delimiter.empty()) {
                return n == 1 ? std::string(text) : std::string();
            }
            const auto len = static_cast<long long>(delimiter.size());
            long long prevEnd = 1 - len;
            long long start = 1;
            long long end = 0;
            for (int i = 1; i <= n; ++i) {
                start = prevEnd + len;
                const std::size_t found = instr(static_cast<std::size_t>(start), text, delimiter);
                if (found == 0) {
                    if (i < n) {
                        return {};
                    }
                    end = static_cast<long long>(text.size()) + 1;
                } else {
                    end = static_cast<long long>(found);
                }
                prevEnd = end;
            }
            if (start > static_cast<long long>(text.size())) {
                return {};
            }
            return std::string(text.substr(static_cast<std::size_t>(start - 1),
                                           static_cast<std::size_t>(end - start)));
        },
        std::string());
}

} // namespace Strfunc
