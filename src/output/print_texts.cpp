#include "output/print_texts.h"

#include "results/results_texts.h"
#include "texts/language_tables.h"
#include "texts/localiser.h"

namespace cronovolta {
namespace {

PrintTexts fromTables(int language) {
    const bool catalan = language != kLanguageCastilian;
    MessageTable messages;
    messages.fill("Classificacio", language);
    const ResultsTexts& results = resultsTexts(language);
    PrintTexts t;
    t.classification = messages.text(msgkey::kClassificationTitle);
    t.finishedHeat = messages.text(msgkey::kFinishedHeat);
    t.seriesLabel = results.seriesLabel;
    for (std::size_t p = 0; p < t.programmeCaptions.size(); ++p) {
        t.programmeCaptions[p] = withoutAccelerators(results.programmeCaptions[p]);
    }
    t.previewTitle = catalan ? "Vista prèvia de la impressió" : "Vista previa de la impresión";
    t.savePdf = catalan ? "Desa en PDF..." : "Guardar en PDF...";
    t.pdfFilter = catalan ? "Documents PDF (*.pdf)" : "Documentos PDF (*.pdf)";
    t.noPrinter = catalan ? "No hi ha cap impressora instal·lada. L'informe es pot desar en PDF."
                          : "No hay ninguna impresora instalada. El informe se puede guardar en "
                            "PDF.";
    t.printerFailed = catalan ? "La impressora no ha pogut imprimir l'informe. L'informe es pot "
                                "desar en PDF."
                              : "La impresora no ha podido imprimir el informe. El informe se "
                                "puede guardar en PDF.";
    t.pdfFailed = catalan ? "No s'ha pogut desar el PDF " : "No se ha podido guardar el PDF ";
    return t;
}

} // namespace

const PrintTexts& printTexts(int language) {
    static const PrintTexts kCatalan = fromTables(kLanguageCatalan);
    static const PrintTexts kCastilian = fromTables(kLanguageCastilian);
    return language == kLanguageCastilian ? kCastilian : kCatalan;
}

std::string withoutAccelerators(std::string_view caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i; // "&&" prints one "&"
        }
        out.push_back(caption[i]);
    }
    return out;
}

} // namespace cronovolta
