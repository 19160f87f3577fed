#include "output/pdf_writer.h"
#include "output/print_layout.h"
#include "storage/platform.h"

#include <gtest/gtest.h>

#include "support/pdf_text.h"
#include "support/temp_dir.h"

using namespace cronovolta;

namespace {

const PrintItem& only(const PrintLayout& p) {
    EXPECT_EQ(p.pages().size(), 1u);
    EXPECT_EQ(p.pages()[0].items.size(), 1u);
    return p.pages()[0].items.at(0);
}

} // namespace

TEST(PrintLayout, EachPlacementPutsItsAnchorOnTheColumn) {
    enum Op { A, Dreta, Centre, Decimal };
    struct Case {
        Op op;
        double size;
        double x;
        std::string text;
        double column;
        std::string placed;
    };
    const Case cases[] = {
        {A, 10, 5, "  Joan  ", 5, "Joan"},
        {Dreta, 10, 90, "7/12/2026 ", 81, "7/12/2026"},
        // Characters count, not bytes: "à" is one column.
        {Dreta, 10, 20, "Adrià", 15, "Adrià"},
        {Centre, 10, 45, "[3]", 43.5, "[3]"},
        {Centre, 10, 30, "Pst. 1", 27, "Pst. 1"},
        {Decimal, 10, 30, "12.350", 27, "12.350"},
        {Decimal, 10, 30, "4,1234", 28, "4,1234"},
        {Decimal, 10, 30, "1.5,3", 28, "1.5,3"},
        // No separator: the number ends where a separator would start.
        {Decimal, 10, 30, " 12 ", 27, "12"},
        {Decimal, 10, 30, "-12.5", 26, "-12.5"},
        // Small print: one character is 0.6 columns.
        {Dreta, 6, 78, "+0.1234", 78 - 0.6 * 7, "+0.1234"},
        {Centre, 6, 35, "Ser.", 35 - 0.6 * 2, "Ser."},
    };
    for (const auto& c : cases) {
        PrintLayout p;
        p.setFontSize(c.size);
        switch (c.op) {
        case A:
            p.writeLeft(c.x, c.text);
            break;
        case Dreta:
            p.writeRight(c.x, c.text);
            break;
        case Centre:
            p.writeCentred(c.x, c.text);
            break;
        case Decimal:
            p.writeDecimal(c.x, c.text);
            break;
        }
        const PrintItem& item = only(p);
        EXPECT_DOUBLE_EQ(item.column, c.column) << c.text;
        EXPECT_EQ(item.text, c.placed);
        EXPECT_DOUBLE_EQ(item.fontSize, c.size);
    }
    PrintLayout blank;
    blank.writeRight(8, "   ");
    EXPECT_TRUE(blank.pages()[0].items.empty());
}

TEST(PrintLayout, WritingBelowTheLastLineStartsAPageThatBeginsWithItsHeader) {
    PrintLayout p(Orientation::Portrait, 10);
    p.setPageStart([](PrintLayout& page) {
        page.newLine(2);
        page.writeLeft(5, "Header");
        page.newLine();
    });
    for (int i = 0; i < 25; ++i) {
        p.writeLeft(1, "row " + std::to_string(i));
        p.newLine();
    }
    // 10 rows on the first page, then 7 below each repeated header; nothing after row 24.
    ASSERT_EQ(p.pages().size(), 4u);
    const std::size_t rowsPerPage[] = {10, 8, 8, 2};
    for (std::size_t i = 0; i < p.pages().size(); ++i) {
        const auto& items = p.pages()[i].items;
        ASSERT_EQ(items.size(), rowsPerPage[i]) << "page " << i;
        if (i > 0) {
            EXPECT_EQ(items[0].text, "Header");
            EXPECT_EQ(items[0].line, 2);
            EXPECT_EQ(items[1].line, 3);
        }
        for (const auto& item : items) {
            EXPECT_LT(item.line, 10);
        }
    }
    EXPECT_EQ(p.pages()[3].items[1].text, "row 24");

    // A block that does not fit moves to the next page as a whole.
    p.newLine(3);
    const int before = static_cast<int>(p.pages().size());
    p.ensureRoom(6);
    EXPECT_EQ(static_cast<int>(p.pages().size()), before + 1);
    EXPECT_EQ(p.line(), 3);
    p.ensureRoom(7);
    EXPECT_EQ(static_cast<int>(p.pages().size()), before + 1);
}

