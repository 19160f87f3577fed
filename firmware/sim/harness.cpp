// Runs the board firmware on simavr's ATmega328P at 16 MHz, drives its lanes,
// buttons and serial line at set simulated times, and checks what comes out.
// One line per check; the exit code is the number of failed checks (capped).
// With --pty the board's UART goes to a pseudo-terminal instead (see README).
#include <sim_avr.h>
#include <sim_elf.h>
#include <avr_ioport.h>
#include <avr_uart.h>
// uart_pty.h, unlike simavr's core headers, has no C++ guard of its own.
extern "C" {
#include <uart_pty.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <poll.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr double kHz = 16e6;
elf_firmware_t g_elf;

struct Frame {
    std::string text; // between the brackets
    double ms;        // simulated time its ']' was written
    bool crlf;        // followed by CR LF
};

// The board plus the two 74HC595 and the 74HC165 of its shift chain.
struct Board {
    avr_t* avr = nullptr;
    std::string raw;
    std::vector<double> raw_ms;
    uint16_t shift595 = 0, latched595 = 0;
    uint8_t shift165 = 0xFF, inputs165 = 0xFF; // low = pressed
    bool clock = false, latch = false, data = false, load = true;
    avr_irq_t* qh = nullptr;
    uint8_t ext_mask[3] = {}, ext_value[3] = {}; // ports B, C, D
    avr_irq_t* uart_in = nullptr;

    double ms() const { return double(avr->cycle) / kHz * 1000.0; }
    uint8_t lights() const { return uint8_t(latched595 & 0xFF); }
    uint8_t relays() const { return uint8_t(latched595 >> 8); }

    void run_until(double t)
    {
        const avr_cycle_count_t end = avr_cycle_count_t(t / 1000.0 * kHz);
        while (avr->cycle < end) {
            const int state = avr_run(avr);
            if (state == cpu_Done || state == cpu_Crashed) {
                std::printf("FAIL the simulated board stopped at %.3f ms\n", ms());
                std::exit(100);
            }
        }
    }

    std::vector<Frame> frames() const
    {
        std::vector<Frame> out;
        size_t start = std::string::npos;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '[') {
                start = i;
            } else if (raw[i] == ']' && start != std::string::npos) {
                const bool crlf = raw.compare(i + 1, 2, "\r\n") == 0;
                out.push_back({raw.substr(start + 1, i - start - 1), raw_ms[i], crlf});
                start = std::string::npos;
            }
        }
        return out;
    }
};

avr_irq_t* pin(avr_t* avr, char port, int bit)
{
    return avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(port), IOPORT_IRQ_PIN0 + bit);
}

void on_uart(avr_irq_t*, uint32_t v, void* p)
{
    Board* b = static_cast<Board*>(p);
    b->raw.push_back(char(v));
    b->raw_ms.push_back(b->ms());
}

void on_clock(avr_irq_t*, uint32_t v, void* p)
{
    Board* b = static_cast<Board*>(p);
    if (v && !b->clock) {
        b->shift595 = uint16_t(b->shift595 << 1 | (b->data ? 1 : 0));
        if (b->load) {
            b->shift165 = uint8_t(b->shift165 << 1 | 1); // SER tied high
            avr_raise_irq(b->qh, b->shift165 >> 7);
        }
    }
    b->clock = v != 0;
}

void on_latch(avr_irq_t*, uint32_t v, void* p)
{
    Board* b = static_cast<Board*>(p);
    if (v && !b->latch)
        b->latched595 = b->shift595;
    b->latch = v != 0;
}

void on_data(avr_irq_t*, uint32_t v, void* p) { static_cast<Board*>(p)->data = v != 0; }

void on_load(avr_irq_t*, uint32_t v, void* p)
{
    Board* b = static_cast<Board*>(p);
    b->load = v != 0;
    if (!b->load) {
        b->shift165 = b->inputs165;
        avr_raise_irq(b->qh, b->shift165 >> 7);
    }
}

