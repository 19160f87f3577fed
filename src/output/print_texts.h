#pragma once

#include <array>
#include <string>
#include <string_view>

namespace cronovolta {

// The texts of the printed reports and of printing, in one language (0 Catalan,
// 1 Castilian; any other value gives Catalan).
struct PrintTexts {
    std::string classification; // "Classificació "
    std::string finishedHeat;   // "Acabada la màniga:"
    std::string seriesLabel;    // "Sèrie:"
    std::array<std::string, 5> programmeCaptions;

    std::string previewTitle;  // title of the print preview
    std::string savePdf;       // the preview's button that writes a PDF
    std::string pdfFilter;     // file type of the save dialog
    std::string noPrinter;     // no printer installed
    std::string printerFailed; // the printer refused the job
    std::string pdfFailed;     // the PDF file could not be written (its name follows)
};

const PrintTexts& printTexts(int language);

// A caption as printed: without its "&" accelerator marks.
std::string withoutAccelerators(std::string_view caption);

} // namespace cronovolta
