// Lap-counter board: lane crossings and buttons out, lights and lane power in,
// 19200 baud 8N1.
#include "board.h"
#include "panel.h"
#include "protocol.h"
#include "timing.h"

#include <avr/interrupt.h>
#include <avr/io.h>

namespace {

// Received bytes wait here while a frame is being sent.
constexpr uint8_t kRxSize = 64;
volatile uint8_t g_rx[kRxSize];
volatile uint8_t g_rx_head;
uint8_t g_rx_tail;

void uart_init()
{
    // 16 MHz / (16 * 19200) - 1 = 51.08: 0.2 % off, well within 8N1's margin.
    UBRR0 = 51;
    UCSR0A = 0;
    UCSR0B = (1 << RXEN0) | (1 << TXEN0) | (1 << RXCIE0);
    UCSR0C = (1 << UCSZ01) | (1 << UCSZ00);
}

void send(const char* s, uint8_t n)
{
    for (uint8_t i = 0; i < n; ++i) {
        while (!(UCSR0A & (1 << UDRE0))) {
        }
        UDR0 = uint8_t(s[i]);
    }
}

bool receive(char& c)
{
    if (g_rx_tail == g_rx_head)
        return false;
    c = char(g_rx[g_rx_tail]);
    g_rx_tail = uint8_t((g_rx_tail + 1) % kRxSize);
    return true;
}

void apply(const proto::Command& cmd)
{
    switch (cmd.kind) {
    case proto::Kind::Light:
        panel::set_light(cmd.index, cmd.on);
        // GO on ends the window in which a crossing is a false start.
        if (cmd.index == 6 && cmd.on)
            timing::arm_false_start(false);
        break;
    case proto::Kind::Power:
        panel::set_power(cmd.index, cmd.on);
        break;
    case proto::Kind::Clock:
        if (cmd.index == 0) {
            timing::reset_lanes();
            timing::arm_false_start(board::kFalseStartPenaltyMs != 0);
            for (uint8_t lane = 1; lane <= board::kLanes; ++lane)
                panel::cut_lane(lane, 0);
        } else if (cmd.index == 1) {
            timing::arm_false_start(false);
        }
        break;
    case proto::Kind::None:
        break;
    }
}

} // namespace

ISR(USART_RX_vect)
{
    const uint8_t b = UDR0;
    const uint8_t next = uint8_t((g_rx_head + 1) % kRxSize);
    // A full buffer drops the byte; the parser then drops the broken frame.
    if (next != g_rx_tail) {
        g_rx[g_rx_head] = b;
        g_rx_head = next;
    }
}

int main()
{
    uart_init();
    panel::init();
    timing::init();
    sei();

    proto::Parser parser;
    char line[20];
    uint32_t last_tick = 0;
    for (;;) {
        char c;
        while (receive(c))
            apply(parser.feed(c));

        const timing::Crossing x = timing::poll();
        if (x.lane != 0) {
            if (x.false_start)
                panel::cut_lane(x.lane, timing::now_ms() + board::kFalseStartPenaltyMs);
            send(line, proto::format_crossing(line, x.lane, x.ms));
        }

        const uint32_t now = timing::now_ms();
        if (now != last_tick) {
            last_tick = now;
            const panel::Press p = panel::tick(now);
            if (p.kind == 'B')
                send(line, proto::format_button(line, p.code));
            else if (p.kind == 'S')
                send(line, proto::format_stop_go(line, p.code));
        }
    }
}