// simavr drives an input with its pull-up high again on every write to the
// port unless the pin is declared driven from outside, as a sensor or button is.
void drive(Board& b, char port, int bit, int level)
{
    const int k = port - 'B';
    b.ext_mask[k] = uint8_t(b.ext_mask[k] | 1 << bit);
    b.ext_value[k] = uint8_t(level ? b.ext_value[k] | 1 << bit : b.ext_value[k] & ~(1 << bit));
    avr_ioport_external_t e{};
    e.name = uint8_t(port);
    e.mask = b.ext_mask[k];
    e.value = b.ext_value[k];
    avr_ioctl(b.avr, AVR_IOCTL_IOPORT_SET_EXTERNAL(port), &e);
    avr_raise_irq(pin(b.avr, port, bit), uint32_t(level));
}

void boot(Board& b)
{
    b.avr = avr_make_mcu_by_name("atmega328p");
    if (!b.avr || avr_init(b.avr) != 0) {
        std::printf("FAIL simavr has no atmega328p\n");
        std::exit(100);
    }
    b.avr->log = 1;
    avr_load_firmware(b.avr, &g_elf);
    b.avr->frequency = uint32_t(kHz);

    uint32_t flags = 0;
    avr_ioctl(b.avr, AVR_IOCTL_UART_GET_FLAGS('0'), &flags);
    flags = 0; // neither console echo nor sleeping when the firmware polls
    avr_ioctl(b.avr, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
    b.uart_in = avr_io_getirq(b.avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_INPUT);
    avr_irq_register_notify(avr_io_getirq(b.avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT),
                            on_uart, &b);

    avr_irq_register_notify(pin(b.avr, 'B', 5), on_clock, &b);
    avr_irq_register_notify(pin(b.avr, 'B', 2), on_latch, &b);
    avr_irq_register_notify(pin(b.avr, 'B', 3), on_data, &b);
    avr_irq_register_notify(pin(b.avr, 'C', 5), on_load, &b);
    b.qh = pin(b.avr, 'B', 4);
    // Idle inputs read high, as their pull-ups make them on the real board.
    for (int i = 2; i <= 7; ++i)
        drive(b, 'D', i, 1);
    drive(b, 'B', 0, 1);
    drive(b, 'B', 1, 1);
    for (int i = 0; i <= 4; ++i)
        drive(b, 'C', i, 1);
    avr_raise_irq(b.qh, 1);
}

// What the test does at a simulated time.
enum class Op { Lane, Button, Send };

struct Step {
    double ms;
    Op op;
    int which; // lane 1..6, or button code (1..9 BTnn, 11..16 SG01..SG06)
    int level; // Lane: 0 = sensor active; Button: 1 = pressed
    const char* text = nullptr;
};

void apply(Board& b, const Step& s)
{
    switch (s.op) {
    case Op::Lane:
        drive(b, 'D', 1 + s.which, s.level);
        break;
    case Op::Button: {
        const int w = s.which;
        if (w <= 2) {
            drive(b, 'B', w - 1, s.level ? 0 : 1);
        } else if (w <= 7) {
            drive(b, 'C', w - 3, s.level ? 0 : 1);
        } else {
            // 165 inputs A..F = SG01..SG06, G = BT08, H = BT09.
            const int bit = w >= 11 ? w - 11 : w - 2;
            if (s.level)
                b.inputs165 = uint8_t(b.inputs165 & ~(1 << bit));
            else
                b.inputs165 = uint8_t(b.inputs165 | (1 << bit));
        }
        break;
    }
    case Op::Send:
        for (const char* c = s.text; *c; ++c)
            avr_raise_irq(b.uart_in, uint8_t(*c));
        break;
    }
}

// A car over lane's sensor from t for 30 ms.
std::vector<Step> car(int lane, double t)
{
    return {{t, Op::Lane, lane, 0}, {t + 30, Op::Lane, lane, 1}};
}

std::vector<Step> press(int button, double t, double hold = 60)
{
    return {{t, Op::Button, button, 1}, {t + hold, Op::Button, button, 0}};
}

Step send(double t, const char* text) { return {t, Op::Send, 0, 0, text}; }

std::vector<Step> join(std::initializer_list<std::vector<Step>> parts)
{
    std::vector<Step> all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Checks look at the board at the step's time or at the end (at = 0).
struct Check {
    const char* name;
    double at;
    std::function<std::string(const Board&)> verdict; // empty = pass
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    double end_ms;
    std::vector<Check> checks;
};

// The times a lane reported, in order.
std::vector<long> laps(const Board& b, int lane)
{
    char head[8];
    std::snprintf(head, sizeof head, "SF%02d$", lane);
    std::vector<long> out;
    for (const Frame& f : b.frames())
        if (f.text.compare(0, 5, head) == 0)
            out.push_back(std::strtol(f.text.c_str() + 5, nullptr, 10));
    return out;
}

std::string expect_laps(const Board& b, int lane, std::vector<double> want)
{
    const std::vector<long> got = laps(b, lane);
    std::string seen;
    for (long v : got)
        seen += " " + std::to_string(v);
    if (got.size() != want.size())
        return "lane " + std::to_string(lane) + " reported" + (seen.empty() ? " nothing" : seen) +
               ", " + std::to_string(want.size()) + " reports expected";
    for (size_t i = 0; i < got.size(); ++i)
        if (std::fabs(double(got[i]) - want[i]) > 1.0)
            return "lane " + std::to_string(lane) + " reported" + seen + ", expected " +
                   std::to_string(want[i]) + " at report " + std::to_string(i + 1);
    return {};
}

std::string expect_frames(const Board& b, std::vector<std::string> want)
{
    std::vector<std::string> got;
    for (const Frame& f : b.frames())
        got.push_back(f.text);
    if (got == want)
        return {};
    std::string s = "got";
    for (const auto& g : got)
        s += " [" + g + "]";
    return s;
}

std::string expect_byte(const char* what, uint8_t got, uint8_t want)
{
    if (got == want)
        return {};
    char s[64];
    std::snprintf(s, sizeof s, "%s 0x%02X, expected 0x%02X", what, got, want);
    return s;
}

std::vector<Case> cases()
{
    const auto lights = [](uint8_t want) {
        return [want](const Board& b) { return expect_byte("lights", b.lights(), want); };
    };
    const auto relays = [](uint8_t want) {
        return [want](const Board& b) { return expect_byte("relays", b.relays(), want); };
    };
    return {
        {"lap times",
         join({car(1, 1500.0), car(1, 5821.4), car(1, 8043.9), car(1, 9044.2),
               car(2, 1700.25), car(2, 3945.75), car(6, 2100.6), car(6, 14100.1)}),
         15000,
         {{"first report is the time since start, then laps", 0,
           [](const Board& b) { return expect_laps(b, 1, {1500, 4321.4, 2222.5, 1000.3}); }},
          {"lanes are timed independently", 0,
           [](const Board& b) {
               std::string e = expect_laps(b, 2, {1700.25, 2245.5});
               return e.empty() ? expect_laps(b, 6, {2100.6, 11999.5}) : e;
           }},
          {"frames end in CR LF and nothing precedes the first", 0,
           [](const Board& b) {
               for (const Frame& f : b.frames())
                   if (!f.crlf)
                       return std::string("[" + f.text + "] lacks CR LF");
               return b.raw.empty() || b.raw[0] == '[' ? std::string()
                                                       : "output starts with noise";
           }},
          {"a report leaves within 10 ms of its crossing", 0,
           [](const Board& b) {
               const auto f = b.frames();
               return !f.empty() && f[0].ms - 1500.0 < 10.0 ? std::string()
                                                             : "first report late or missing";
           }}}},
        {"six lanes at once", join({car(1, 1000), car(2, 1000), car(3, 1000), car(4, 1000),
                                    car(5, 1000), car(6, 1000), car(1, 3000), car(2, 3000),
                                    car(3, 3000), car(4, 3000), car(5, 3000), car(6, 3000)}),
         3100,
         {{"every lane reports both crossings", 0, [](const Board& b) {
               for (int lane = 1; lane <= 6; ++lane) {
                   std::string e = expect_laps(b, lane, {1000, 2000});
                   if (!e.empty())
                       return e;
               }
               return std::string();
           }}}},
        {"debounce and blackout",
         join({// contact bounce at the first edge
               {{1000.0, Op::Lane, 2, 0}, {1000.3, Op::Lane, 2, 1}, {1000.6, Op::Lane, 2, 0},
                {1000.9, Op::Lane, 2, 1}, {1001.2, Op::Lane, 2, 0}, {1030, Op::Lane, 2, 1}},
               // a spike shorter than the debounce time
               {{1500.0, Op::Lane, 3, 0}, {1500.8, Op::Lane, 3, 1}},
               car(3, 2000),
               // a second car within the blackout, then one after it
               car(4, 1000), car(4, 1600), car(4, 2500),
               // the sensor held through the blackout is one crossing
               {{1000, Op::Lane, 5, 0}, {2600, Op::Lane, 5, 1}},
               car(5, 3200)}),
         3500,
         {{"a bouncing edge is one crossing timed from its first edge", 0,
           [](const Board& b) { return expect_laps(b, 2, {1000}); }},
          {"a spike is no crossing", 0, [](const Board& b) { return expect_laps(b, 3, {2000}); }},
          {"a crossing within the blackout is ignored", 0,
           [](const Board& b) { return expect_laps(b, 4, {1000, 1500}); }},
          {"a sensor held past the blackout counts once", 0,
           [](const Board& b) { return expect_laps(b, 5, {1000, 2200}); }}}},
        {"race reset",
         join({car(1, 1000), {send(1500, "[RC0]")}, car(1, 3000), car(1, 4500),
               {send(5000, "[RC1 00:00:01]")}, car(2, 6000), {send(6500, "[RC2]")},
               car(2, 7200)}),
         7300,
         {{"after set-up the first report is again the time since start", 0,
           [](const Board& b) { return expect_laps(b, 1, {1000, 3000, 1500}); }},
          {"started and finished keep the lanes' times", 0,
           [](const Board& b) { return expect_laps(b, 2, {6000, 1200}); }}}},
        {"lights",
         {send(100, "boot noise [SL011][SL031]garbage[SL081]"), send(300, "[SL010][SL061]"),
          send(500, "[SL091][SL0110][SL21][XX011][SL071]"), send(700, "[SL06"),
          send(720, "[SL060]")},
         800,
         {{"start lights and CAUTION follow their frames", 200, lights(0x85)},
          {"a light goes off, GO on", 400, lights(0xA4)},
          {"malformed frames are ignored, STOP goes on", 600, lights(0xE4)},
          {"a frame cut short by a new one is dropped", 800, lights(0xC4)}}},
        {"lane power",
         {send(100, "[PW000]"), send(200, "[PW031]"), send(300, "[PW001][PW020]"),
          send(400, "[PW071][PW0010]")},
         500,
         {{"every lane has power after reset", 50, relays(0x3F)},
          {"all lanes off", 150, relays(0x00)},
          {"one lane on", 250, relays(0x04)},
          {"all on, then one off", 350, relays(0x3D)},
          {"frames for absent lanes change nothing", 500, relays(0x3D)}}},
        {"false start",
         join({{send(500, "[RC0]")}, car(2, 1000), {send(1200, "[PW021]")},
               {send(2000, "[SL061]")}, car(3, 2500)}),
         6100,
         {{"a car before GO cuts its lane", 1100, relays(0x3D)},
          {"the PC cannot restore it within the penalty", 1300, relays(0x3D)},
          {"a car after GO keeps its power", 2600, relays(0x3D)},
          {"the lane comes back after the penalty", 6100, relays(0x3F)},
          {"the false start is still reported", 6100,
           [](const Board& b) { return expect_laps(b, 2, {1000}); }}}},
        {"buttons", [] {
             // Every button once, in an order that mixes pins and the 165, and a tap.
             std::vector<Step> s = press(2, 900, 5);
             const int order[] = {1, 13, 2, 3, 9, 4, 5, 11, 6, 7, 8, 12, 14, 15, 16};
             double t = 1000;
             for (int button : order) {
                 const auto p = press(button, t);
                 s.insert(s.end(), p.begin(), p.end());
                 t += 150;
             }
             return s;
         }(),
         3400,
         {{"each press is one frame, a 5 ms tap none", 0, [](const Board& b) {
               return expect_frames(b, {"BT01", "SG03", "BT02", "BT03", "BT09", "BT04", "BT05",
                                        "SG01", "BT06", "BT07", "BT08", "SG02", "SG04", "SG05",
                                        "SG06"});
           }}}},
    };
}

int run_tests()
{
    int failed = 0, total = 0;
    for (const Case& c : cases()) {
        Board b;
        boot(b);
        std::vector<Step> steps = c.steps;
        size_t next_step = 0;
        std::vector<Check> checks = c.checks;
        // Steps and timed checks run in time order; checks at 0 run at the end.
        std::stable_sort(steps.begin(), steps.end(),
                         [](const Step& x, const Step& y) { return x.ms < y.ms; });
        std::stable_sort(checks.begin(), checks.end(),
                         [](const Check& x, const Check& y) { return x.at < y.at; });
        auto report = [&](const Check& k) {
            const std::string e = k.verdict(b);
            ++total;
            if (!e.empty())
                ++failed;
            std::printf("%s %s: %s%s%s\n", e.empty() ? "ok  " : "FAIL", c.name, k.name,
                        e.empty() ? "" : ": ", e.c_str());
        };
        for (const Check& k : checks) {
            if (k.at == 0)
                continue;
            for (; next_step < steps.size() && steps[next_step].ms <= k.at; ++next_step) {
                b.run_until(steps[next_step].ms);
                apply(b, steps[next_step]);
            }
            b.run_until(k.at);
            report(k);
        }
        for (; next_step < steps.size(); ++next_step) {
            b.run_until(steps[next_step].ms);
            apply(b, steps[next_step]);
        }
        b.run_until(c.end_ms);
        for (const Check& k : checks)
            if (k.at == 0)
                report(k);
        avr_terminate(b.avr);
    }
    std::printf("%d of %d checks passed\n", total - failed, total);
    return failed > 99 ? 99 : failed;
}

// The board in real time with its UART on a pseudo-terminal: the desktop
// program opens the printed device as a serial port. Typing 1..6 and Enter
// passes a car over that lane's sensor; light and relay changes are printed.
int bridge()
{
    Board b;
    boot(b);
    static uart_pty_t pty;
    uart_pty_init(b.avr, &pty);
    uart_pty_connect(&pty, '0');
    std::printf("board running; serial port %s (also /tmp/simavr-uart0)\n", pty.pty.slavename);
    std::fflush(stdout);

    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    double release[7] = {};
    uint16_t shown = 0xFFFF;
    for (double t = 1;; t += 1) {
        b.run_until(t);
        for (int lane = 1; lane <= 6; ++lane)
            if (release[lane] != 0 && t >= release[lane]) {
                drive(b, 'D', 1 + lane, 1);
                release[lane] = 0;
            }
        pollfd in{0, POLLIN, 0};
        char key = 0;
        if (poll(&in, 1, 0) > 0 && read(0, &key, 1) == 1 && key >= '1' && key <= '6') {
            drive(b, 'D', 1 + key - '0', 0);
            release[key - '0'] = t + 30;
        }
        if (b.latched595 != shown) {
            shown = b.latched595;
            std::printf("%.3f s lights 0x%02X relays 0x%02X\n", t / 1000, b.lights(), b.relays());
            std::fflush(stdout);
        }
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const double wall = double(now.tv_sec - start.tv_sec) * 1000 +
                            double(now.tv_nsec - start.tv_nsec) / 1e6;
        if (t > wall)
            usleep(useconds_t((t - wall) * 1000));
    }
}

} // namespace

int main(int argc, char** argv)
{
    const bool pty = argc == 3 && std::strcmp(argv[1], "--pty") == 0;
    if (argc != 2 && !pty) {
        std::fprintf(stderr, "usage: %s [--pty] firmware.elf\n", argv[0]);
        return 2;
    }
    if (elf_read_firmware(argv[argc - 1], &g_elf) != 0) {
        std::fprintf(stderr, "cannot read %s\n", argv[argc - 1]);
        return 2;
    }
    return pty ? bridge() : run_tests();
}