TEST(PrintLayout, GeometryShrinksOnlyALayoutTooBigForTheSheet) {
    struct Case {
        Orientation orientation;
        int lines;
        double rightColumn;
        double width;
        double height;
        double scale;
    };
    const Case cases[] = {
        {Orientation::Portrait, 68, 95, 575, 822, 1.0},
        {Orientation::Portrait, 68, 100, 575, 822, 575.0 / 600.0},
        {Orientation::Landscape, 48, 130, 822, 575, 575.0 / 576.0},
        {Orientation::Portrait, 68, 90, 575, 408, 408.0 / 816.0},
    };
    for (const auto& c : cases) {
        PrintLayout p(c.orientation, c.lines);
        p.writeRight(c.rightColumn, "date");
        const PageGeometry g = pageGeometry(p, c.width, c.height, 10, 20);
        EXPECT_NEAR(g.scale, c.scale, 1e-9);
        EXPECT_NEAR(g.x(c.rightColumn), 10 + c.rightColumn * 6 * c.scale, 1e-9);
        EXPECT_NEAR(g.baseline(0), 20 + 0.8 * 12 * c.scale, 1e-9);
        EXPECT_LE(g.x(p.rightEdge()), 10 + c.width + 1e-9);
    }
}

TEST(PdfWriter, WritesASoundDocumentThatReadsBackWithItsColumns) {
    PrintLayout p(Orientation::Landscape, 48);
    p.writeLeft(5, "Copa (d'hivern) \\ Adrià");
    p.writeRight(130, "7/12/2026");
    p.newLine(2);
    for (const char* value : {"1.5", "12.25", "123.125", "7"}) {
        p.writeDecimal(30, value);
        p.newLine();
    }
    p.newPage();
    p.writeLeft(5, "second");
    const std::string pdf = pdfDocument(p);

    EXPECT_TRUE(pdf.starts_with("%PDF-1.4\n"));
    EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
    EXPECT_NE(pdf.find("/MediaBox [0 0 842.00 595.00]"), std::string::npos);
    EXPECT_NE(pdf.find("(Copa \\(d'hivern\\) \\\\ Adri\xE0)"), std::string::npos);
    // Every cross-reference entry points at the object it names.
    const auto xref = pdf.find("xref\n0 ");
    ASSERT_NE(xref, std::string::npos);
    EXPECT_NE(pdf.find("startxref\n" + std::to_string(xref) + "\n"), std::string::npos);
    std::size_t entry = pdf.find('\n', pdf.find('\n', xref) + 1) + 1 + 20; // after entry 0
    for (int object = 1; object <= 7; ++object, entry += 20) {
        const std::size_t offset = std::stoul(pdf.substr(entry, 10));
        EXPECT_EQ(pdf.substr(offset, std::to_string(object).size() + 6),
                  std::to_string(object) + " 0 obj")
            << object;
    }

    test::TempDir dir;
    ASSERT_TRUE(writePdf(dir.path() / "out.pdf", p));
    EXPECT_EQ(test::readBytes(dir.path() / "out.pdf"), pdf);
    if (platform::kWindows) {
        GTEST_SKIP() << "the read-back uses poppler's pdftotext, a Debian program";
    }
    const auto pages = test::pdfTextPages(dir.path() / "out.pdf");
    ASSERT_EQ(pages.size(), 2u);
    int dot = -1;
    for (const auto& line : pages[0]) {
        if (line.find("Copa") != std::string::npos) {
            EXPECT_NE(line.find("Adrià"), std::string::npos);
            EXPECT_GT(test::textColumn(line, "7/12/2026"), test::textColumn(line, "Adrià"));
        }
        if (const int at = test::textColumn(line, "."); at >= 0 &&
                                                        line.find("Copa") == std::string::npos &&
                                                        line.find("/") == std::string::npos) {
            EXPECT_TRUE(dot < 0 || at == dot) << line;
            dot = at;
        }
    }
    EXPECT_GE(dot, 0);
    EXPECT_EQ(pages[1].empty() ? "" : pages[1][0].substr(pages[1][0].find_first_not_of(' ')),
              "second");
}
