#include "output/pdf_writer.h"

#include "storage/text_encoding.h"

#include <cstdio>

namespace cronovolta {
namespace {

// Blank margin of the sheet, as a printer leaves one.
constexpr double kMarginPoints = 10.0;

std::string number(double value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", value);
    return buf;
}

// A PDF string in WinAnsiEncoding, which is Windows-1252.
std::string pdfString(std::string_view utf8) {
    std::string out = "(";
    for (char c : utf8ToWindows1252(utf8)) {
        if (c == '(' || c == ')' || c == '\\') {
            out.push_back('\\');
        }
        out.push_back(c);
    }
    out.push_back(')');
    return out;
}

std::string pageContent(const PrintPage& page, const PageGeometry& g, double sheetHeight) {
    std::string s;
    for (const auto& item : page.items) {
        s += "BT /F1 " + number(g.fontPoints(item.fontSize)) + " Tf " + number(g.x(item.column)) +
             " " + number(sheetHeight - g.baseline(item.line)) + " Td " + pdfString(item.text) +
             " Tj ET\n";
    }
    return s;
}

} // namespace

std::string pdfDocument(const PrintLayout& layout) {
    const bool landscape = layout.orientation() == Orientation::Landscape;
    const double width = landscape ? kA4LongPoints : kA4ShortPoints;
    const double height = landscape ? kA4ShortPoints : kA4LongPoints;
    const PageGeometry g = pageGeometry(layout, width - 2 * kMarginPoints,
                                        height - 2 * kMarginPoints, kMarginPoints, kMarginPoints);
    const auto& pages = layout.pages();

    // Objects: 1 catalogue, 2 page tree, 3 font, then a page and its content per page.
    std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<std::size_t> offsets;
    auto object = [&](const std::string& body) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    std::string kids;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        kids += (i ? " " : "") + std::to_string(4 + 2 * i) + " 0 R";
    }
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>");
    object("<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>");
    for (std::size_t i = 0; i < pages.size(); ++i) {
        object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + number(width) + " " +
               number(height) + "] /Resources << /Font << /F1 3 0 R >> >> /Contents " +
               std::to_string(5 + 2 * i) + " 0 R >>");
        const std::string content = pageContent(pages[i], g, height);
        object("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
               "endstream");
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

IoResult writePdf(const fs::path& path, const PrintLayout& layout) {
    return writeFileAtomic(path, pdfDocument(layout));
}

} // namespace cronovolta
