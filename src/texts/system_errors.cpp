#include "texts/system_errors.h"

#include "texts/language_tables.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <utility>

namespace cronovolta {
namespace {

// Quotas are a POSIX notion; elsewhere a full disk is only ENOSPC.
#ifdef EDQUOT
constexpr int kQuotaExceeded = EDQUOT;
#else
constexpr int kQuotaExceeded = ENOSPC;
#endif

struct Reason {
    std::array<int, 2> errors{}; // 0: none (a reason told by the program itself)
    std::string_view english;
    std::string_view catalan;
    std::string_view castilian;
};

constexpr Reason kReasons[] = {
    {{ENOSPC, kQuotaExceeded},
     "the disk is full",
     "el disc és ple. Allibera espai al disc (o tria una carpeta de dades en un altre "
     "disc) i torna-ho a provar.",
     "el disco está lleno. Libera espacio en el disco (o elige una carpeta de datos en "
     "otro disco) y vuelve a intentarlo."},
    {{EACCES, EPERM},
     "permission denied",
     "no tens permís per fer-ho. Comprova els permisos de l'arxiu i de la carpeta de "
     "dades, o fes servir una carpeta de dades on puguis escriure (--data).",
     "no tienes permiso para hacerlo. Comprueba los permisos del archivo y de la carpeta "
     "de datos, o usa una carpeta de datos en la que puedas escribir (--data)."},
    {{EROFS},
     "the disk is read-only",
     "el disc només és de lectura. Fes servir una carpeta de dades en un disc on es "
     "pugui escriure (--data).",
     "el disco es de solo lectura. Usa una carpeta de datos en un disco en el que se "
     "pueda escribir (--data)."},
    {{ENOENT},
     "it does not exist",
     "l'arxiu o la carpeta ja no hi és. Comprova que el disc (o el llapis USB) estigui "
     "connectat i que la carpeta de dades existeixi, i torna-ho a provar.",
     "el archivo o la carpeta ya no está. Comprueba que el disco (o la memoria USB) esté "
     "conectado y que la carpeta de datos exista, y vuelve a intentarlo."},
    {{ENOTDIR},
     "part of the path is not a folder",
     "una part del camí no és una carpeta. Comprova la carpeta de dades.",
     "una parte de la ruta no es una carpeta. Comprueba la carpeta de datos."},
    {{EIO},
     "the disk failed to read or write",
     "el disc ha fallat en llegir o escriure. Comprova el disc (o el llapis USB), fes "
     "una còpia de la carpeta de dades i torna-ho a provar.",
     "el disco ha fallado al leer o escribir. Comprueba el disco (o la memoria USB), haz "
     "una copia de la carpeta de datos y vuelve a intentarlo."},
    {{EBUSY, ETXTBSY},
     "another program is using it",
     "un altre programa l'està fent servir. Tanca aquest programa i torna-ho a provar.",
     "otro programa lo está usando. Cierra ese programa y vuelve a intentarlo."},
    {{EEXIST, ENOTEMPTY},
     "something of that name exists",
     "ja hi ha un arxiu o una carpeta amb aquest nom. Canvia-li el nom o treu-lo de la "
     "carpeta de dades.",
     "ya hay un archivo o una carpeta con ese nombre. Cámbiale el nombre o sácalo de la "
     "carpeta de datos."},
    {{EMFILE, ENFILE},
     "too many files are open",
     "hi ha massa arxius oberts. Tanca altres programes i torna-ho a provar.",
     "hay demasiados archivos abiertos. Cierra otros programas y vuelve a intentarlo."},
    {{ENAMETOOLONG},
     "the name is too long",
     "el nom és massa llarg. Fes servir una carpeta de dades amb un camí més curt.",
     "el nombre es demasiado largo. Usa una carpeta de datos con una ruta más corta."},
    {{EISDIR},
     "it is a folder",
     "és una carpeta. Treu-la de la carpeta de dades o canvia-li el nom.",
     "es una carpeta. Sácala de la carpeta de datos o cámbiale el nombre."},
    {{ELOOP},
     "there are too many symbolic links in the path",
     "hi ha massa enllaços simbòlics al camí. Comprova la carpeta de dades.",
     "hay demasiados enlaces simbólicos en la ruta. Comprueba la carpeta de datos."},
    {{EXDEV},
     "it is on another disk",
     "és en un altre disc. Fes servir una carpeta del mateix disc.",
     "está en otro disco. Usa una carpeta del mismo disco."},
    {{EFBIG},
     "the file is too large for the disk",
     "l'arxiu és massa gran per al disc. Fes servir una carpeta de dades en un altre disc.",
     "el archivo es demasiado grande para el disco. Usa una carpeta de datos en otro "
     "disco."},
    {{ENXIO, ENODEV},
     "the device is not there",
     "el dispositiu no hi és. Comprova que el disc (o el llapis USB) estigui connectat.",
     "el dispositivo no está. Comprueba que el disco (o la memoria USB) esté conectado."},
    {{ENOMEM},
     "there is not enough memory",
     "no hi ha prou memòria. Tanca altres programes i torna-ho a provar.",
     "no hay suficiente memoria. Cierra otros programas y vuelve a intentarlo."},
    {{EINVAL},
     "the system does not accept the name or the operation",
     "el sistema no accepta el nom o l'operació. Fes servir una carpeta de dades en un "
     "disc normal.",
     "el sistema no acepta el nombre o la operación. Usa una carpeta de datos en un disco "
     "normal."},
    {{EAGAIN, EINTR},
     "the system was busy",
     "el sistema estava ocupat. Torna-ho a provar.",
     "el sistema estaba ocupado. Vuelve a intentarlo."},
    {{ETIMEDOUT},
     "the disk did not answer in time",
     "el disc no ha respost a temps. Comprova el disc (o la unitat de xarxa) i torna-ho a "
     "provar.",
     "el disco no ha respondido a tiempo. Comprueba el disco (o la unidad de red) y vuelve "
     "a intentarlo."},
    // Refusals of the program's own, not of the system: no error number.
    {{},
     "the file is too large",
     "l'arxiu és massa gran per ser de la carpeta de dades. Treu-lo de la carpeta.",
     "el archivo es demasiado grande para ser de la carpeta de datos. Sácalo de la "
     "carpeta."},
    {{},
     "it is not a regular file",
     "no és un arxiu normal (és una carpeta, un dispositiu o una canonada). Treu-lo de "
     "la carpeta de dades.",
     "no es un archivo normal (es una carpeta, un dispositivo o una tubería). Sácalo de "
     "la carpeta de datos."},
    {{},
     "it is a symbolic link, and the program does not write through links",
     "és un enllaç simbòlic, i el programa no escriu a través d'enllaços. Posa-hi l'arxiu "
     "mateix en lloc de l'enllaç.",
     "es un enlace simbólico, y el programa no escribe a través de enlaces. Pon el archivo "
     "mismo en lugar del enlace."},
    {{},
     "its event folder is a symbolic link, and the program does not write through links",
     "la carpeta de la prova és un enllaç simbòlic, i el programa no escriu a través "
     "d'enllaços. Posa-hi la carpeta mateixa en lloc de l'enllaç.",
     "la carpeta de la prueba es un enlace simbólico, y el programa no escribe a través de "
     "enlaces. Pon la carpeta misma en lugar del enlace."},
};

// The reason of a system error number, if the tables word it.
const Reason* reasonOf(int err) {
    if (err == 0) {
        return nullptr;
    }
    for (const Reason& reason : kReasons) {
        if (std::ranges::find(reason.errors, err) != reason.errors.end()) {
            return &reason;
        }
    }
    return nullptr;
}

struct Operation {
    std::string_view english; // "cannot write "
    std::string_view catalan; // "%1" is the path, "%2" the new name of a rename
    std::string_view castilian;
};

constexpr Operation kOperations[] = {
    {"cannot read ", "No s'ha pogut llegir l'arxiu %1", "No se ha podido leer el archivo %1"},
    {"cannot write ", "No s'ha pogut gravar l'arxiu %1", "No se ha podido grabar el archivo %1"},
    {"cannot delete ", "No s'ha pogut eliminar %1", "No se ha podido eliminar %1"},
    {"cannot create the folder ", "No s'ha pogut crear la carpeta %1",
     "No se ha podido crear la carpeta %1"},
    {"cannot rename ", "No s'ha pogut canviar el nom de %1 a %2",
     "No se ha podido cambiar el nombre de %1 a %2"},
};

std::string replaced(std::string_view pattern, std::string_view first, std::string_view second) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            out += pattern[i + 1] == '1' ? first : second;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

constexpr std::string_view kUnknownReason = "system error ";

// "system error 75", the reason of an error number the table does not know.
std::string unknownReason(std::string_view number, int language) {
    return (language == kLanguageCastilian ? "error del sistema número "
                                           : "error del sistema número ") +
           std::string(number) +
           (language == kLanguageCastilian ? ". Comprueba el disco y la carpeta de datos."
                                           : ". Comprova el disc i la carpeta de dades.");
}

// The reason at the end of a clause ("...: the disk is full") in the language, and its length.
std::optional<std::pair<std::string, std::size_t>> localisedTail(std::string_view clause,
                                                                 int language) {
    for (const Reason& reason : kReasons) {
        const std::string tail = ": " + std::string(reason.english);
        if (clause.ends_with(tail)) {
            return std::pair{
                std::string(language == kLanguageCastilian ? reason.castilian : reason.catalan),
                tail.size()};
        }
    }
    const std::size_t at = clause.rfind(std::string(": ") + std::string(kUnknownReason));
    if (at != std::string_view::npos) {
        std::string_view number = clause.substr(at + 2 + kUnknownReason.size());
        if (!number.empty() && number.find_first_not_of("-0123456789") == std::string_view::npos) {
            return std::pair{unknownReason(number, language), clause.size() - at};
        }
    }
    return std::nullopt;
}

std::string localiseClause(std::string_view clause, int language) {
    for (const Operation& op : kOperations) {
        if (!clause.starts_with(op.english)) {
            continue;
        }
        if (auto tail = localisedTail(clause, language)) {
            std::string_view what =
                clause.substr(op.english.size(), clause.size() - op.english.size() - tail->second);
            std::string_view to;
            if (op.english == "cannot rename ") {
                const std::size_t at = what.rfind(" to ");
                if (at != std::string_view::npos) {
                    to = what.substr(at + 4);
                    what = what.substr(0, at);
                }
            }
            const bool castilian = language == kLanguageCastilian;
            return replaced(castilian ? op.castilian : op.catalan, what, to) + ": " + tail->first;
        }
    }
    return std::string(clause);
}

} // namespace

std::string systemErrorReason(int err) {
    if (const Reason* reason = reasonOf(err)) {
        return std::string(reason->english);
    }
    // Never the C library's text, which follows the desktop's locale: a number the texts can
    // put into the organiser's language.
    return std::string(kUnknownReason) + std::to_string(err);
}

std::string localisedSystemReason(int err, int language) {
    if (language != kLanguageCatalan && language != kLanguageCastilian) {
        return systemErrorReason(err);
    }
    if (const Reason* reason = reasonOf(err)) {
        return std::string(language == kLanguageCastilian ? reason->castilian : reason->catalan);
    }
    return unknownReason(std::to_string(err), language);
}

std::string localiseProblems(std::string_view text, int language) {
    if (language != kLanguageCatalan && language != kLanguageCastilian) {
        return std::string(text);
    }
    std::string out;
    bool lastLocalised = false;
    for (bool first = true;; first = false) {
        const std::size_t end = text.find("; ");
        const std::string_view clause = text.substr(0, end);
        std::string localised = localiseClause(clause, language);
        const bool changed = localised != clause;
        // A localised problem is a sentence of its own; other clauses keep their joint.
        if (!first) {
            out += changed || lastLocalised ? "\n" : "; ";
        }
        out += localised;
        lastLocalised = changed;
        if (end == std::string_view::npos) {
            return out;
        }
        text.remove_prefix(end + 2);
    }
}

std::string portProblemText(PortProblem problem, std::string_view device, int language) {
    const bool es = language == kLanguageCastilian;
    std::string_view pattern;
    switch (problem) {
    case PortProblem::Missing:
        pattern = es ? "El dispositivo %1 no existe: conecta el contador (o su adaptador USB) y "
                       "pulsa Reintentar, o indica el dispositivo de este puerto en el archivo "
                       "PORTS.TXT de la carpeta de datos."
                     : "El dispositiu %1 no existeix: connecta el comptador (o el seu adaptador "
                       "USB) i prem Reintentar, o indica el dispositiu d'aquest port a l'arxiu "
                       "PORTS.TXT de la carpeta de dades.";
        break;
    case PortProblem::NoPermission:
        pattern = es ? "No tienes permiso para abrir %1: el usuario debe pertenecer al grupo "
                       "dialout. Ejecuta «sudo usermod -aG dialout $USER», cierra la sesión, "
                       "vuelve a entrar y pulsa Reintentar."
                     : "No tens permís per obrir %1: l'usuari ha de ser del grup dialout. "
                       "Executa «sudo usermod -aG dialout $USER», tanca la sessió, torna a "
                       "entrar i prem Reintentar.";
        break;
    case PortProblem::InUse:
        pattern = es ? "Otro programa está usando %1: ciérralo y pulsa Reintentar."
                     : "Un altre programa està fent servir %1: tanca'l i prem Reintentar.";
        break;
    case PortProblem::Unknown:
        pattern = es ? "No se ha podido abrir %1: comprueba el cable y el contador y pulsa "
                       "Reintentar."
                     : "No s'ha pogut obrir %1: comprova el cable i el comptador i prem "
                       "Reintentar.";
        break;
    }
    return replaced(pattern, device, {});
}

} // namespace cronovolta
