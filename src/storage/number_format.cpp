#include "storage/number_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace cronovolta {
namespace {

struct Token {
    char ch;
    bool literal;
};

std::vector<std::vector<Token>> splitSections(std::string_view pattern) {
    std::vector<std::vector<Token>> sections(1);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '\\') {
            if (i + 1 < pattern.size()) {
                sections.back().push_back({pattern[++i], true});
            }
        } else if (c == ';') {
            sections.emplace_back();
        } else {
            sections.back().push_back({c, false});
        }
    }
    return sections;
}

// Nothing a heat produces comes near a billion; a larger value comes from a damaged file
// and prints as the nines of this width instead of up to 39 digits.
constexpr double kLargestShown = 1e9;
constexpr std::string_view kNines = "999999999";

// Decimal digits of |value| rounded half away from zero to `decimals` places, computed
// on the decimal text of the value with `significant` digits so that binary noise
// (2.675 stored as 2.67499...) does not decide the rounding.
std::string roundedDigits(double value, int decimals, int significant) {
    if (std::fabs(value) >= kLargestShown) {
        return std::string(kNines) + std::string(static_cast<std::size_t>(decimals), '9');
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, std::fabs(value));
    // buf: d.ddddde[+-]xx
    std::string mantissa;
    int exp10 = 0;
    {
        std::string s(buf);
        auto e = s.find('e');
        exp10 = std::stoi(s.substr(e + 1));
        for (std::size_t i = 0; i < e; ++i) {
            if (s[i] != '.') {
                mantissa.push_back(s[i]);
            }
        }
    }
    // value = 0.mant * 10^(exp10 + 1); digits before the point: exp10 + 1.
    int intDigits = exp10 + 1;
    int keep = intDigits + decimals; // number of mantissa digits kept
    if (keep < 0) {
        return std::string(1, '0') + std::string(static_cast<std::size_t>(decimals), '0');
    }
    std::string digits;
    bool roundUp =
        keep < static_cast<int>(mantissa.size()) && mantissa[static_cast<std::size_t>(keep)] >= '5';
    if (keep <= static_cast<int>(mantissa.size())) {
        digits = mantissa.substr(0, static_cast<std::size_t>(keep));
    } else {
        digits = mantissa + std::string(static_cast<std::size_t>(keep) - mantissa.size(), '0');
    }
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
            digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            ++intDigits;
        } else {
            ++digits[static_cast<std::size_t>(i)];
        }
    }
    // Left-pad so that the integer part has at least one digit.
    if (intDigits <= 0) {
        digits.insert(0, static_cast<std::size_t>(1 - intDigits), '0');
        intDigits = 1;
    }
    if (digits.empty()) {
        digits = "0";
    }
    return digits; // integer digits followed by `decimals` decimals
}

std::string formatSection(double value, const std::vector<Token>& section, bool minus,
                          int significant) {
    int intZeros = 0;
    int decimals = 0;
    bool seenPoint = false;
    bool hasDigits = false;
    for (const auto& t : section) {
        if (t.literal) {
            continue;
        }
        if (t.ch == '.' && !seenPoint) {
            seenPoint = true;
        } else if (t.ch == '0' || t.ch == '#') {
            hasDigits = true;
            if (seenPoint) {
                ++decimals;
            } else if (t.ch == '0') {
                ++intZeros;
            }
        }
    }
    if (!hasDigits) {
        std::string out;
        for (const auto& t : section) {
            out.push_back(t.ch);
        }
        return out;
    }
    std::string all = roundedDigits(value, decimals, significant);
    std::string intPart = all.substr(0, all.size() - static_cast<std::size_t>(decimals));
    std::string decPart = all.substr(all.size() - static_cast<std::size_t>(decimals));
    // Strip leading zeros, then pad to the number of "0" placeholders.
    std::size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? std::string() : intPart.substr(nz);
    if (static_cast<int>(intPart.size()) < intZeros) {
        intPart.insert(0, static_cast<std::size_t>(intZeros) - intPart.size(), '0');
    }
    std::string out;
    bool numberWritten = false;
    seenPoint = false;
    for (const auto& t : section) {
        if (!t.literal && (t.ch == '0' || t.ch == '#' || (t.ch == '.' && !seenPoint))) {
            if (!numberWritten) {
                if (minus) {
                    out.push_back('-');
                }
                out += intPart;
                if (decimals > 0) {
                    out.push_back('.');
                    out += decPart;
                }
                numberWritten = true;
            }
            if (t.ch == '.') {
                seenPoint = true;
            }
            continue;
        }
        out.push_back(t.ch);
    }
    return out;
}

std::string format(double value, std::string_view pattern, int significant) {
    auto sections = splitSections(pattern);
    if (value == 0.0 && sections.size() >= 3 && !sections[2].empty()) {
        return formatSection(0.0, sections[2], false, significant);
    }
    if (value < 0.0) {
        if (sections.size() >= 2 && !sections[1].empty()) {
            return formatSection(-value, sections[1], false, significant);
        }
        // A negative value that rounds to zero is shown without its sign.
        std::string plain = formatSection(-value, sections[0], false, significant);
        bool anyNonZero = false;
        for (char c : plain) {
            if (c >= '1' && c <= '9') {
                anyNonZero = true;
            }
        }
        return formatSection(-value, sections[0], anyNonZero, significant);
    }
    return formatSection(value, sections[0], false, significant);
}

std::string trimZeros(std::string s) {
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') {
            s.pop_back();
        }
        if (!s.empty() && s.back() == '.') {
            s.pop_back();
        }
    }
    return s;
}

} // namespace

std::string formatNumber(double value, std::string_view pattern) {
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    return format(value, pattern, 15);
}

std::string formatSingle(float value, std::string_view pattern) {
    if (!std::isfinite(value)) {
        value = 0.0f;
    }
    return format(static_cast<double>(value), pattern, 7);
}

std::string singleToText(float value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    if (std::fabs(value) >= kLargestShown) {
        return (value < 0 ? "-" : "") + std::string(kNines);
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(value));
    std::string s(buf);
    if (s.find('e') != std::string::npos) {
        // Fixed notation with as many decimals as 7 significant digits need, at most 12:
        // what is smaller is no time nor count of a heat.
        int exp10 = static_cast<int>(std::floor(std::log10(std::fabs(static_cast<double>(value)))));
        int decimals = std::clamp(6 - exp10, 0, 12);
        std::snprintf(buf, sizeof buf, "%.*f", decimals, static_cast<double>(value));
        s = buf;
    }
    s = trimZeros(s);
    if (s == "-0") {
        s = "0";
    }
    return s;
}

std::string strValue(float value) {
    std::string s = singleToText(value);
    return s.starts_with('-') ? s : " " + s;
}

std::string printedNumber(float value) {
    return strValue(value) + " ";
}

std::string longTime(double seconds) {
    if (!std::isfinite(seconds)) {
        seconds = 0.0;
    }
    // The clock rounds to the nearest second, as a time of day shown from a fraction of a day.
    auto total = std::llround(seconds);
    total %= 86400;
    if (total < 0) {
        total += 86400;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", total / 3600, (total / 60) % 60,
                  total % 60);
    return buf;
}

} // namespace cronovolta
