#include "heat/fast_text.h"

#include "storage/number_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace cronovolta {
namespace {

void expectSame(float v) {
    ASSERT_EQ(fixedSingleText(v, 4), formatSingle(v, "0.0000")) << v;
    ASSERT_EQ(fixedSingleText(v, 2), formatSingle(v, "0.00")) << v;
    ASSERT_EQ(singleText(v), singleToText(v)) << v;
}

TEST(FastText, SameTextsAsTheNumberFormats) {
    for (float v : {0.0f, -0.0f, 99.9999f, 5.2f, 0.00005f, -0.00004f, 0.005f, -0.005f, 9.99995f,
                    99999.99f, 86399.99f, 1e-9f, -1e-9f, 1e12f, 123456789.0f, 0.5f, -300.1f}) {
        expectSame(v);
    }
    std::mt19937 random(17);
    std::uniform_real_distribution<float> wide(-100000.0f, 100000.0f);
    std::uniform_real_distribution<float> laps(0.0f, 200.0f);
    std::uniform_int_distribution<int> tenThousandths(0, 2000000);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int i = 0; i < 50000; ++i) {
        expectSame(wide(random));
        expectSame(laps(random));
        // Values on and next to the rounding boundaries of four and two decimals.
        float exact = static_cast<float>(tenThousandths(random)) / 10000.0f + 0.00005f;
        expectSame(exact);
        expectSame(std::nextafter(exact, 0.0f));
        expectSame(-exact);
        std::uint32_t b = bits(random);
        float any;
        std::memcpy(&any, &b, sizeof any);
        if (std::isfinite(any)) {
            expectSame(any);
        }
    }
}

} // namespace
} // namespace cronovolta
