// Host test of the frame parser and formatter; the simavr harness covers the
// rest of the board. One line per check, exit code = failures.
#include "protocol.h"

#include <cstdio>
#include <cstring>

namespace {

int g_failed = 0;

void check(bool ok, const char* what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok)
        ++g_failed;
}

// Feeds a whole stream and returns the commands it produced, as text.
void run(const char* stream, char* out)
{
    proto::Parser p;
    out[0] = '\0';
    for (const char* c = stream; *c; ++c) {
        const proto::Command cmd = p.feed(*c);
        const char* kind = cmd.kind == proto::Kind::Light   ? "L"
                           : cmd.kind == proto::Kind::Power ? "P"
                           : cmd.kind == proto::Kind::Clock ? "C"
                                                            : nullptr;
        if (kind)
            std::sprintf(out + std::strlen(out), "%s%u%c ", kind, cmd.index, cmd.on ? '+' : '-');
    }
}

struct StreamCase {
    const char* name;
    const char* stream;
    const char* want;
};

const StreamCase kStreams[] = {
    {"each command kind", "[SL011][SL080][PW001][PW060][RC3]", "L1+ L8- P0+ P6- C3- "},
    {"noise between frames is skipped", "\r\nboot v1 ]x[SL051]junk\n[PW021]", "L5+ P2+ "},
    {"a clock text after the state is allowed", "[RC1 00:03:12][RC2 long clock text here, 99:59:59]",
     "C1- C2- "},
    {"a new '[' drops the broken frame", "[SL01[SL021]", "L2+ "},
    {"wrong lengths, states and lights are refused",
     "[SL0110][SL01][SL012][SL001][SL091][PW1][RC9][RC][XY011][]", ""},
    {"an over-long light frame is refused although its start is valid",
     "[SL011xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx][PW991]", "P99+ "},
};

} // namespace

int main()
{
    char got[256];
    for (const StreamCase& c : kStreams) {
        run(c.stream, got);
        check(std::strcmp(got, c.want) == 0, c.name);
        if (std::strcmp(got, c.want) != 0)
            std::printf("     got \"%s\", expected \"%s\"\n", got, c.want);
    }

    char line[20];
    proto::format_crossing(line, 1, 0);
    check(std::strcmp(line, "[SF01$0]\r\n") == 0, "a zero time keeps its digit");
    const uint8_t n = proto::format_crossing(line, 12, 4294967295u);
    check(std::strcmp(line, "[SF12$4294967295]\r\n") == 0 && n == 19,
          "the longest crossing frame fits its buffer");
    proto::format_button(line, 9);
    check(std::strcmp(line, "[BT09]\r\n") == 0, "buttons have two digits");
    proto::format_stop_go(line, 3);
    check(std::strcmp(line, "[SG03]\r\n") == 0, "stop-and-go names its lane");
    return g_failed;
}
