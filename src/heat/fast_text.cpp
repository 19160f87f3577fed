#include "heat/fast_text.h"

#include "storage/number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace cronovolta {

namespace {

// The seven significant digits of `a` into `mantissa`; returns its decimal exponent.
int significantDigits(double a, char (&mantissa)[7]) {
    char sci[32];
    auto res = std::to_chars(sci, sci + sizeof sci, a, std::chars_format::scientific, 6);
    // sci: d.dddddde[+-]xx
    mantissa[0] = sci[0];
    std::memcpy(mantissa + 1, sci + 2, 6);
    const char* e =
        static_cast<const char*>(std::memchr(sci, 'e', static_cast<std::size_t>(res.ptr - sci)));
    int exp10 = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), res.ptr, exp10);
    return exp10;
}

// The text of `n` digits whose last `decimals` follow the point: no leading zeros, and a
// minus only before a number that shows some digit other than zero.
std::string joinedDigits(const char* digits, int n, int decimals, bool negative) {
    int intLen = n - decimals;
    int first = 0;
    while (first < intLen && digits[first] == '0') {
        ++first;
    }
    bool nonZero = false;
    for (int i = 0; i < n; ++i) {
        nonZero = nonZero || (digits[i] >= '1' && digits[i] <= '9');
    }
    std::string out;
    out.reserve(static_cast<std::size_t>(n + 3));
    if (negative && nonZero) {
        out.push_back('-');
    }
    if (first == intLen) {
        out.push_back('0');
    } else {
        out.append(digits + first, static_cast<std::size_t>(intLen - first));
    }
    if (decimals > 0) {
        out.push_back('.');
        out.append(digits + intLen, static_cast<std::size_t>(decimals));
    }
    return out;
}

} // namespace

// Mirrors the rounding of the number formats: seven significant digits of the single, then
// half away from zero at the last decimal shown, judged on the first digit dropped.
std::string fixedSingleText(float value, int decimals) {
    if (!std::isfinite(value)) {
        value = 0.0f;
    }
    double a = std::fabs(static_cast<double>(value));
    if (a >= 1e9) { // only from a damaged file: the number formats bound its width
        return formatSingle(value, decimals == 4 ? "0.0000" : "0.00");
    }
    char mantissa[7];
    const int exp10 = significantDigits(a, mantissa);
    int intDigits = exp10 + 1;
    int keep = intDigits + decimals;
    char digits[64];
    int n = 0;
    if (keep < 0) {
        digits[n++] = '0';
        for (int i = 0; i < decimals; ++i) {
            digits[n++] = '0';
        }
        intDigits = 1;
    } else {
        if (keep > 40) {
            return formatSingle(value, decimals == 4 ? "0.0000" : "0.00");
        }
        bool roundUp = keep < 7 && mantissa[keep] >= '5';
        for (int i = 0; i < keep; ++i) {
            digits[n++] = i < 7 ? mantissa[i] : '0';
        }
        if (roundUp) {
            int i = n - 1;
            while (i >= 0 && digits[i] == '9') {
                digits[i--] = '0';
            }
            if (i < 0) {
                std::memmove(digits + 1, digits, static_cast<std::size_t>(n));
                digits[0] = '1';
                ++n;
                ++intDigits;
            } else {
                ++digits[i];
            }
        }
        if (intDigits <= 0) {
            int pad = 1 - intDigits;
            std::memmove(digits + pad, digits, static_cast<std::size_t>(n));
            std::memset(digits, '0', static_cast<std::size_t>(pad));
            n += pad;
            intDigits = 1;
        }
        if (n == 0) {
            digits[n++] = '0';
        }
    }
    return joinedDigits(digits, n, decimals, value < 0.0f);
}

std::string singleText(float value) {
    if (!std::isfinite(value)) {
        return singleToText(value);
    }
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value),
                             std::chars_format::general, 7);
    std::string s(buf, res.ptr);
    if (s.find('e') != std::string::npos) {
        return singleToText(value);
    }
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') {
            s.pop_back();
        }
        if (s.back() == '.') {
            s.pop_back();
        }
    }
    return s == "-0" ? "0" : s;
}

} // namespace cronovolta
