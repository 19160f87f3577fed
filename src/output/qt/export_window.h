#pragma once

#include "output/archive.h"
#include "output/text_export.h"
#include "storage/ui_context.h"

#include <QFileDialog>

#include <atomic>
#include <expected>
#include <filesystem>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace cronovolta {

class Asker;

// What an operation of the file screen reports while it runs; callable from any thread.
struct FileScreenReport {
    std::function<void(const std::string& text)> info; // `InfoArxiu`
    std::function<void(int i, int count)> percent;     // `Percent`, "3/17"
    std::function<void(const std::string& text)> work; // `InfoTreball`
    std::function<bool()> stopRequested;               // the close button was pressed
};

// The screen's labels as the export reports its progress.
ExportProgress exportProgress(const FileScreenReport& report);

// `ExportWindow`: the file screen of the text export, the archive and the unarchive. Qt's own file
// dialog, not the desktop's, so that it looks the same everywhere, with the export option and the
// three progress labels below it. The operation runs on a thread of its own so that the window
// keeps repainting.
class ExportWindow : public QFileDialog {
    Q_OBJECT
public:
    // Runs the mode's operation on the chosen file; an error text is shown to the
    // organiser. `separateGrids` is the state of the export option.
    using Operation = std::function<std::expected<void, std::string>(
        const std::filesystem::path& file, bool separateGrids, const FileScreenReport& report)>;

    ExportWindow(UiContext& ui, Asker& asker, FileScreenMode mode, Operation operation,
                 QWidget* parent = nullptr);
    ~ExportWindow() override;

    QLineEdit* nameField() const { return m_name; }
    QCheckBox* separateGrids() const { return m_separate; }
    QLabel* infoArxiu() const { return m_info; }
    QLabel* percent() const { return m_percent; }
    QLabel* workLabel() const { return m_work; }
    // The pattern of the file list: the last five characters of the `FormatArxiu` caption.
    QString pattern() const;

    // The extension rule of the name field: ".txt" or ".prb" appended unless the name ends
    // with it exactly.
    void completeName();
    // Runs the operation on the file (after the overwrite question unless unarchiving);
    // false when the organiser kept the screen open or the operation failed.
    bool run(const QString& file);
    bool running() const { return m_running; }
    // True once an operation succeeded: for an unarchive, an event was added.
    bool succeeded() const { return m_succeeded; }

public slots:
    void accept() override;
    void reject() override;

private:
    QString targetPath() const;

    UiContext& m_ui;
    Asker& m_asker;
    FileScreenMode m_mode;
    Operation m_operation;
    QLineEdit* m_name = nullptr;
    QLabel* m_format = nullptr;
    QCheckBox* m_separate = nullptr;
    QLabel* m_info = nullptr;
    QLabel* m_percent = nullptr;
    QLabel* m_work = nullptr;
    bool m_running = false;
    bool m_succeeded = false;
    std::atomic<bool> m_stop = false;
};

// The operations of the archive (of the event in `eventDir`) and of the unarchive (into
// `dataDir`), reporting through the screen and refusing in `language`.
ExportWindow::Operation archiveOperation(std::filesystem::path eventDir, int language);
ExportWindow::Operation unarchiveOperation(std::filesystem::path dataDir, int language);

} // namespace cronovolta
