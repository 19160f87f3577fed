#include "texts/language_tables.h"
#include "texts/system_errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace cronovolta;

TEST(SystemErrorsTest, EveryKnownFailureIsToldInBothLanguagesWithWhatToDo) {
    struct Case {
        int err;
        std::string_view catalan;
        std::string_view castilian;
    };
    const Case cases[] = {
        {ENOSPC, "el disc és ple. Allibera espai", "el disco está lleno. Libera espacio"},
#ifdef EDQUOT // a POSIX notion
        {EDQUOT, "el disc és ple", "el disco está lleno"},
#endif
        {EACCES, "no tens permís", "no tienes permiso"},
        {EPERM, "no tens permís", "no tienes permiso"},
        {EROFS, "només és de lectura", "solo lectura"},
        {ENOENT, "ja no hi és. Comprova", "ya no está. Comprueba"},
        {ENOTDIR, "no és una carpeta", "no es una carpeta"},
        {EIO, "ha fallat en llegir o escriure", "ha fallado al leer o escribir"},
        {EBUSY, "un altre programa", "otro programa"},
        {EEXIST, "amb aquest nom", "con ese nombre"},
        {EMFILE, "massa arxius oberts", "demasiados archivos abiertos"},
        {ENAMETOOLONG, "massa llarg", "demasiado largo"},
        {EISDIR, "és una carpeta", "es una carpeta"},
        {ELOOP, "massa enllaços simbòlics", "demasiados enlaces simbólicos"},
        {EXDEV, "en un altre disc", "en otro disco"},
        {EFBIG, "massa gran per al disc", "demasiado grande para el disco"},
        {ENXIO, "el dispositiu no hi és", "el dispositivo no está"},
        {ENODEV, "el dispositiu no hi és", "el dispositivo no está"},
        {ENOMEM, "no hi ha prou memòria", "no hay suficiente memoria"},
        {EINVAL, "no accepta el nom", "no acepta el nombre"},
        {EAGAIN, "estava ocupat", "estaba ocupado"},
        {ETIMEDOUT, "no ha respost a temps", "no ha respondido a tiempo"},
        {12345, "error del sistema número 12345", "error del sistema número 12345"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        const std::string english =
            "cannot write /dades/PROVA001/CRS001.DAD: " + systemErrorReason(c.err);
        const std::string ca = localiseProblems(english, kLanguageCatalan);
        const std::string es = localiseProblems(english, kLanguageCastilian);
        EXPECT_TRUE(ca.starts_with("No s'ha pogut gravar l'arxiu /dades/PROVA001/CRS001.DAD: "))
            << ca;
        EXPECT_TRUE(
            es.starts_with("No se ha podido grabar el archivo /dades/PROVA001/CRS001.DAD: "))
            << es;
        EXPECT_NE(ca.find(c.catalan), std::string::npos) << ca;
        EXPECT_NE(es.find(c.castilian), std::string::npos) << es;
        // What to do ends every explanation as a sentence of its own.
        EXPECT_TRUE(ca.ends_with(".") && ca.find(". ") != std::string::npos) << ca;
    }
}

TEST(SystemErrorsTest, EachOperationAndClauseIsPutIntoTheLanguageOnItsOwn) {
    const std::string full = systemErrorReason(ENOSPC);
    EXPECT_EQ(
        localiseProblems("cannot read /d/PISTA.CFG: " + systemErrorReason(EACCES), kLanguageCatalan)
            .find("No s'ha pogut llegir l'arxiu /d/PISTA.CFG: no tens permís"),
        0u);
    EXPECT_EQ(localiseProblems("cannot rename PROVA003 to PROVA002: " + systemErrorReason(EBUSY),
                               kLanguageCastilian)
                  .find("No se ha podido cambiar el nombre de PROVA003 a PROVA002: otro "),
              0u);
    EXPECT_EQ(localiseProblems("cannot create the folder /d/PROVA004: " + full, kLanguageCatalan)
                  .find("No s'ha pogut crear la carpeta /d/PROVA004: el disc és ple"),
              0u);
    // A message of two problems and a clause the texts do not know.
    const std::string mixed = localiseProblems("cannot delete /d/A: " + full +
                                                   "; the series was not deleted; cannot write "
                                                   "/d/B: " +
                                                   systemErrorReason(ENOENT),
                                               kLanguageCatalan);
    EXPECT_EQ(mixed.substr(0, mixed.find('\n')),
              localiseProblems("cannot delete /d/A: " + full, kLanguageCatalan));
    EXPECT_NE(mixed.find("\nthe series was not deleted\nNo s'ha pogut gravar l'arxiu /d/B"),
              std::string::npos)
        << mixed;
    // Only the core's own wording is recognised; other texts pass unchanged.
    for (const char* other :
         {"the file ends before the lane count", "cannot write /d/X: odd", "a; b", ""}) {
        EXPECT_EQ(localiseProblems(other, kLanguageCatalan), other);
    }
    EXPECT_EQ(localiseProblems("cannot write /d/F: " + full, 7), "cannot write /d/F: " + full);
}

TEST(SystemErrorsTest, APortThatWillNotOpenIsNamedWithWhatToDo) {
    for (int language : {kLanguageCatalan, kLanguageCastilian}) {
        for (auto problem : {PortProblem::Unknown, PortProblem::Missing, PortProblem::NoPermission,
                             PortProblem::InUse}) {
            const std::string text = portProblemText(problem, "/dev/ttyUSB0", language);
            EXPECT_NE(text.find("/dev/ttyUSB0"), std::string::npos) << text;
            EXPECT_NE(text.find(dialogButtonText(DialogButton::Retry, language)), std::string::npos)
                << text;
        }
        const std::string denied =
            portProblemText(PortProblem::NoPermission, "/dev/ttyS0", language);
        EXPECT_NE(denied.find("dialout"), std::string::npos);
        EXPECT_NE(denied.find("sudo usermod -aG dialout $USER"), std::string::npos);
    }
    EXPECT_NE(portProblemText(PortProblem::InUse, "/dev/ttyS1", kLanguageCatalan)
                  .find("Un altre programa"),
              std::string::npos);
}

// The system's reason is never the C library's English, whatever the
// error number, and reads in the organiser's language on its own too (as the archive puts
// it after "Error de fitxer").
TEST(SystemErrorsTest, TheSystemsReasonIsInTheLanguageForEveryErrorNumber) {
    for (int err = 1; err < 200; ++err) {
        SCOPED_TRACE(err);
        const std::string english = systemErrorReason(err);
        EXPECT_NE(english, std::strerror(err));
        const std::string ca = localisedSystemReason(err, kLanguageCatalan);
        const std::string es = localisedSystemReason(err, kLanguageCastilian);
        EXPECT_NE(ca, english);
        EXPECT_NE(es, english);
        EXPECT_EQ(ca.find(std::strerror(err)), std::string::npos) << ca;
        EXPECT_EQ(localiseProblems("cannot write /d/F: " + english, kLanguageCatalan),
                  "No s'ha pogut gravar l'arxiu /d/F: " + ca);
        EXPECT_EQ(localiseProblems("cannot read /d/F: " + english, kLanguageCastilian),
                  "No se ha podido leer el archivo /d/F: " + es);
    }
    EXPECT_EQ(localisedSystemReason(ENOSPC, kLanguageCatalan).find("el disc és ple"), 0u);
    EXPECT_EQ(systemErrorReason(12345), "system error 12345");
}
