#include "output/qt/export_window.h"

#include "storage/qt/localise.h"
#include "texts/language_tables.h"
#include "texts/qt/asker.h"
#include "texts/qt/dialog_parts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>

#include <thread>

namespace cronovolta {
namespace {

// Sets a label's text from whichever thread reports.
void post(QLabel* label, const QString& text) {
    QMetaObject::invokeMethod(
        label, [label, text] { label->setText(text); }, Qt::QueuedConnection);
}

ArchiveProgress archiveProgress(const FileScreenReport& report) {
    ArchiveProgress p;
    p.info = report.info;
    p.member = [report](int i, int count, const std::string& name) {
        report.percent(i, count);
        report.work(name);
    };
    p.stopRequested = report.stopRequested;
    return p;
}

} // namespace

ExportProgress exportProgress(const FileScreenReport& report) {
    ExportProgress p;
    p.info = report.info;
    p.step = [report](int step, int steps, const std::string& work) {
        report.percent(step, steps);
        report.work(work);
    };
    return p;
}

ExportWindow::ExportWindow(UiContext& ui, Asker& asker, FileScreenMode mode, Operation operation,
                           QWidget* parent)
    : QFileDialog(parent), m_ui(ui), m_asker(asker), m_mode(mode),
      m_operation(std::move(operation)) {
    setObjectName(QStringLiteral("Exportar"));
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::DontConfirmOverwrite);
    setAcceptMode(mode == FileScreenMode::Unarchive ? QFileDialog::AcceptOpen
                                                    : QFileDialog::AcceptSave);
    setFileMode(mode == FileScreenMode::Unarchive ? QFileDialog::ExistingFile
                                                  : QFileDialog::AnyFile);

    m_format = new QLabel(this);
    m_format->setObjectName(QStringLiteral("FormatArxiu"));
    m_format->hide(); // the filter box shows the pattern
    m_separate = new QCheckBox(this);
    m_separate->setObjectName(QStringLiteral("QuaSep"));
    m_separate->setVisible(mode == FileScreenMode::Export);
    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("InfoArxiu"));
    m_percent = new QLabel(this);
    m_percent->setObjectName(QStringLiteral("Percent"));
    m_work = new QLabel(this);
    m_work->setObjectName(QStringLiteral("InfoTreball"));
    for (QLabel* label : {m_info, m_percent, m_work}) {
        label->setTextFormat(Qt::PlainText);
        label->hide();
    }
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
        int row = grid->rowCount();
        grid->addWidget(m_separate, row++, 0, 1, -1);
        grid->addWidget(m_info, row++, 0, 1, -1);
        grid->addWidget(m_percent, row++, 0, 1, -1);
        grid->addWidget(m_work, row, 0, 1, -1);
    }

    LocaliseContext context;
    context.exportMode = static_cast<int>(mode);
    localiseScreen(this, "Exportar", m_ui, context);
    setLabelText(QFileDialog::LookIn, m_mode == FileScreenMode::Unarchive
                                          ? message(m_ui, 9, msg::kReadFromLabel)
                                          : tableString(m_ui, "Exportar", "Text", 0));
    setLabelText(QFileDialog::FileName, tableString(m_ui, "Exportar", "TextNomArxiu"));
    setLabelText(QFileDialog::FileType, tableString(m_ui, "Exportar", "FormatArxiu"));
    setLabelText(QFileDialog::Accept, tableString(m_ui, "Exportar", "Sortir", 1));
    setLabelText(QFileDialog::Reject, tableString(m_ui, "Portada", "Menu", 0));
    setNameFilter(pattern());
    setDirectory(QString::fromStdString(m_ui.app.dataDir.string()));

    // Names are what the organiser looks for; the other columns keep their width.
    if (auto* files = findChild<QTreeView*>(QStringLiteral("treeView"))) {
        files->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    m_name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (m_name != nullptr) {
        connect(m_name, &QLineEdit::editingFinished, this, &ExportWindow::completeName);
    }
}

