// Real file-system failures reach the organiser in the language, naming the file.
#include "storage/event_manager.h"
#include "storage/file_io.h"
#include "storage/platform.h"
#include "storage/startup.h"
#include "texts/language_tables.h"
#include "texts/system_errors.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

using namespace cronovolta;

TEST(FileProblemsTest, DiskFullFolderGoneAndAFileInTheWayAreToldInTheLanguage) {
    test::TempDir dir;
    const fs::path gone = dir.path() / "gone";
    fs::create_directory(gone);
    fs::remove(gone);
    test::writeBytes(dir.path() / "file", "x");
    const std::string device = platform::kWindows ? "NUL" : "/dev/full";

    struct Case {
        std::string problem;
        std::string catalan;
    };
    const Case cases[] = {
        {appendToFile(device, "laps").error(),
         "No s'ha pogut gravar l'arxiu " + device + ": no és un arxiu normal"},
        {writeFileAtomic(gone / "ZENTOR.CFG", "x").error(), "No s'ha pogut gravar l'arxiu " +
                                                                (gone / "ZENTOR.CFG").string() +
                                                                ": l'arxiu o la "
                                                                "carpeta ja no hi és"},
        {readFileBytes(gone / "PISTA.CFG").error(),
         "No s'ha pogut llegir l'arxiu " + (gone / "PISTA.CFG").string()},
        {prepareDataFolder(dir.path() / "file" / "dades").error(),
         "una part del camí no és una carpeta"},
    };
    for (const Case& c : cases) {
        const std::string ca = localiseProblems(c.problem, kLanguageCatalan);
        EXPECT_NE(ca.find(c.catalan), std::string::npos) << c.problem << "\n" << ca;
        EXPECT_NE(localiseProblems(c.problem, kLanguageCastilian), c.problem);
    }
}

TEST(FileProblemsTest, AnEventThatCannotBeCreatedSaysWhy) {
    test::TempDir dir;
    test::writeBytes(dir.path() / "PISTA.CFG", std::string(300, '\0'));
    test::writeBytes(dir.path() / "PROVA001", "a file where the folder goes");
    auto created = EventManager(dir.path()).createEvent("Open", "01-01-2026");
    ASSERT_FALSE(created);
    EXPECT_NE(localiseProblems(created.error().message, kLanguageCastilian)
                  .find("No se ha podido crear la carpeta " + (dir.path() / "PROVA001").string() +
                        ": ya hay un archivo o una carpeta con ese nombre"),
              std::string::npos)
        << created.error().message;
}
