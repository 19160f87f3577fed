#include "announce/spoken_numbers.h"

#include <array>
#include <cmath>

namespace cronovolta {
namespace {

constexpr std::array<const char*, 20> kCatalanUnits = {
    "zero", "u",    "dos",   "tres",   "quatre",  "cinc",   "sis",   "set",    "vuit",   "nou",
    "deu",  "onze", "dotze", "tretze", "catorze", "quinze", "setze", "disset", "divuit", "dinou"};
constexpr std::array<const char*, 10> kCatalanTens = {
    "",          "",         "vint",    "trenta",   "quaranta",
    "cinquanta", "seixanta", "setanta", "vuitanta", "noranta"};

constexpr std::array<const char*, 30> kCastilianUnits = {
    "cero",         "uno",         "dos",        "tres",        "cuatro",     "cinco",
    "seis",         "siete",       "ocho",       "nueve",       "diez",       "once",
    "doce",         "trece",       "catorce",    "quince",      "dieciséis",  "diecisiete",
    "dieciocho",    "diecinueve",  "veinte",     "veintiuno",   "veintidós",  "veintitrés",
    "veinticuatro", "veinticinco", "veintiséis", "veintisiete", "veintiocho", "veintinueve"};
constexpr std::array<const char*, 10> kCastilianTens = {
    "",          "",        "veinte",  "treinta", "cuarenta",
    "cincuenta", "sesenta", "setenta", "ochenta", "noventa"};
constexpr std::array<const char*, 10> kCastilianHundreds = {
    "",           "ciento",      "doscientos",  "trescientos", "cuatrocientos",
    "quinientos", "seiscientos", "setecientos", "ochocientos", "novecientos"};

std::string catalanUnit(int n, bool feminine) {
    if (feminine && n == 1) {
        return "una";
    }
    if (feminine && n == 2) {
        return "dues";
    }
    return kCatalanUnits[static_cast<std::size_t>(n)];
}

std::string catalanBelow1000(int n, bool feminine) {
    std::string out;
    if (n >= 100) {
        int h = n / 100;
        out = h == 1 ? "cent" : catalanUnit(h, feminine) + (feminine ? "-centes" : "-cents");
        n %= 100;
        if (n == 0) {
            return out;
        }
        out += ' ';
    }
    if (n < 20) {
        return out + catalanUnit(n, feminine);
    }
    out += kCatalanTens[static_cast<std::size_t>(n / 10)];
    if (n % 10 != 0) {
        out += (n / 10 == 2 ? "-i-" : "-") + catalanUnit(n % 10, feminine);
    }
    return out;
}

std::string castilianUnit(int n, bool feminine) {
    std::string word = kCastilianUnits[static_cast<std::size_t>(n)];
    if (feminine && (n == 1 || n == 21)) {
        word.replace(word.size() - 1, 1, "a");
    }
    return word;
}

std::string castilianBelow1000(int n, bool feminine) {
    std::string out;
    if (n >= 100) {
        int h = n / 100;
        n %= 100;
        if (h == 1 && n == 0) {
            return "cien";
        }
        out = kCastilianHundreds[static_cast<std::size_t>(h)];
        if (feminine && h > 1) {
            out.replace(out.size() - 2, 2, "as");
        }
        if (n == 0) {
            return out;
        }
        out += ' ';
    }
    if (n < 30) {
        return out + castilianUnit(n, feminine);
    }
    out += kCastilianTens[static_cast<std::size_t>(n / 10)];
    if (n % 10 != 0) {
        out += " y " + castilianUnit(n % 10, feminine);
    }
    return out;
}

// Before "mil" a final one shortens: "vint-i-un mil", "veintiún mil".
std::string beforeThousand(std::string words, int language) {
    if (language == 1) {
        if (words.ends_with("veintiuno")) {
            words.replace(words.size() - 3, 3, "ún");
        } else if (words.ends_with("uno")) {
            words.pop_back();
        }
    } else if (words.ends_with("-u")) {
        words += 'n';
    }
    return words;
}

std::string below1000(int n, int language, bool feminine) {
    return language == 1 ? castilianBelow1000(n, feminine) : catalanBelow1000(n, feminine);
}

} // namespace

std::string spokenNumber(long long value, int language, bool feminine) {
    if (value < 0) {
        return (language == 1 ? "menos " : "menys ") + spokenNumber(-value, language, feminine);
    }
    if (value >= 1000000) {
        return std::to_string(value); // never a lap count nor a time; the voice reads digits
    }
    int n = static_cast<int>(value);
    if (n < 1000) {
        return below1000(n, language, feminine);
    }
    int thousands = n / 1000;
    std::string out =
        thousands == 1
            ? "mil"
            : beforeThousand(below1000(thousands, language, feminine), language) + " mil";
    if (n % 1000 != 0) {
        out += ' ' + below1000(n % 1000, language, feminine);
    }
    return out;
}

std::string spokenDecimal(double value, int language) {
    long long hundredths = std::llround(std::fabs(value) * 100.0);
    std::string out = value < 0 && hundredths > 0 ? (language == 1 ? "menos " : "menys ") : "";
    out += spokenNumber(hundredths / 100, language);
    out += " coma ";
    int fraction = static_cast<int>(hundredths % 100);
    if (fraction < 10) {
        out += spokenNumber(0, language) + ' ';
    }
    return out + spokenNumber(fraction, language);
}

} // namespace cronovolta