ExportWindow::~ExportWindow() {
    stopFieldRules(this);
}

QString ExportWindow::pattern() const {
    return m_format->text().right(5);
}

void ExportWindow::completeName() {
    if (m_name == nullptr) {
        return;
    }
    const QString name = m_name->text();
    // An archive from another computer may be called "FINAL.PRB": the file is read as named.
    if (m_mode == FileScreenMode::Unarchive &&
        QFileInfo(directory().absoluteFilePath(name)).isFile()) {
        return;
    }
    const QString extension = pattern().right(4);
    if (!name.isEmpty() && name.right(4) != extension) {
        m_name->setText(name + extension);
    }
}

QString ExportWindow::targetPath() const {
    const QString name = m_name != nullptr ? m_name->text().trimmed() : QString();
    if (name.isEmpty()) {
        return {};
    }
    return QFileInfo(name).isAbsolute() ? name : directory().absoluteFilePath(name);
}

void ExportWindow::accept() {
    if (m_running) {
        return;
    }
    completeName();
    const QString target = targetPath();
    if (target.isEmpty()) {
        m_asker.message(this, message(m_ui, 0, msg::kErrorTitle),
                        message(m_ui, msgkey::kMissingFileName));
        return;
    }
    if (QFileInfo(target).isDir()) {
        setDirectory(target);
        m_name->clear();
        return;
    }
    // After a refusal or a failure the organiser may choose again.
    if (run(target)) {
        done(QDialog::Accepted);
    }
}

void ExportWindow::reject() {
    if (m_running) {
        m_stop = true; // the run stops at its next block and removes what it made
        return;
    }
    QFileDialog::reject();
}

bool ExportWindow::run(const QString& file) {
    if (!m_operation) {
        return false;
    }
    const bool exists = QFileInfo::exists(file);
    if (m_mode != FileScreenMode::Unarchive && exists &&
        !m_asker.yesNo(this, message(m_ui, msgkey::kFileExists),
                       message(m_ui, msgkey::kOverwriteQuestion))) {
        return false;
    }
    m_running = true;
    m_stop = false;
    for (QLabel* label : {m_info, m_percent, m_work}) {
        label->clear();
        label->show();
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);

    FileScreenReport report;
    report.info = [this](const std::string& s) { post(m_info, QString::fromStdString(s)); };
    report.percent = [this](int i, int n) {
        post(m_percent, QStringLiteral("%1/%2").arg(i).arg(n));
    };
    report.work = [this](const std::string& s) { post(m_work, QString::fromStdString(s)); };
    report.stopRequested = [this] { return m_stop.load(); };

    QEventLoop loop;
    std::expected<void, std::string> result;
    const std::filesystem::path path = file.toStdString();
    const bool separate = m_separate->isChecked();
    std::thread worker([&] {
        result = m_operation(path, separate, report);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    QCoreApplication::sendPostedEvents(); // the last progress texts
    QApplication::restoreOverrideCursor();
    m_running = false;
    if (!result) {
        m_asker.message(this, message(m_ui, 0, msg::kErrorTitle),
                        QString::fromStdString(result.error()));
        return false;
    }
    m_succeeded = true;
    return true;
}

ExportWindow::Operation archiveOperation(std::filesystem::path eventDir, int language) {
    return [eventDir = std::move(eventDir),
            language](const std::filesystem::path& file, bool,
                      const FileScreenReport& report) -> std::expected<void, std::string> {
        if (auto done = archiveEvent(eventDir, file, language, archiveProgress(report)); !done) {
            return std::unexpected(done.error().message);
        }
        return {};
    };
}

ExportWindow::Operation unarchiveOperation(std::filesystem::path dataDir, int language) {
    return [dataDir = std::move(dataDir),
            language](const std::filesystem::path& file, bool,
                      const FileScreenReport& report) -> std::expected<void, std::string> {
        if (auto done = unarchiveEvent(file, dataDir, language, archiveProgress(report)); !done) {
            return std::unexpected(done.error().message);
        }
        return {};
    };
}

} // namespace cronovolta
