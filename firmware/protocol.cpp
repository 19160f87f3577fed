#include "protocol.h"

namespace proto {

namespace {

bool digit(char c) { return c >= '0' && c <= '9'; }

uint8_t put_number(char* out, uint32_t v, uint8_t min_digits)
{
    char tmp[10];
    uint8_t n = 0;
    do {
        tmp[n++] = char('0' + v % 10);
        v /= 10;
    } while (v != 0 || n < min_digits);
    for (uint8_t i = 0; i < n; ++i)
        out[i] = tmp[n - 1 - i];
    return n;
}

uint8_t frame(char* out, char a, char b, uint8_t num, bool with_time, uint32_t ms)
{
    uint8_t n = 0;
    out[n++] = '[';
    out[n++] = a;
    out[n++] = b;
    n += put_number(out + n, num, 2);
    if (with_time) {
        out[n++] = '$';
        n += put_number(out + n, ms, 1);
    }
    out[n++] = ']';
    out[n++] = '\r';
    out[n++] = '\n';
    out[n] = '\0';
    return n;
}

} // namespace

Command parse(const char* s, uint8_t len)
{
    const Command none{Kind::None, 0, false};
    if (len < 3)
        return none;
    // Clock frames may carry a clock text; only the state digit matters.
    if (s[0] == 'R' && s[1] == 'C') {
        if (!digit(s[2]) || s[2] > '3')
            return none;
        return {Kind::Clock, uint8_t(s[2] - '0'), false};
    }
    // Two-digit index and a 0/1 state: exactly five characters.
    if (len != 5 || !digit(s[2]) || !digit(s[3]) || (s[4] != '0' && s[4] != '1'))
        return none;
    const uint8_t index = uint8_t((s[2] - '0') * 10 + (s[3] - '0'));
    const bool on = s[4] == '1';
    if (s[0] == 'S' && s[1] == 'L' && index >= 1 && index <= 8)
        return {Kind::Light, index, on};
    if (s[0] == 'P' && s[1] == 'W')
        return {Kind::Power, index, on};
    return none;
}

Command Parser::feed(char b)
{
    if (b == '[') {
        in_ = true;
        len_ = 0;
        return {Kind::None, 0, false};
    }
    if (!in_)
        return {Kind::None, 0, false};
    if (b == ']') {
        in_ = false;
        return parse(buf_, len_);
    }
    // Only the first characters are kept (a long clock text is fine), but the
    // count goes on so that an over-long light or power frame is refused.
    if (len_ < kMax)
        buf_[len_] = b;
    if (len_ < 255)
        ++len_;
    return {Kind::None, 0, false};
}

uint8_t format_crossing(char* out, uint8_t lane, uint32_t ms)
{
    return frame(out, 'S', 'F', lane, true, ms);
}

uint8_t format_button(char* out, uint8_t code)
{
    return frame(out, 'B', 'T', code, false, 0);
}

uint8_t format_stop_go(char* out, uint8_t lane)
{
    return frame(out, 'S', 'G', lane, false, 0);
}

} // namespace proto
